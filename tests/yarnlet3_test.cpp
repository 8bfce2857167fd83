// yarnlet3, the finale, written down from its own text; the checks are
// in game_test.cpp.
#include "programs/yarnlet3/content.h"
#include "tests/support/game_case.h"

namespace yarnlet::testing {
namespace {

const GameCase yarnlet3 = {
    .content = &yarnlet3::content,
    .opening = {"Welcome to Zoviroze (Part 3 - The Finale)", "This contains 12 spots for you to fill in."},
    .questions =
        {
            "Please, type in a number",
            "Thanks! Now, please type in a feeling.",
            "Great choice. Please type in a room in a house.",
            "Cool! Please type in a food.",
            "Super cool! Please type in another feeling.",
            "Awesome! Please type in a place.",
            "That's awesome! Please type in a mode of transportation",
            "That's radical! Please enter in a name.",
            "Cool! Please enter in a third feeling.",
            "That's really cool! Please enter in a verb (without -ing).",
            "Cool! Please enter in a second place.",
            "#gumdropfizzle. Please enter in a second mode of transportation.",
            "Great choice. Last input! Please enter in a fourth feeling",
        },
    .production =
        {
            line("Great! We have all the inputs. Give us a bit, we're creating your yarnlet."),
            line("Making your Yarnlet...4% complete"),
            pause(900),
            line("Making your Yarnlet...21% complete"),
            pause(1500),
            line("Making your Yarnlet...58% complete"),
            pause(250),
            line("Making your Yarnlet...66% complete"),
            pause(1200),
            line("Making your Yarnlet...66% complete"),
            pause(1000),
            line("Making your Yarnlet...74% complete"),
            pause(750),
            line("Making your Yarnlet...91% complete"),
            pause(850),
            line("Making your Yarnlet...100% complete!"),
            line("Cleaning up 244 KB, at the rate of 482 KB/s"),
            pause(500),
            line("Cleaning up...59/244 KB"),
            pause(500),
            line("Cleaning up...111/244 KB"),
            pause(650),
            line("Cleaning up...196/244 KB"),
            pause(720),
            line("Cleaning up...233/244 KB"),
            pause(90),
            line("Cleaning up...244/244 KB"),
            line("Confirming that it's been cleaned up..."),
            line("Confirmed...outputting!"),
        },
    .closing = {},
    .rating_question = "Did you like these Zoviroze?",
    .farewell = "Thanks for the feedback! Closing the program now!",
    .answers = {"3", "calm", "the kitchen", "toast", "happy", "Paris", "a train", "Alex", "nervous", "hug", "the zoo",
                "bus", "excited", "yes!"},
    .story =
        "It was the morning. I just woke up from a 3 hour long nap. I was feeling very calm. "
        "I went downstairs to the kitchen, and got toast from the fridge. It was very happy. "
        "After that, I packed for Paris, and hopped on a train. Once I got to Paris, I again "
        "saw Alex. I didn't dare to look at Alex, but he looked at me. I felt nervous to him, "
        "but I just couldn't. I wanted tohug him. My mom said for us to go to the zoo. I "
        "hopped on the bus, and went to the zoo. During the ride, I was feeling very "
        "excited. Then I woke up. It was all a dream.",
    .story_without_answers =
        "It was the morning. I just woke up from a  hour long nap. I was feeling very . I went "
        "downstairs to , and got  from the fridge. It was very . After that, I packed for , and "
        "hopped on . Once I got to , I again saw . I didn't dare to look at , but he looked at "
        "me. I felt  to him, but I just couldn't. I wanted to him. My mom said for us to go to "
        ". I hopped on the , and went to . During the ride, I was feeling very . Then I woke "
        "up. It was all a dream.",
};

INSTANTIATE_TEST_SUITE_P(Yarnlet3, GameTest, ::testing::Values(yarnlet3));

}  // namespace
}  // namespace yarnlet::testing
