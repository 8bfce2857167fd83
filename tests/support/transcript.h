// A trace read back the way a player would tell it: the lines typed out,
// the pauses between them, and the reads, with the typewriter's pacing
// checked on the way.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/support/recorded_console.h"

namespace yarnlet::testing {

struct Step {
    enum class Kind { line, pause, read, story };
    Kind kind;
    std::string text;  // line: without its line end; read: bytes handed over
    int ms = 0;        // pause

    friend bool operator==(const Step&, const Step&) = default;
};

inline Step line(std::string text) { return {Step::Kind::line, std::move(text), 0}; }
inline Step pause(int ms) { return {Step::Kind::pause, {}, ms}; }
inline Step read(std::string bytes) { return {Step::Kind::read, std::move(bytes), 0}; }
inline Step end_of_input() { return read({}); }
inline Step story_next() { return {Step::Kind::story, {}, 0}; }

void PrintTo(const Step& step, std::ostream* os);

// Every line must be paced as the typewriter paces it: a pause of
// char_delay_ms after each byte and none after the line end. On a terminal
// each byte must be passed on alone, before its pause; elsewhere the line
// must be passed on whole, after its last pause. The first event that
// breaks this fails the running test, and the transcript stops there.
std::vector<Step> transcript(const std::vector<Event>& events, RecordedConsole::Output output);

// The lines alone, in order.
std::vector<std::string> lines_of(const std::vector<Step>& steps);

// For EXPECT_PRED_FORMAT2(same_steps, got, want): on a failure, the first
// step where the two part and the few before it, rather than two whole
// runs: "step 23: expected pause 150 ms, got pause 160 ms". A long line is
// shown around its first difference.
::testing::AssertionResult same_steps(const char*, const char*, const std::vector<Step>& got,
                                      const std::vector<Step>& want);
// The same for two texts, a line a step.
::testing::AssertionResult same_text(const char*, const char*, const std::string& got, const std::string& want);

}  // namespace yarnlet::testing
