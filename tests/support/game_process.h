// Runs a real game binary as a child process with its sleeps answered at
// once (see instant_sleep.cpp), and collects what it did.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tests/support/recorded_console.h"

namespace yarnlet::testing {

struct GameSetup {
    std::vector<std::string> args;
    // Standard input: these bytes, all there from the start; nullopt
    // starts the game with standard input closed.
    std::optional<std::string> input = std::string{};
    enum class Out {
        file,         // a fresh regular file: the pauses can be placed in the output
        dev_full,     // every write fails with ENOSPC
        closed,       // no standard output at all
        broken_pipe,  // a pipe whose reader is gone before the game starts
    };
    Out out = Out::file;
    // Standard input is a pipe, filled and closed before the game starts,
    // rather than a file.
    bool piped_input = false;
    // A shell command run after the game on the same standard input and
    // output, such as "cat" to see what the game left unread.
    std::string then{};
};

struct GameRun {
    bool exited = false;  // false: ended by a signal
    int exit_code = -1;
    int signal = 0;
    std::string out;  // standard output, when it went to a file
    std::string err;
    // The pauses in order and, when standard output was a file, what had
    // been passed on before each: the same trace a RecordedConsole gives.
    std::vector<Event> events;
    std::string trouble;  // anything odd about the sleep log
};

GameRun run_game(const std::string& program, const GameSetup& setup);

// Runs the game on a pseudo-terminal (standard input, output and error),
// under strace, so that every write and every sleep is seen in the order
// they happened. `typed` is what the player has typed before the game
// starts, echo off; a Ctrl-D in it ends the input there, as on a real
// terminal. `out` gets what the terminal showed (line ends as "\r\n").
// With `input_file`, standard input is instead a file holding those bytes,
// and standard error goes to /dev/null: only standard output is the
// terminal.
GameRun run_game_on_terminal(const std::string& program, const std::string& typed,
                             const std::optional<std::string>& input_file = std::nullopt);

// Why the terminal runs cannot be made here (strace missing or not
// allowed, no pseudo-terminals, as on some build machines), or empty when
// they can.
std::string why_no_terminal_runs();

// A new pseudo-terminal: the master end, and the name of the slave end;
// a master of -1 where none can be had.
struct Terminal {
    int master;
    std::string slave_name;
};
Terminal open_terminal();

// Starts argv[0] (looked up in PATH) in a session of its own with the
// terminal as standard input, output and error, and `env` as environment.
int start_on_terminal(const std::string& slave_name, const std::vector<std::string>& argv,
                      const std::vector<std::string>& env);

}  // namespace yarnlet::testing
