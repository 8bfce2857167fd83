// yarnlet1 played through whole, in a fraction of a second.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "programs/yarnlet1/content.h"
#include "tests/support/recorded_console.h"
#include "tests/support/transcript.h"

namespace yarnlet::testing {
namespace {

using Output = RecordedConsole::Output;

const GameLines yarnlet1_lines = {
    .opening = {"Welcome to Zoviroze", "This contains 10 spots for you to fill in"},
    .questions =
        {
            "Please, type in a feeling",
            "Thanks! Now, please type in a time",
            "Great choice. Please type in a place",
            "Cool! Please type in a mode of transportation.",
            "Super cool! Please type in something odd that could happen.",
            "#gumdropfizzle. Please enter in a name.",
            "Cool name. Please enter in another feeling.",
            "Cool! Please enter in a third feeling.",
            "That's a good feeling. Please enter in a fourth feeling.",
            "Cool! Last input! Enter a second mode of transportation.",
        },
    .production =
        {
            line("Great! We're making your Yarnlet, give us a second."),
            pause(300),
            line("Making your Yarnlet, 26% complete."),
            pause(650),
            line("Making your Yarnlet, 52% complete."),
            pause(220),
            line("Making your Yarnlet, 79% complete."),
            pause(1800),
            line("Making your Yarnlet, 83% complete."),
            pause(1000),
            line("Making your Yarnlet, 100% complete!"),
            line("Cleaning up..."),
            pause(150),
            line("Your yarnlet has been made. Enjoy!"),
        },
    .closing = {"Made by the Yarnlet team. Thanks for checking this out!"},
    .rating_question = "Did you like this program?",
    .farewell = "Thanks for the rating! Closing the program now.",
};

const std::vector<std::string> sample = RecordedConsole::lines({
    "grumpy",
    "7:45",
    "the library",
    "bus",
    "A parade of ducks",
    "Sam",
    "confused",
    "sad",
    "  tired ",
    "unicycle",
    "yes",
});

const std::string sample_story =
    "I woke up feeling grumpy. I looked at my alarm clock, and it said 7:45. Oh no! I was running really late to "
    "the library. I hopped on the bus, and headed to the library. When I got to the library, something very odd "
    "happened. A parade of ducks was going on...interesting. I then saw Sam. I was so confused. Sam said to me Go "
    "home, you are not my friend any more. I was so sad. I went back home, on the unicycle. I was very   tired ";

TEST(Yarnlet1, PlaysThroughWithTheAnswersInTheirPlaces) {
    for (const Output output : {Output::terminal, Output::file}) {
        RecordedConsole con(output, sample);
        run_story(yarnlet1::content);
        EXPECT_EQ(transcript(con.events(), output), expected_run(yarnlet1_lines, one_read_each(sample), sample_story));
    }
}

TEST(Yarnlet1, TakesFiftyMillisecondsPerTypedBytePlusTheScript) {
    RecordedConsole con(Output::file, sample);
    run_story(yarnlet1::content);
    std::ptrdiff_t paused = 0;
    for (const Event& e : con.events()) {
        if (e.kind == Event::Kind::pause) paused += e.ms;
    }
    const std::string out = con.shown();
    const std::ptrdiff_t typed = static_cast<std::ptrdiff_t>(out.size()) - std::count(out.begin(), out.end(), '\n');
    EXPECT_EQ(paused, 50 * typed + 4120);
}

TEST(Yarnlet1, WithNoInputTheStoryIsItsFragmentsRunTogether) {
    RecordedConsole con(Output::terminal, {});
    run_story(yarnlet1::content);
    EXPECT_EQ(transcript(con.events(), Output::terminal),
              expected_run(yarnlet1_lines, no_input(10),
                           "I woke up feeling . I looked at my alarm clock, and it said . Oh no! I was running "
                           "really late to . I hopped on the , and headed to . When I got to , something very odd "
                           "happened.  was going on...interesting. I then saw . I was so .  said to me Go home, "
                           "you are not my friend any more. I was so . I went back home, on the . I was very "));
}

// Windows line ends, then input that stops in the middle of the fifth
// answer: that answer keeps what it got, and nothing is asked again.
TEST(Yarnlet1, InputCutInsideALineFillsWhatItCan) {
    const std::vector<std::string> chunks = {"happy\r\n", "noon\r\n", "\r\n", "car \r\n", "Rain"};
    std::vector<std::vector<Step>> reads = one_read_each(chunks);
    reads[4].push_back(end_of_input());
    reads.resize(11);
    RecordedConsole con(Output::file, chunks);
    run_story(yarnlet1::content);
    EXPECT_EQ(transcript(con.events(), Output::file),
              expected_run(yarnlet1_lines, reads,
                           "I woke up feeling happy. I looked at my alarm clock, and it said noon. Oh no! I was "
                           "running really late to . I hopped on the car , and headed to . When I got to , "
                           "something very odd happened. Rain was going on...interesting. I then saw . I was so "
                           ".  said to me Go home, you are not my friend any more. I was so . I went back home, "
                           "on the . I was very "));
}

TEST(Yarnlet1, CreditLineNamesTheAuthorThenThanksThePlayer) {
    RecordedConsole con(Output::file, {});
    run_story(yarnlet1::content);
    const auto lines = lines_of(transcript(con.events(), Output::file));
    ASSERT_EQ(lines.size(), 24U);
    const std::string& credit = lines[21];
    const std::string thanks = ". Thanks for checking this out!";
    ASSERT_GT(credit.size(), thanks.size());
    EXPECT_EQ(credit.substr(credit.size() - thanks.size()), thanks);
    const std::string who = credit.substr(0, credit.size() - thanks.size());
    EXPECT_NE(who.find_first_not_of(' '), std::string::npos);
    for (const char c : credit) EXPECT_TRUE(c >= 0x20 && c < 0x7f) << "plain ASCII only";
}

}  // namespace
}  // namespace yarnlet::testing
