#include "tests/support/transcript.h"

#include <gtest/gtest.h>

#include "kit/console.h"

namespace yarnlet::testing {

void PrintTo(const Step& step, std::ostream* os) {
    static const char* const kinds[] = {"line", "pause", "read"};
    *os << kinds[static_cast<int>(step.kind)] << "("
        << (step.kind == Step::Kind::pause ? std::to_string(step.ms) : ::testing::PrintToString(step.text)) << ")";
}

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
        if (e.kind == Event::Kind::read) {
            steps.push_back(read(e.bytes));
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
        if (e.kind == Event::Kind::read) {
            steps.push_back(read(e.bytes));
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

std::vector<std::string> lines_of(const std::vector<Step>& steps) {
    std::vector<std::string> lines;
    for (const Step& step : steps) {
        if (step.kind == Step::Kind::line) lines.push_back(step.text);
    }
    return lines;
}

}  // namespace yarnlet::testing
