#include "tests/support/transcript.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "kit/console.h"

namespace yarnlet::testing {

namespace {

// `text` quoted and escaped; past 100 bytes, only the 80 around byte `at`.
std::string quoted(const std::string& text, std::size_t at = 0) {
    if (text.size() <= 100) return ::testing::PrintToString(text);
    const std::size_t from = std::min(at < 40 ? 0 : at - 40, text.size() - 80);
    return (from > 0 ? "..." : "") + ::testing::PrintToString(text.substr(from, 80)) +
           (from + 80 < text.size() ? "..." : "");
}

std::string describe(const Step& step, std::size_t at = 0) {
    switch (step.kind) {
        case Step::Kind::line:
            return "line " + quoted(step.text, at);
        case Step::Kind::pause:
            return "pause " + std::to_string(step.ms) + " ms";
        case Step::Kind::read:
            return step.text.empty() ? std::string("end of input") : "read " + quoted(step.text, at);
        case Step::Kind::story:
            return "the story next";
    }
    return "?";
}

// Where two runs first part, after the three steps before it.
::testing::AssertionResult same(const std::vector<Step>& got, const std::vector<Step>& want) {
    const auto [g, w] = std::mismatch(got.begin(), got.end(), want.begin(), want.end());
    if (g == got.end() && w == want.end()) return ::testing::AssertionSuccess();
    const auto at = static_cast<std::size_t>(g - got.begin());
    auto failure = ::testing::AssertionFailure();
    for (std::size_t i = at < 3 ? 0 : at - 3; i < at; ++i) failure << "step " << i << ": " << describe(got[i]) << "\n";
    if (g == got.end() || w == want.end()) {
        return failure << "step " << at << ": expected " << (w == want.end() ? "nothing more" : describe(*w))
                       << ", got " << (g == got.end() ? "nothing more" : describe(*g));
    }
    // A long line is shown around where the two part.
    const auto byte = static_cast<std::size_t>(
        std::mismatch(g->text.begin(), g->text.end(), w->text.begin(), w->text.end()).first - g->text.begin());
    return failure << "step " << at << ": expected " << describe(*w, byte) << ", got " << describe(*g, byte);
}

bool is_pause(const Event& e, int ms) { return e.kind == Event::Kind::pause && e.ms == ms; }

std::vector<Step> terminal_transcript(const std::vector<Event>& events) {
    std::vector<Step> steps;
    for (std::size_t i = 0; i < events.size();) {
        const Event& e = events[i];
        if (e.kind == Event::Kind::pause) {
            steps.push_back(pause(e.ms));
            ++i;
            continue;
        }
        if (e.kind == Event::Kind::read || e.kind == Event::Kind::story) {
            steps.push_back(e.kind == Event::Kind::read ? read(e.bytes) : story_next());
            ++i;
            continue;
        }
        std::string text;
        while (i < events.size() && events[i].kind == Event::Kind::shown && events[i].bytes != "\n") {
            if (events[i].bytes.size() != 1) {
                ADD_FAILURE() << "event " << i << ": " << describe(events[i])
                              << ": a terminal must be shown one byte at a time";
                return steps;
            }
            if (i + 1 >= events.size() || !is_pause(events[i + 1], char_delay_ms)) {
                ADD_FAILURE() << "event " << i << ": " << describe(events[i]) << " after \"" << text
                              << "\" is not followed by its " << char_delay_ms << " ms pause";
                return steps;
            }
            text += events[i].bytes;
            i += 2;
        }
        if (i >= events.size() || events[i].kind != Event::Kind::shown) {
            ADD_FAILURE() << "line \"" << text << "\" is never ended";
            return steps;
        }
        steps.push_back(line(std::move(text)));
        ++i;
    }
    return steps;
}

std::vector<Step> file_transcript(const std::vector<Event>& events) {
    std::vector<Step> steps;
    for (std::size_t i = 0; i < events.size(); ++i) {
        const Event& e = events[i];
        if (e.kind == Event::Kind::pause) {
            steps.push_back(pause(e.ms));
            continue;
        }
        if (e.kind == Event::Kind::read || e.kind == Event::Kind::story) {
            steps.push_back(e.kind == Event::Kind::read ? read(e.bytes) : story_next());
            continue;
        }
        const std::size_t end = e.bytes.find('\n');
        if (end != e.bytes.size() - 1) {
            ADD_FAILURE() << "event " << i << ": " << describe(e)
                          << ": off a terminal each flush must pass on exactly one whole line";
            return steps;
        }
        // The line's pauses are the last ones before it, one per byte.
        std::string text = e.bytes.substr(0, end);
        for (std::size_t k = 0; k < text.size(); ++k) {
            if (steps.empty() || steps.back() != pause(char_delay_ms)) {
                ADD_FAILURE() << "event " << i << ": line \"" << text << "\" has " << k << " of its " << text.size()
                              << " pauses before it";
                return steps;
            }
            steps.pop_back();
        }
        steps.push_back(line(std::move(text)));
    }
    return steps;
}

}  // namespace

std::vector<Step> transcript(const std::vector<Event>& events, RecordedConsole::Output output) {
    return output == RecordedConsole::Output::terminal ? terminal_transcript(events) : file_transcript(events);
}

void PrintTo(const Step& step, std::ostream* os) { *os << describe(step); }

::testing::AssertionResult same_steps(const char*, const char*, const std::vector<Step>& got,
                                      const std::vector<Step>& want) {
    return same(got, want);
}

// Each line with its line end, so that a missing one shows.
::testing::AssertionResult same_text(const char*, const char*, const std::string& got, const std::string& want) {
    const auto lines = [](const std::string& text) {
        std::vector<Step> steps;
        for (std::size_t from = 0, end = 0; from < text.size(); from = end) {
            end = std::min(text.find('\n', from), text.size() - 1) + 1;
            steps.push_back(line(text.substr(from, end - from)));
        }
        return steps;
    };
    return same(lines(got), lines(want));
}

std::vector<std::string> lines_of(const std::vector<Step>& steps) {
    std::vector<std::string> lines;
    for (const Step& step : steps) {
        if (step.kind == Step::Kind::line) lines.push_back(step.text);
    }
    return lines;
}

}  // namespace yarnlet::testing
