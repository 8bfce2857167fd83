// yarnlet2 played through whole, in a fraction of a second.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "programs/yarnlet2/content.h"
#include "tests/support/recorded_console.h"
#include "tests/support/transcript.h"

namespace yarnlet::testing {
namespace {

using Output = RecordedConsole::Output;

const GameLines yarnlet2_lines = {
    .opening = {"Welcome to Zoviroze (Part 2)", "This contains 5 spots for you to fill in."},
    .questions =
        {
            "Please, type in a place",
            "Thanks! Now, please type in a food.",
            "Great choice. Please type in a feeling",
            "Cool! Please type in a room inside of a house.",
            "Super cool! Last input! Please type in a number.",
        },
    .production =
        {
            line("Great! We're making your Yarnlet, give us a second."),
            pause(300),
            line("Making your Yarnlet, 26% complete."),
            pause(650),
            line("Making your Yarnlet, 46% complete."),
            pause(220),
            line("Making your Yarnlet, 79% complete."),
            pause(350),
            line("Making your Yarnlet, 83% complete."),
            pause(240),
            line("Making your Yarnlet, 100% complete!"),
            line("Cleaning up..."),
            pause(150),
            line("Your yarnlet has been made. Enjoy!"),
        },
    .closing = {"Remember to also check out Part 3, the sequel! It contains a whooping 15 inputs!"},
    .rating_question = "How did you like the program?",
    .farewell = "Awesome. Closing the program now.",
};

TEST(Yarnlet2, PlaysThroughWithTheAnswersInTheirPlaces) {
    // The number is text: a word stands where digits would.
    const auto input = RecordedConsole::lines({"the beach", "cold pizza", "sleepy", "the attic", "a dozen", "5/5"});
    for (const Output output : {Output::terminal, Output::file}) {
        RecordedConsole con(output, input);
        run_story(yarnlet2::content);
        EXPECT_EQ(transcript(con.events(), output),
                  expected_run(yarnlet2_lines, one_read_each(input),
                               "I was back at the beach. Man, that was terrible. I needed to eat something, so I "
                               "got cold pizza out of the fridge. It made me feel sleepy. After that, I headed to "
                               "the attic, and sat there. Then, a dozen hour(s) later, I got back up, and went to "
                               "bed."));
        EXPECT_EQ(con.unread(), "");
    }
}

TEST(Yarnlet2, WithNoInputTheStoryIsItsFragmentsRunTogether) {
    RecordedConsole con(Output::terminal, {});
    run_story(yarnlet2::content);
    EXPECT_EQ(transcript(con.events(), Output::terminal),
              expected_run(yarnlet2_lines, no_input(5),
                           "I was back at . Man, that was terrible. I needed to eat something, so I got  out of "
                           "the fridge. It made me feel . After that, I headed to , and sat there. Then,  hour(s) "
                           "later, I got back up, and went to bed."));
}

}  // namespace
}  // namespace yarnlet::testing
