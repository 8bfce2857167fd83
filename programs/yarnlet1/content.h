// yarnlet1: the first game of the series, a morning that goes wrong.
//
// The tables below are the whole game. To add a question, add a row to
// `prompts` with a new slot name and put answer("that_slot") where it
// belongs in `story`; the static_assert at the end refuses a slot that is
// asked twice, never used, or used without being asked.
#pragma once

#include <string_view>

#include "kit/story.h"

namespace yarnlet1 {

using yarnlet::answer;
using yarnlet::fragment;

// clang-format off
inline constexpr yarnlet::Prompt prompts[] = {
    // text                                                            slot
    {"Please, type in a feeling",                                      "feeling"},
    {"Thanks! Now, please type in a time",                             "time"},
    {"Great choice. Please type in a place",                           "place"},
    {"Cool! Please type in a mode of transportation.",                 "transport"},
    {"Super cool! Please type in something odd that could happen.",    "odd_event"},
    {"#gumdropfizzle. Please enter in a name.",                        "name"},
    {"Cool name. Please enter in another feeling.",                    "feeling2"},
    {"Cool! Please enter in a third feeling.",                         "feeling3"},
    {"That's a good feeling. Please enter in a fourth feeling.",       "feeling4"},
    {"Cool! Last input! Enter a second mode of transportation.",       "transport2"},
};

inline constexpr yarnlet::ScriptLine script[] = {
    // text                                                   pause after (ms)
    {"Great! We're making your Yarnlet, give us a second.",   300},
    {"Making your Yarnlet, 26% complete.",                    650},
    {"Making your Yarnlet, 52% complete.",                    220},
    {"Making your Yarnlet, 79% complete.",                    1800},
    {"Making your Yarnlet, 83% complete.",                    1000},
    {"Making your Yarnlet, 100% complete!",                   0},
    {"Cleaning up...",                                        150},
    {"Your yarnlet has been made. Enjoy!",                    0},
};

// The story ends on the last answer, with no full stop after it.
inline constexpr yarnlet::TemplatePiece story[] = {
    fragment("I woke up feeling "),
    answer("feeling"),
    fragment(". I looked at my alarm clock, and it said "),
    answer("time"),
    fragment(". Oh no! I was running really late to "),
    answer("place"),
    fragment(". I hopped on the "),
    answer("transport"),
    fragment(", and headed to "),
    answer("place"),
    fragment(". When I got to "),
    answer("place"),
    fragment(", something very odd happened. "),
    answer("odd_event"),
    fragment(" was going on...interesting. I then saw "),
    answer("name"),
    fragment(". I was so "),
    answer("feeling2"),
    fragment(". "),
    answer("name"),
    fragment(" said to me Go home, you are not my friend any more. I was so "),
    answer("feeling3"),
    fragment(". I went back home, on the "),
    answer("transport2"),
    fragment(". I was very "),
    answer("feeling4"),
};

inline constexpr std::string_view closing[] = {
    "Made by the Yarnlet team. Thanks for checking this out!",
};

// clang-format on
inline constexpr yarnlet::StoryContent content{
    .title = "Welcome to Zoviroze",
    .spot_count = "This contains 10 spots for you to fill in",
    .prompts = prompts,
    .script = script,
    .story = story,
    .closing = closing,
    .rating_question = "Did you like this program?",
    .farewell = "Thanks for the rating! Closing the program now.",
};

static_assert(yarnlet::is_well_formed(content));

}  // namespace yarnlet1
