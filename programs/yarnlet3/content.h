// yarnlet3, the finale of the series: thirteen questions, the longest
// story (a day that turns out to have been a dream) and the longest
// production script, with a staged clean-up.
//
// The tables below are the whole game. To add a question, add a row to
// `prompts` with a new slot name and put answer("that_slot") where it
// belongs in `story`; the static_assert at the end refuses a slot that is
// asked twice, never used, or used without being asked.
#pragma once

#include <string_view>

#include "kit/story.h"

namespace yarnlet3 {

using yarnlet::answer;
using yarnlet::fragment;

// clang-format off
inline constexpr yarnlet::Prompt prompts[] = {
    // text                                                                  slot
    {"Please, type in a number",                                             "number"},
    {"Thanks! Now, please type in a feeling.",                               "feeling"},
    {"Great choice. Please type in a room in a house.",                      "room"},
    {"Cool! Please type in a food.",                                         "food"},
    {"Super cool! Please type in another feeling.",                          "feeling2"},
    {"Awesome! Please type in a place.",                                     "place"},
    {"That's awesome! Please type in a mode of transportation",              "transport"},
    {"That's radical! Please enter in a name.",                              "name"},
    {"Cool! Please enter in a third feeling.",                               "feeling3"},
    {"That's really cool! Please enter in a verb (without -ing).",           "verb"},
    {"Cool! Please enter in a second place.",                                "place2"},
    {"#gumdropfizzle. Please enter in a second mode of transportation.",     "transport2"},
    {"Great choice. Last input! Please enter in a fourth feeling",           "feeling4"},
};

// The percentages and sizes are staging, not measurements; 66% is shown
// twice on purpose.
inline constexpr yarnlet::ScriptLine script[] = {
    // text                                                                          pause after (ms)
    {"Great! We have all the inputs. Give us a bit, we're creating your yarnlet.",   0},
    {"Making your Yarnlet...4% complete",                                            900},
    {"Making your Yarnlet...21% complete",                                           1500},
    {"Making your Yarnlet...58% complete",                                           250},
    {"Making your Yarnlet...66% complete",                                           1200},
    {"Making your Yarnlet...66% complete",                                           1000},
    {"Making your Yarnlet...74% complete",                                           750},
    {"Making your Yarnlet...91% complete",                                           850},
    {"Making your Yarnlet...100% complete!",                                         0},
    {"Cleaning up 244 KB, at the rate of 482 KB/s",                                  500},
    {"Cleaning up...59/244 KB",                                                      500},
    {"Cleaning up...111/244 KB",                                                     650},
    {"Cleaning up...196/244 KB",                                                     720},
    {"Cleaning up...233/244 KB",                                                     90},
    {"Cleaning up...244/244 KB",                                                     0},
    {"Confirming that it's been cleaned up...",                                      0},
    {"Confirmed...outputting!",                                                      0},
};

// "I wanted to" has no blank after it: the verb follows "to" directly.
inline constexpr yarnlet::TemplatePiece story[] = {
    fragment("It was the morning. I just woke up from a "),
    answer("number"),
    fragment(" hour long nap. I was feeling very "),
    answer("feeling"),
    fragment(". I went downstairs to "),
    answer("room"),
    fragment(", and got "),
    answer("food"),
    fragment(" from the fridge. It was very "),
    answer("feeling2"),
    fragment(". After that, I packed for "),
    answer("place"),
    fragment(", and hopped on "),
    answer("transport"),
    fragment(". Once I got to "),
    answer("place"),
    fragment(", I again saw "),
    answer("name"),
    fragment(". I didn't dare to look at "),
    answer("name"),
    fragment(", but he looked at me. I felt "),
    answer("feeling3"),
    fragment(" to him, but I just couldn't. I wanted to"),
    answer("verb"),
    fragment(" him. My mom said for us to go to "),
    answer("place2"),
    fragment(". I hopped on the "),
    answer("transport2"),
    fragment(", and went to "),
    answer("place2"),
    fragment(". During the ride, I was feeling very "),
    answer("feeling4"),
    fragment(". Then I woke up. It was all a dream."),
};

// clang-format on
inline constexpr yarnlet::StoryContent content{
    .title = "Welcome to Zoviroze (Part 3 - The Finale)",
    .spot_count = "This contains 12 spots for you to fill in.",  // fixed wording, not a count
    .prompts = prompts,
    .script = script,
    .story = story,
    .closing = {},  // the rating question follows the story at once
    .rating_question = "Did you like these Zoviroze?",
    .farewell = "Thanks for the feedback! Closing the program now!",
};

static_assert(yarnlet::is_well_formed(content));

}  // namespace yarnlet3
