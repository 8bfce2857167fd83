// yarnlet4 written down from its own text; the checks are in
// game_test.cpp.
#include "programs/yarnlet4/content.h"
#include "tests/support/game_case.h"

namespace yarnlet::testing {
namespace {

const GameCase yarnlet4 = {
    .content = &yarnlet4::content,
    .opening = {"Welcome to Zoviroze (Part 4)", "This contains 5 spots for you to fill in."},
    .questions =
        {
            "Please, type in a feeling",
            "Thanks! Now, please type in a second feeling.",
            "Great choice. Please type in something you would tell your mom.",
            "Cool! Please type in something your mom would say back to you.",
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
    .answers = {"tired", "worried", "I lost my shoe", "Check under the bed.", "two", "ok"},
    .story =
        "I just woke up. I was feeling tired. My mom came into my room. She was worried about "
        "me. I told her I lost my shoe. She responded with  Check under the bed.. I went back "
        "to bed, for about two hours.",
    .story_without_answers =
        "I just woke up. I was feeling . My mom came into my room. She was  about me. I told her "
        ". She responded with  . I went back to bed, for about  hours.",
};

INSTANTIATE_TEST_SUITE_P(Yarnlet4, GameTest, ::testing::Values(yarnlet4));

}  // namespace
}  // namespace yarnlet::testing
