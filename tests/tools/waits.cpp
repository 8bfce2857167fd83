// What a game waits for between the lines of its output, beyond the
// typing of each line: an answer, or a pause of the production script.
// Taken from the game's content as the kit plays it:
//
//   yarnlet_waits GAME
//
// prints one line each, "<line> read" or "<line> pause <ms>", with the
// lines counted from 0 as in tests/expected/GAME.txt.
#include <cstdio>
#include <map>
#include <string>

#include "programs/yarnlet1/content.h"
#include "programs/yarnlet2/content.h"
#include "programs/yarnlet3/content.h"
#include "programs/yarnlet4/content.h"
#include "tests/support/recorded_console.h"
#include "tests/support/transcript.h"

using namespace yarnlet::testing;

int main(int argc, char** argv) {
    const std::map<std::string, const yarnlet::StoryContent*> games = {
        {"yarnlet1", &yarnlet1::content},
        {"yarnlet2", &yarnlet2::content},
        {"yarnlet3", &yarnlet3::content},
        {"yarnlet4", &yarnlet4::content},
    };
    const auto game = games.find(argc == 2 ? argv[1] : "");
    if (game == games.end()) {
        std::fprintf(stderr, "usage: yarnlet_waits GAME\n");
        return 2;
    }
    // An empty answer for every question and the rating, one read each.
    const std::vector<std::string> answers(game->second->prompts.size() + 1, "");
    RecordedConsole con(RecordedConsole::Output::file, RecordedConsole::lines(answers));
    yarnlet::run_story(*game->second);
    int line = -1;
    for (const Step& step : transcript(con.events(), RecordedConsole::Output::file)) {
        if (step.kind == Step::Kind::line) ++line;
        if (step.kind == Step::Kind::read) std::printf("%d read\n", line);
        if (step.kind == Step::Kind::pause) std::printf("%d pause %d\n", line, step.ms);
    }
    return 0;
}
