// The real game binaries: each runs as the kit runs its content, and a
// real (pseudo-)terminal receives the typing byte by byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "games.h"
#include "tests/support/game_process.h"
#include "tests/support/recorded_console.h"
#include "tests/support/transcript.h"

namespace yarnlet::testing {
namespace {

using Output = RecordedConsole::Output;

// The same input through the kit's recorded console.
std::vector<Step> through_the_kit(const Game& game, Output output, const std::string& input) {
    RecordedConsole con(output, {input});
    run_story(*game.content);
    // The reads of a real game leave no trace of their own, nor does its
    // word that the story comes, which only a browser's page hears.
    std::vector<Step> steps;
    for (const Step& step : transcript(con.events(), output)) {
        if (step.kind != Step::Kind::read && step.kind != Step::Kind::story) steps.push_back(step);
    }
    return steps;
}

std::vector<int> pauses_of(const std::vector<Event>& events) {
    std::vector<int> ms;
    for (const Event& e : events) {
        if (e.kind == Event::Kind::pause) ms.push_back(e.ms);
    }
    return ms;
}

std::string text_of(const std::vector<Step>& steps) {
    std::string text;
    for (const std::string& l : lines_of(steps)) text += l + "\n";
    return text;
}

// As a terminal shows it: each line end as CR LF.
std::string on_terminal(std::string text) {
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2)) text.insert(at, "\r");
    return text;
}

void expect_clean_end(const GameRun& run) {
    EXPECT_TRUE(run.exited) << "ended by signal " << run.signal;
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.err, "") << "nothing goes to standard error";
    EXPECT_EQ(run.trouble, "");
}

class RealGame : public ::testing::TestWithParam<Game> {};

// Standard input empty, then closed: the run needs none, and arguments
// change nothing.
TEST_P(RealGame, IgnoresItsArgumentsAndNeedsNoInput) {
    for (const std::optional<std::string>& input : {std::optional<std::string>(""), std::optional<std::string>()}) {
        const GameRun run = run_game(GetParam().path, {.args = {"--help", "-v", "extra"}, .input = input});
        expect_clean_end(run);
        EXPECT_PRED_FORMAT2(same_steps, transcript(run.events, Output::file),
                            through_the_kit(GetParam(), Output::file, ""));
    }
}

// Whatever becomes of standard output, the run goes on to its end with
// every pause, and ends well.
TEST_P(RealGame, KeepsItsPacingWhenStandardOutputIsGone) {
    RecordedConsole con(Output::file, {"a\nb\n"});
    run_story(*GetParam().content);
    const auto expected = pauses_of(con.events());
    for (const auto out : {GameSetup::Out::dev_full, GameSetup::Out::closed, GameSetup::Out::broken_pipe}) {
        SCOPED_TRACE("standard output kind " + std::to_string(static_cast<int>(out)));
        const GameRun run = run_game(GetParam().path, {.args = {}, .input = "a\nb\n", .out = out});
        expect_clean_end(run);
        EXPECT_EQ(pauses_of(run.events), expected);
    }
}

// Lines after the rating answer stay in the pipe for whoever reads next.
TEST_P(RealGame, LeavesWhatFollowsTheRatingToTheNextReader) {
    std::string input;
    for (std::size_t i = 0; i <= GetParam().content->prompts.size(); ++i) input += "answer\r\n";
    const GameRun run = run_game(GetParam().path, {.args = {},
                                                   .input = input + "for the next reader\nand more",
                                                   .out = GameSetup::Out::file,
                                                   .piped_input = true,
                                                   .then = "cat"});
    expect_clean_end(run);
    const std::string rest = "\nfor the next reader\nand more";
    ASSERT_GT(run.out.size(), rest.size());
    EXPECT_EQ(run.out.substr(run.out.size() - rest.size()), rest);
    EXPECT_PRED_FORMAT2(same_text, run.out.substr(0, run.out.size() - rest.size() + 1),
                        text_of(through_the_kit(GetParam(), Output::file, input)));
}

// A terminal or pipe left non-blocking, as event-loop programs leave them:
// answers that come only once the first question has been asked each land
// in their blank, the game asleep while it waits for them; and an output
// that is full when the game writes, and read slowly, loses no byte, a
// line longer than the pipe holds included.
TEST_P(RealGame, WaitsOnNonBlockingInputAndOutput) {
    const std::string expected = std::string(YARNLET_EXPECTED) + "/" + GetParam().name;
    // The answers held back for a while once the first question shows:
    // real time, in which a wait that spins would burn as much of it. The
    // whole game's own work counts too, which a sanitized build on a busy
    // machine has taken well over a quarter of it.
    const int held_ms = 400;
    const GameRun late =
        run_game(GetParam().path, {.args = {},
                                   .input = slurp(expected + ".in"),
                                   .input_once_shown = std::string(GetParam().content->prompts[0].text),
                                   .input_held_ms = held_ms});
    expect_clean_end(late);
    EXPECT_PRED_FORMAT2(same_text, late.out, slurp(expected + ".txt"));
    EXPECT_LT(late.cpu_ms, held_ms / 2) << "processor time while it waited " << held_ms << " ms for its answers";

    const std::string input = std::string(10'000, 'z') + "\nshort\n";
    const GameRun full = run_game(GetParam().path, {.args = {}, .input = input, .out = GameSetup::Out::full_pipe});
    expect_clean_end(full);
    EXPECT_PRED_FORMAT2(same_text, full.out, text_of(through_the_kit(GetParam(), Output::file, input)));
}

TEST_P(RealGame, TypesEachByteAloneOnATerminal) {
    if (const std::string why = why_no_terminal_runs(); !why.empty()) GTEST_SKIP() << why;
    std::string typed;
    for (int i = 0; i < 14; ++i) typed += "answer " + std::to_string(i) + "\n";
    const GameRun run = run_game_on_terminal({GetParam().path}, {.typed = typed});
    expect_clean_end(run);
    const auto expected = through_the_kit(GetParam(), Output::terminal, typed);
    EXPECT_PRED_FORMAT2(same_steps, transcript(run.events, Output::terminal), expected);
    EXPECT_PRED_FORMAT2(same_text, run.out, on_terminal(text_of(expected))) << "what the terminal showed";
}

// Answers from a file while the player watches: whether to type byte by
// byte is asked of standard output alone, not of the input or of standard
// error.
TEST_P(RealGame, TypesEachByteAloneOnATerminalWhateverItsInput) {
    if (const std::string why = why_no_terminal_runs(); !why.empty()) GTEST_SKIP() << why;
    const std::string answers = "from\na file\r\n";
    const GameRun run = run_game_on_terminal({GetParam().path}, {.input_file = answers});
    expect_clean_end(run);
    EXPECT_PRED_FORMAT2(same_steps, transcript(run.events, Output::terminal),
                        through_the_kit(GetParam(), Output::terminal, answers));
}

// Ctrl-D at the first question: the run goes on with every answer empty
// and never asks the terminal again, so a line typed after it stays unread.
TEST_P(RealGame, CtrlDAtTheFirstQuestionEndsTheInputForGood) {
    if (const std::string why = why_no_terminal_runs(); !why.empty()) GTEST_SKIP() << why;
    const GameRun run = run_game_on_terminal({GetParam().path}, {.typed = "\x04too late\n"});
    expect_clean_end(run);
    EXPECT_PRED_FORMAT2(same_steps, transcript(run.events, Output::terminal),
                        through_the_kit(GetParam(), Output::terminal, ""));
    EXPECT_EQ(run.out.find("too late"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Series, RealGame, ::testing::ValuesIn(games),
                         [](const ::testing::TestParamInfo<Game>& game) { return std::string(game.param.name); });

// Input and output on files: the exact bytes and pauses of the kit's own
// run, and every line passed on whole after its last pause.
struct Input {
    const char* name;
    std::string bytes;
};

void PrintTo(const Input& input, std::ostream* os) { *os << input.name; }

const Input inputs[] = {
    {"TypedAhead", "sunny\nnoon\nhome\nbus\nrain\nSam\nglad\nsad\nok\ncar\n4\nrun\nzoo\nfine\nyes\nextra\n"},
    {"CutInsideALine", "first\nsecond\nthi"},
    {"CrLf", "one\r\ntwo\r\n\r\nfour\r\n"},
    {"LoneCarriageReturnAtTheEnd", "one\ntwo\r"},
    {"NulAndNonAscii", std::string("n\0l \t\n\xC3\xA9t\xC3\xA9 \xFF\xFE\n", 16)},
    {"TenThousandByteAnswer", std::string(10'000, 'z') + "\n" + std::string(3, 'y')},
};

class RealGameInput : public ::testing::TestWithParam<std::tuple<Game, Input>> {};

TEST_P(RealGameInput, RunsAsTheKitRunsIt) {
    const auto& [game, input] = GetParam();
    const GameRun run = run_game(game.path, {.args = {}, .input = input.bytes});
    expect_clean_end(run);
    // Off a terminal every byte is in the transcript: each write must be one whole line.
    EXPECT_PRED_FORMAT2(same_steps, transcript(run.events, Output::file),
                        through_the_kit(game, Output::file, input.bytes));
}

INSTANTIATE_TEST_SUITE_P(Series, RealGameInput,
                         ::testing::Combine(::testing::ValuesIn(games), ::testing::ValuesIn(inputs)),
                         [](const ::testing::TestParamInfo<std::tuple<Game, Input>>& param) {
                             return std::string(std::get<0>(param.param).name) + "_" + std::get<1>(param.param).name;
                         });

// The command of a desktop entry's Exec line: its words, a word in double
// quotes kept whole, in which a backslash takes the next character as it is.
std::vector<std::string> exec_line(const std::string& entry) {
    const std::size_t at = entry.find("\nExec=") + 6;
    const std::string line = entry.substr(at, entry.find('\n', at) - at);
    std::vector<std::string> words(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') {
            quoted = !quoted;
        } else if (quoted && line[i] == '\\' && i + 1 < line.size()) {
            words.back() += line[++i];
        } else if (!quoted && line[i] == ' ') {
            if (!words.back().empty()) words.emplace_back();
        } else {
            words.back() += line[i];
        }
    }
    return words;
}

// Started from a desktop's menu, on the terminal it opens for the entry
// (which closes with its command), a game plays as ever; then the terminal
// stays open with the story, saying how to close it, until Enter.
TEST(DesktopEntry, KeepsTheTerminalOpenAfterTheGameUntilEnter) {
    if (const std::string why = why_no_terminal_runs(); !why.empty()) GTEST_SKIP() << why;
    const Game& game = games[0];
    std::string typed;
    for (std::size_t i = 0; i <= game.content->prompts.size(); ++i) typed += "answer " + std::to_string(i) + "\n";
    const std::string held = "Press Enter to close this window.\n";
    const std::string folder = std::string(game.path).substr(0, std::string(game.path).rfind('/'));
    const GameRun run = run_game_on_terminal(
        exec_line(slurp(game.desktop_entry)),
        {.typed = typed, .once_shown = on_terminal(held), .then_typed = "\n", .path_first = folder});
    expect_clean_end(run);
    EXPECT_TRUE(run.ran_until_typed) << "the terminal would close with the game";
    EXPECT_PRED_FORMAT2(same_text, run.out,
                        on_terminal(text_of(through_the_kit(game, Output::terminal, typed)) + held));
}

// Real time, briefly: the title's first bytes on a real terminal, each
// written alone, then paused for at least 50 ms by the system's own sleep.
// strace times each sleep from its start to its end: a busy machine can
// only make one longer, so the check judges the game, not how soon
// anything was scheduled.
TEST(RealTerminal, Yarnlet1TypesOneByteAtATime) {
    if (const std::string why = why_no_terminal_runs(); !why.empty()) GTEST_SKIP() << why;
    const GameRun run = run_game_on_terminal({games[0].path}, {.real_sleep = true, .stop_after = 7});
    EXPECT_EQ(run.out, "Welcome");
    ASSERT_GE(run.lasted_ms.size(), 6U);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(run.events[2 * i], (Event{Event::Kind::shown, std::string(1, "Welcom"[i]), 0}));
        EXPECT_EQ(run.events[2 * i + 1], (Event{Event::Kind::pause, {}, 50}));
        EXPECT_GE(run.lasted_ms[i], 50.0) << "pause " << i;
        EXPECT_LE(run.lasted_ms[i], 2000.0) << "pause " << i;
    }
}

}  // namespace
}  // namespace yarnlet::testing
