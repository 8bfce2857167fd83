// yarnlet1, the first game, written down from its own text; the checks
// are in game_test.cpp.
#include "programs/yarnlet1/content.h"
#include "tests/support/game_case.h"

namespace yarnlet::testing {
namespace {

const GameCase yarnlet1 = {
    .content = &yarnlet1::content,
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
    .answers = {"grumpy", "7:45", "the library", "bus", "A parade of ducks", "Sam", "confused", "sad", "  tired ",
                "unicycle", "yes"},
    .story =
        "I woke up feeling grumpy. I looked at my alarm clock, and it said 7:45. Oh no! I was running really late to "
        "the library. I hopped on the bus, and headed to the library. When I got to the library, something very odd "
        "happened. A parade of ducks was going on...interesting. I then saw Sam. I was so confused. Sam said to me Go "
        "home, you are not my friend any more. I was so sad. I went back home, on the unicycle. I was very   tired ",
    .story_without_answers =
        "I woke up feeling . I looked at my alarm clock, and it said . Oh no! I was running "
        "really late to . I hopped on the , and headed to . When I got to , something very odd "
        "happened.  was going on...interesting. I then saw . I was so .  said to me Go home, "
        "you are not my friend any more. I was so . I went back home, on the . I was very ",
};

INSTANTIATE_TEST_SUITE_P(Yarnlet1, GameTest, ::testing::Values(yarnlet1));

}  // namespace
}  // namespace yarnlet::testing
