// What a game waits for between the lines of its output, beyond the
// typing of each line: an answer, or a pause of the production script;
// and which line is the story. Taken from the game's content as the kit
// plays it:
//
//   yarnlet_waits GAME
//
// prints one line each, "<line> read", "<line> pause <ms>" or
// "<line> story", with the lines counted from 0 as in
// tests/expected/GAME.txt.
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>

#include "games.h"
#include "tests/support/recorded_console.h"
#include "tests/support/transcript.h"

using namespace yarnlet::testing;

int main(int argc, char** argv) {
    const std::string name = argc == 2 ? argv[1] : "";
    const auto game = std::find_if(std::begin(games), std::end(games), [&](const Game& g) { return g.name == name; });
    if (game == std::end(games)) {
        std::fprintf(stderr, "usage: yarnlet_waits GAME\n");
        return 2;
    }
    // An empty answer for every question and the rating, one read each.
    const std::vector<std::string> answers(game->content->prompts.size() + 1, "");
    RecordedConsole con(RecordedConsole::Output::file, RecordedConsole::lines(answers));
    yarnlet::run_story(*game->content);
    int line = -1;
    for (const Step& step : transcript(con.events(), RecordedConsole::Output::file)) {
        if (step.kind == Step::Kind::line) ++line;
        if (step.kind == Step::Kind::read) std::printf("%d read\n", line);
        if (step.kind == Step::Kind::pause) std::printf("%d pause %d\n", line, step.ms);
        if (step.kind == Step::Kind::story) std::printf("%d story\n", line + 1);
    }
    return 0;
}
