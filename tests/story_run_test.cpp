// The story run over a small made-up game: the order of the phases, how
// the story is put together, and what happens when input ends anywhere.
#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <string_view>
#include <vector>

#include "kit/story.h"
#include "tests/support/answer_model.h"
#include "tests/support/recorded_console.h"
#include "tests/support/transcript.h"

namespace yarnlet::testing {
namespace {

using Output = RecordedConsole::Output;

constexpr Prompt prompts[] = {{"First?", "first"}, {"Second?", "second"}};
constexpr ScriptLine script[] = {{"Working", 120}, {"At once", 0}, {"Done", 75}};
constexpr TemplatePiece story[] = {fragment("<"), answer("second"), fragment("|"), answer("first"),
                                   fragment("|"), answer("second"), fragment(">")};
constexpr std::string_view closing[] = {"Bye one", "Bye two"};
constexpr StoryContent game{
    .title = "Title",
    .spot_count = "2 spots",
    .prompts = prompts,
    .script = script,
    .story = story,
    .closing = closing,
    .rating_question = "Rate?",
    .farewell = "So long",
};
static_assert(is_well_formed(game));

std::vector<Step> run(Output output, std::vector<std::string> chunks) {
    RecordedConsole con(output, std::move(chunks));
    run_story(game);
    return transcript(con.events(), output);
}

TEST(StoryRun, GoesThroughEveryPhaseInOrder) {
    const std::vector<Step> expected = {
        line("Title"),         line("2 spots"), line("First?"),  read("one\n"), line("Second?"),   read("two\n"),
        line("Working"),       pause(120),      line("At once"), line("Done"),  pause(75),         story_next(),
        line("<two|one|two>"), line("Bye one"), line("Bye two"), line("Rate?"), read("5 stars\n"), line("So long"),
    };
    for (const Output output : {Output::terminal, Output::file}) {
        EXPECT_PRED_FORMAT2(same_steps, run(output, RecordedConsole::lines({"one", "two", "5 stars"})), expected);
    }
}

TEST(StoryRun, InsertsAnswersVerbatimAndAsOftenAsTheStoryNamesThem) {
    const auto steps = run(Output::file, RecordedConsole::lines({" {second} ", "|>\t", ""}));
    EXPECT_EQ(lines_of(steps)[7], "<|>\t| {second} ||>\t>");
}

// Input that ends at any byte leaves the answer being read with what it
// got, and every later answer empty; the run itself is the same.
TEST(StoryRun, InputEndingAnywhereChangesOnlyTheAnswers) {
    const std::string full = "ab\r\ncd\nrating\n";
    for (std::size_t cut = 0; cut <= full.size(); ++cut) {
        SCOPED_TRACE("input cut after " + std::to_string(cut) + " bytes");
        const std::string given = full.substr(0, cut);
        RecordedConsole con(Output::terminal, {given});
        run_story(game);
        const auto steps = transcript(con.events(), Output::terminal);

        const auto answers = reference_answers(given, 3).answers;
        const auto lines = lines_of(steps);
        ASSERT_EQ(lines.size(), 12U);
        EXPECT_EQ(lines[7], "<" + answers[1] + "|" + answers[0] + "|" + answers[1] + ">");
        int pauses = 0;
        int end_reads = 0;
        for (const Step& step : steps) {
            if (step.kind == Step::Kind::pause) pauses += step.ms;
            if (step == end_of_input()) ++end_reads;
        }
        EXPECT_EQ(pauses, 195);
        EXPECT_EQ(end_reads, cut == full.size() ? 0 : 1) << "the end of input is met once, then remembered";
    }
}

TEST(StoryRun, WritesThatFailChangeNothingInTheRun) {
    RecordedConsole con(Output::file, RecordedConsole::lines({"one", "two", "three"}));
    con.fail_writes();
    run_story(game);
    int pauses = 0;
    int reads = 0;
    for (const Event& e : con.events()) {
        if (e.kind == Event::Kind::pause) pauses += e.ms;
        if (e.kind == Event::Kind::read) ++reads;
    }
    const int typed = 5 + 7 + 6 + 7 + 7 + 7 + 4 + 13 + 7 + 7 + 5 + 7;
    EXPECT_EQ(pauses, 50 * typed + 195);
    EXPECT_EQ(reads, 3);
    EXPECT_EQ(con.failed_writes(), 12) << "every line is attempted";
}

// --- content checks -------------------------------------------------------

constexpr StoryContent with(std::span<const Prompt> p, std::span<const TemplatePiece> s) {
    StoryContent c = game;
    c.prompts = p;
    c.story = s;
    return c;
}
constexpr Prompt twice[] = {{"A?", "a"}, {"B?", "a"}};
constexpr Prompt unnamed[] = {{"A?", ""}};
constexpr Prompt just_a[] = {{"A?", "a"}};
constexpr TemplatePiece uses_a[] = {answer("a")};
constexpr TemplatePiece uses_b[] = {answer("a"), answer("b")};
constexpr TemplatePiece uses_none[] = {fragment("a")};

static_assert(is_well_formed(with(just_a, uses_a)));
static_assert(!is_well_formed(with(twice, uses_a)), "a slot asked twice");
static_assert(!is_well_formed(with(unnamed, uses_none)), "a question filling no slot");
static_assert(!is_well_formed(with(just_a, uses_none)), "an answer the story never uses");
static_assert(!is_well_formed(with(just_a, uses_b)), "a story naming a slot never asked");

}  // namespace
}  // namespace yarnlet::testing
