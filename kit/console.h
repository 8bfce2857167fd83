// Console primitives: the only way the games talk to the player.
//
// Every line is typed out one byte at a time with a fixed pause after each
// byte; answers are read a line at a time. Nothing here reports failure:
// a write that fails is forgotten, and the end of input is remembered, so
// every later read returns at once.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace yarnlet {

// The pause after every typed byte. The pacing is the product: it is not
// configurable.
inline constexpr int char_delay_ms = 50;

// Writes `text` one byte at a time, pausing char_delay_ms after each byte
// (the last one included), then ends the line and flushes. On a terminal
// each byte is visible before its pause begins; elsewhere the whole line is
// held and passed on at its line end, however long it is.
void typewrite_line(std::string text);

// Replaces `answer` with the next input line, without its line end ("\n" or
// "\r\n"). Once input has ended or failed, returns at once and leaves
// `answer` as it was.
void read_answer(std::string& answer);

// Blocks for at least `ms` milliseconds.
void pause_ms(int ms);

// Says that the next line is the story, the one line a player may want to
// pass on. Writes nothing and takes no time: a terminal or a file sees no
// difference, and a page in a browser offers that line to be read aloud,
// shared or copied.
void mark_story();

// ---------------------------------------------------------------------------
// Where the primitives meet the outside world.
//
// By default that is standard input, standard output and the system's
// sleep, with the terminal question asked once, on first use. A test may
// put other functions here to watch a whole run byte by byte and pause by
// pause without waiting for it.
struct Console {
    // Passes the bytes on at once; a failure is not reported.
    std::function<void(std::string_view bytes)> write;
    // The next byte of input, or -1 at its end (or on a failure).
    std::function<int()> read_byte;
    bool out_is_terminal;
    std::function<void(int ms)> sleep_ms;
    std::function<void()> mark_story;
    // Set when `read_byte` has met the end, which is never asked for
    // again: on a terminal the player presses Ctrl-D once, not at every
    // question.
    bool input_ended = false;
};

Console& console();

}  // namespace yarnlet
