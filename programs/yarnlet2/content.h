// yarnlet2, the second game: coming back, eating, and resting in a room for a
// few hours; it points the player to the finale afterwards.
//
// The tables below are the whole game. To add a question, add a row to
// `prompts` with a new slot name and put answer("that_slot") where it
// belongs in `story`; the static_assert at the end refuses a slot that is
// asked twice, never used, or used without being asked.
#pragma once

#include <string_view>

#include "kit/story.h"

namespace yarnlet2 {

using yarnlet::answer;
using yarnlet::fragment;

// clang-format off
inline constexpr yarnlet::Prompt prompts[] = {
    // text                                                  slot
    {"Please, type in a place",                              "place"},
    {"Thanks! Now, please type in a food.",                  "food"},
    {"Great choice. Please type in a feeling",               "feeling"},
    {"Cool! Please type in a room inside of a house.",       "room"},
    {"Super cool! Last input! Please type in a number.",     "number"},
};

inline constexpr yarnlet::ScriptLine script[] = {
    // text                                                   pause after (ms)
    {"Great! We're making your Yarnlet, give us a second.",   300},
    {"Making your Yarnlet, 26% complete.",                    650},
    {"Making your Yarnlet, 46% complete.",                    220},
    {"Making your Yarnlet, 79% complete.",                    350},
    {"Making your Yarnlet, 83% complete.",                    240},
    {"Making your Yarnlet, 100% complete!",                   0},
    {"Cleaning up...",                                        150},
    {"Your yarnlet has been made. Enjoy!",                    0},
};

// `number` is text like any answer: whatever is typed stands before
// " hour(s)".
inline constexpr yarnlet::TemplatePiece story[] = {
    fragment("I was back at "),
    answer("place"),
    fragment(". Man, that was terrible. I needed to eat something, so I got "),
    answer("food"),
    fragment(" out of the fridge. It made me feel "),
    answer("feeling"),
    fragment(". After that, I headed to "),
    answer("room"),
    fragment(", and sat there. Then, "),
    answer("number"),
    fragment(" hour(s) later, I got back up, and went to bed."),
};

// Fixed wording: its "15 inputs" is not a count of the finale's questions.
inline constexpr std::string_view closing[] = {
    "Remember to also check out Part 3, the sequel! It contains a whooping 15 inputs!",
};

// clang-format on
inline constexpr yarnlet::StoryContent content{
    .title = "Welcome to Zoviroze (Part 2)",
    .spot_count = "This contains 5 spots for you to fill in.",
    .prompts = prompts,
    .script = script,
    .story = story,
    .closing = closing,
    .rating_question = "How did you like the program?",
    .farewell = "Awesome. Closing the program now.",
};

static_assert(yarnlet::is_well_formed(content));

}  // namespace yarnlet2
