// Plays a game whole in real time, standard output a terminal and its
// answers from a file, under strace, which sees every write and every
// sleep and times each sleep:
//
//   yarnlet_timed_game EXPECTED COMMAND...
//
// EXPECTED is tests/expected/<game>, whose .in, .txt and .waits say what
// the game is given and must do: each byte written alone and followed by
// its pause of char_delay_ms, each line end by the pause its .waits gives,
// if any; each pause at least its length; exit status 0, standard error
// empty. For games under an emulator, where nothing can be loaded into
// them to watch their sleeps: the emulator's calls are the game's,
// translated.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <sstream>

#include "tests/support/game_process.h"

using namespace yarnlet::testing;

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: yarnlet_timed_game EXPECTED COMMAND...\n");
        return 2;
    }
    const std::string base = argv[1], expected = slurp(base + ".txt");
    std::map<std::size_t, int> script;  // line: the pause after it
    std::istringstream waits(slurp(base + ".waits"));
    for (std::string line, what; waits >> line >> what;) {
        if (what == "pause") waits >> script[std::stoul(line)];
    }

    std::vector<Event> want;
    std::string shown;  // as the terminal shows it, "\n" as "\r\n"
    std::size_t line = 0;
    for (const char c : expected) {
        want.push_back({Event::Kind::shown, std::string(1, c), 0});
        shown += c == '\n' ? "\r\n" : std::string(1, c);
        const int ms = c != '\n' ? yarnlet::char_delay_ms : script.contains(line) ? script[line] : 0;
        line += c == '\n';
        if (ms != 0) want.push_back({Event::Kind::pause, {}, ms});
    }

    const auto start = std::chrono::steady_clock::now();
    const GameRun run =
        run_game_on_terminal({argv + 2, argv + argc}, {.input_file = slurp(base + ".in"), .real_sleep = true});
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::vector<std::string> problems;
    if (run.out != shown) problems.push_back("the terminal showed other bytes than " + base + ".txt:\n" + run.out);
    const auto [did, should] = std::mismatch(run.events.begin(), run.events.end(), want.begin(), want.end());
    if (did != run.events.end() || should != want.end()) {
        problems.push_back("writes and pauses differ from step " + std::to_string(did - run.events.begin()) +
                           " on: did " + (did != run.events.end() ? describe(*did) : "nothing") + ", should " +
                           (should != want.end() ? describe(*should) : "nothing"));
    }
    std::vector<double> over;
    for (std::size_t i = 0, p = 0; i < run.events.size() && p < run.lasted_ms.size(); ++i) {
        if (run.events[i].kind == Event::Kind::pause) over.push_back(run.lasted_ms[p++] - run.events[i].ms);
    }
    std::sort(over.begin(), over.end());
    if (!over.empty() && over.front() < 0) problems.push_back("a pause shorter than its length");
    if (!run.exited || run.exit_code != 0) problems.push_back("exit status " + std::to_string(run.exit_code));
    if (!run.err.empty()) problems.push_back("standard error: " + run.err);
    if (!run.trouble.empty()) problems.push_back(run.trouble);

    std::string command = argv[2];
    for (int i = 3; i < argc; ++i) command += std::string(" ") + argv[i];
    std::printf("%s: %zu bytes, %zu pauses in %.2f s", command.c_str(), run.out.size(), over.size(), seconds);
    if (!over.empty()) {
        std::printf("; each pause over its length by %.3f to %.3f ms, median %.3f ms", over.front(), over.back(),
                    over[over.size() / 2]);
    }
    std::printf("\n");
    for (const std::string& problem : problems) std::printf("FAIL: %s\n", problem.c_str());
    return problems.empty() ? 0 : 1;
}
