// Runs a real game binary as a child process and collects what it did:
// on files and pipes with its sleeps answered at once (see
// instant_sleep.cpp), or on a terminal under strace.
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
        // A non-blocking pipe, as an event loop leaves one, full when the
        // game starts and read slowly, a few bytes at a time: `out` gets
        // what follows the filler.
        full_pipe,
    };
    Out out = Out::file;
    // Standard input is a pipe, filled and closed before the game starts,
    // rather than a file.
    bool piped_input = false;
    // Or, when not empty, a non-blocking pipe that stays empty until
    // standard output (a file) holds this text, and for `input_held_ms`
    // after; then the input comes, and its end.
    std::string input_once_shown{};
    int input_held_ms = 0;
    // A shell command run after the game on the same standard input and
    // output, such as "cat" to see what the game left unread.
    std::string then{};
};

struct GameRun {
    bool exited = false;  // false: ended by a signal
    int exit_code = -1;
    int signal = 0;
    std::string out;  // standard output, when it went to a file; what a terminal showed
    std::string err;
    // The pauses in order and, when standard output was a file or a
    // terminal, what had been passed on before each: the same trace a
    // RecordedConsole gives.
    std::vector<Event> events;
    // With the game's own sleeps: how long each pause really lasted.
    std::vector<double> lasted_ms;
    std::string trouble;  // anything odd about the run or its sleeps
    double cpu_ms = 0;    // the processor time it took, user and system
    // On a terminal, when `then_typed` was typed: the command had not ended.
    bool ran_until_typed = false;
};

GameRun run_game(const std::string& program, const GameSetup& setup);

struct TerminalSetup {
    // What the player has typed before the game starts, echo off; a
    // Ctrl-D in it ends the input there, as on a real terminal.
    std::string typed{};
    // Standard input a file holding these bytes instead, and standard
    // error /dev/null: only standard output is the terminal.
    std::optional<std::string> input_file{};
    // The game's own sleeps, each timed by strace, rather than instant ones.
    bool real_sleep = false;
    // Once the terminal has shown this many bytes, the game is stopped
    // (0: it runs to its end).
    std::size_t stop_after = 0;
    // Once the terminal has shown this text, then nothing for a fifth of a
    // second, these bytes are typed.
    std::string once_shown{};
    std::string then_typed{};
    // A folder looked in first for the command.
    std::string path_first{};
};

// Runs `command` (a game, or an emulator and its game) on a
// pseudo-terminal under strace, so that every write and every sleep is seen
// in the order they happened. `out` gets what the terminal showed (line
// ends as "\r\n").
GameRun run_game_on_terminal(const std::vector<std::string>& command, const TerminalSetup& setup);

// The whole of a file.
std::string slurp(const std::string& path);

// Why the terminal runs cannot be made here (strace missing or not
// allowed, no pseudo-terminals, as on some build machines), as a test's
// word when it skips ("skipped: ..."), or empty when they can.
std::string why_no_terminal_runs();

}  // namespace yarnlet::testing
