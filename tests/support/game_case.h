// A game written down from its own text, as each tests/yarnletN_test.cpp
// does, for the checks every game goes through (tests/game_test.cpp).
// Written by hand, not taken from the content: that is what makes it a
// check of the content.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kit/story.h"
#include "tests/support/transcript.h"

namespace yarnlet::testing {

struct GameCase {
    const StoryContent* content;
    std::vector<std::string> opening;  // title and spot-count line
    std::vector<std::string> questions;
    std::vector<Step> production;  // the script's lines and pauses
    std::vector<std::string> closing;
    std::string rating_question;
    std::string farewell;
    std::vector<std::string> answers;  // a line each, the rating last
    std::string story;                 // the story they make
    std::string story_without_answers;
};

inline void PrintTo(const GameCase& game, std::ostream* os) { *os << game.content->title; }

class GameTest : public ::testing::TestWithParam<GameCase> {};

}  // namespace yarnlet::testing
