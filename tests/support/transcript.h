// A trace read back the way a player would tell it: the lines typed out,
// the pauses between them, and the reads, with the typewriter's pacing
// checked on the way.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tests/support/recorded_console.h"

namespace yarnlet::testing {

struct Step {
    enum class Kind { line, pause, read };
    Kind kind;
    std::string text;  // line: without its line end; read: bytes handed over
    int ms = 0;        // pause

    friend bool operator==(const Step&, const Step&) = default;
};

inline Step line(std::string text) { return {Step::Kind::line, std::move(text), 0}; }
inline Step pause(int ms) { return {Step::Kind::pause, {}, ms}; }
inline Step read(std::string bytes) { return {Step::Kind::read, std::move(bytes), 0}; }
inline Step end_of_input() { return read({}); }

void PrintTo(const Step& step, std::ostream* os);

// Every line must be paced as the typewriter paces it: a pause of
// char_delay_ms after each byte and none after the line end. On a terminal
// each byte must be passed on alone, before its pause; elsewhere the line
// must be passed on whole, after its last pause. The first event that
// breaks this fails the running test, and the transcript stops there.
std::vector<Step> transcript(const std::vector<Event>& events, RecordedConsole::Output output);

// The lines alone, in order.
std::vector<std::string> lines_of(const std::vector<Step>& steps);

}  // namespace yarnlet::testing
