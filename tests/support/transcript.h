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

// What a game types whatever the answers, for writing down a whole run.
struct GameLines {
    std::vector<std::string> opening;  // title and spot-count line
    std::vector<std::string> questions;
    std::vector<Step> production;  // the script's lines and pauses
    std::vector<std::string> closing;
    std::string rating_question;
    std::string farewell;
};

// The whole run: `reads` holds what each question, and last the rating
// question, got from the input (nothing once input has ended).
std::vector<Step> expected_run(const GameLines& game, const std::vector<std::vector<Step>>& reads,
                               const std::string& story);

// One read per chunk, as when every answer is typed in its turn.
std::vector<std::vector<Step>> one_read_each(const std::vector<std::string>& chunks);

// Input that is already at its end when the first of `questions` + 1
// reads asks for it.
std::vector<std::vector<Step>> no_input(std::size_t questions);

}  // namespace yarnlet::testing
