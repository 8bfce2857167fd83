// Every game played through whole, in a fraction of a second, on a
// terminal and into a file. The games are written down in
// tests/yarnletN_test.cpp.
#include <gtest/gtest.h>

#include "tests/support/game_case.h"
#include "tests/support/recorded_console.h"

namespace yarnlet::testing {
namespace {

using Output = RecordedConsole::Output;

// The whole run, each question followed by the read that answers it: a
// line each, or with no input its end, met once at the first question.
std::vector<Step> expected_run(const GameCase& game, bool answered, const std::string& story) {
    std::vector<Step> steps;
    std::size_t asked = 0;
    const auto ask = [&](const std::string& question) {
        steps.push_back(line(question));
        if (answered) steps.push_back(read(game.answers.at(asked) + "\n"));
        if (!answered && asked == 0) steps.push_back(end_of_input());
        ++asked;
    };
    for (const std::string& text : game.opening) steps.push_back(line(text));
    for (const std::string& question : game.questions) ask(question);
    steps.insert(steps.end(), game.production.begin(), game.production.end());
    steps.push_back(story_next());
    steps.push_back(line(story));
    for (const std::string& text : game.closing) steps.push_back(line(text));
    ask(game.rating_question);
    steps.push_back(line(game.farewell));
    return steps;
}

TEST_P(GameTest, PlaysThroughWithTheAnswersInTheirPlaces) {
    const GameCase& game = GetParam();
    for (const Output output : {Output::terminal, Output::file}) {
        SCOPED_TRACE(output == Output::terminal ? "on a terminal" : "into a file");
        RecordedConsole con(output, RecordedConsole::lines(game.answers));
        run_story(*game.content);
        EXPECT_PRED_FORMAT2(same_steps, transcript(con.events(), output), expected_run(game, true, game.story));
        EXPECT_EQ(con.unread(), "");
    }
}

TEST_P(GameTest, WithNoInputTheStoryIsItsFragmentsRunTogether) {
    const GameCase& game = GetParam();
    for (const Output output : {Output::terminal, Output::file}) {
        SCOPED_TRACE(output == Output::terminal ? "on a terminal" : "into a file");
        RecordedConsole con(output, {});
        run_story(*game.content);
        EXPECT_PRED_FORMAT2(same_steps, transcript(con.events(), output),
                            expected_run(game, false, game.story_without_answers));
    }
}

}  // namespace
}  // namespace yarnlet::testing
