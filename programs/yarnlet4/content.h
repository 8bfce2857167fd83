// yarnlet4, the fourth game: a conversation with mom. Its production script
// and closing lines are written out here in full, whatever another game
// has, so that each game reads, and changes, on its own.
//
// The tables below are the whole game. To add a question, add a row to
// `prompts` with a new slot name and put answer("that_slot") where it
// belongs in `story`; the static_assert at the end refuses a slot that is
// asked twice, never used, or used without being asked.
#pragma once

#include <string_view>

#include "kit/story.h"

namespace yarnlet4 {

using yarnlet::answer;
using yarnlet::fragment;

// clang-format off
inline constexpr yarnlet::Prompt prompts[] = {
    // text                                                                   slot
    {"Please, type in a feeling",                                             "feeling"},
    {"Thanks! Now, please type in a second feeling.",                         "feeling2"},
    {"Great choice. Please type in something you would tell your mom.",       "told_mom"},
    {"Cool! Please type in something your mom would say back to you.",        "mom_reply"},
    {"Super cool! Last input! Please type in a number.",                      "number"},
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

// "She responded with" is followed by two blanks before the reply.
inline constexpr yarnlet::TemplatePiece story[] = {
    fragment("I just woke up. I was feeling "),
    answer("feeling"),
    fragment(". My mom came into my room. She was "),
    answer("feeling2"),
    fragment(" about me. I told her "),
    answer("told_mom"),
    fragment(". She responded with  "),
    answer("mom_reply"),
    fragment(". I went back to bed, for about "),
    answer("number"),
    fragment(" hours."),
};

// Fixed wording: it points to the finale from the fourth game, and its
// "15 inputs" is not a count of the finale's questions.
inline constexpr std::string_view closing[] = {
    "Remember to also check out Part 3, the sequel! It contains a whooping 15 inputs!",
};

// clang-format on
inline constexpr yarnlet::StoryContent content{
    .title = "Welcome to Zoviroze (Part 4)",
    .spot_count = "This contains 5 spots for you to fill in.",
    .prompts = prompts,
    .script = script,
    .story = story,
    .closing = closing,
    .rating_question = "How did you like the program?",
    .farewell = "Awesome. Closing the program now.",
};

static_assert(yarnlet::is_well_formed(content));

}  // namespace yarnlet4
