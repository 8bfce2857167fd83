// The few things the kit needs from the operating system, kept in one
// place so that the console primitives and the story run read the same on
// every platform.
#pragma once

#include <string_view>

namespace yarnlet::platform {

// Readies the process for a typed-out run. Writing to a pipe whose reader
// has gone must not end the program (the run goes on to its farewell), and
// the 50 ms pauses should end as close to their length as the system
// allows. Safe to call more than once.
void prepare_process();

// Whether standard output is a terminal, as opposed to a file, pipe or
// device.
bool stdout_is_terminal();

// Hands `bytes` to standard output at once, with nothing kept back, line
// ends translated where the platform's text mode does it (CR LF on
// Windows). A write that fails (output closed, full, its reader gone) is
// given up on without a word.
void write_stdout(std::string_view bytes);

// The next byte of standard input, or -1 at its end or on a failure.
// Exactly one byte is taken: whatever follows stays in the input for
// whoever reads it next, a pipe included.
int read_stdin_byte();

// Blocks the calling thread for at least `ms` milliseconds, without
// spinning. Does nothing for 0 or less.
void sleep_ms(int ms);

// Tells whoever shows the game that the next line is the story: in a
// browser, the page; elsewhere nobody, and nothing is done.
void mark_story();

}  // namespace yarnlet::platform
