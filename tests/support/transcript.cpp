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

// Where two runs first part, as "step N: expected ..., got ...", after the
// three steps before it. The lines of a text are steps whose kind goes
// unsaid.
::testing::AssertionResult same(const char* noun, const std::vector<Step>& got, const std::vector<Step>& want) {
    const auto [g, w] = std::mismatch(got.begin(), got.end(), want.begin(), want.end());
    if (g == got.end() && w == want.end()) return ::testing::AssertionSuccess();
    std::size_t byte = 0;  // where the two texts part
    if (g != got.end() && w != want.end()) {
        byte = static_cast<std::size_t>(
            std::mismatch(g->text.begin(), g->text.end(), w->text.begin(), w->text.end()).first - g->text.begin());
    }
    const auto show = [&](const Step* step, std::size_t at) {
        if (step == nullptr) return std::string("nothing more");
        return std::string(noun) == "step" ? describe(*step, at) : quoted(step->text, at);
    };
    const auto at = static_cast<std::size_t>(g - got.begin());
    auto failure = ::testing::AssertionFailure();
    for (std::size_t i = at < 3 ? 0 : at - 3; i < at; ++i) {
        failure << noun << " " << i << ": " << show(&got[i], 0) << "\n";
    }
    return failure << noun << " " << at << ": expected " << show(w == want.end() ? nullptr : &*w, byte) << ", got "
                   << show(g == got.end() ? nullptr : &*g, byte);
}

std::vector<Step> lines_in(const std::string& text) {
    std::vector<Step> lines;
    for (std::size_t from = 0; from < text.size();) {
        // With its line end, so that a missing one shows.
        const std::size_t end = text.find('\n', from);
        const std::size_t next = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(line(text.substr(from, next - from)));
        from = next;
    }
    return lines;
}

}  // namespace

void PrintTo(const Step& step, std::ostream* os) { *os << describe(step); }

namespace {

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

::testing::AssertionResult same_steps(const char*, const char*, const std::vector<Step>& got,
                                      const std::vector<Step>& want) {
    return same("step", got, want);
}

::testing::AssertionResult same_text(const char*, const char*, const std::string& got, const std::string& want) {
    return same("line", lines_in(got), lines_in(want));
}

std::vector<std::string> lines_of(const std::vector<Step>& steps) {
    std::vector<std::string> lines;
    for (const Step& step : steps) {
        if (step.kind == Step::Kind::line) lines.push_back(step.text);
    }
    return lines;
}

}  // namespace yarnlet::testing
