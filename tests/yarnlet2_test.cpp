// yarnlet2 written down from its own text; the checks are in
// game_test.cpp.
#include "programs/yarnlet2/content.h"
#include "tests/support/game_case.h"

namespace yarnlet::testing {
namespace {

const GameCase yarnlet2 = {
    .content = &yarnlet2::content,
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
    // The number is text: a word stands where digits would.
    .answers = {"the beach", "cold pizza", "sleepy", "the attic", "a dozen", "5/5"},
    .story =
        "I was back at the beach. Man, that was terrible. I needed to eat something, so I "
        "got cold pizza out of the fridge. It made me feel sleepy. After that, I headed to "
        "the attic, and sat there. Then, a dozen hour(s) later, I got back up, and went to "
        "bed.",
    .story_without_answers =
        "I was back at . Man, that was terrible. I needed to eat something, so I got  out of "
        "the fridge. It made me feel . After that, I headed to , and sat there. Then,  hour(s) "
        "later, I got back up, and went to bed.",
};

INSTANTIATE_TEST_SUITE_P(Yarnlet2, GameTest, ::testing::Values(yarnlet2));

}  // namespace
}  // namespace yarnlet::testing
