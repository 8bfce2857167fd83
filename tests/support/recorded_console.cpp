#include "tests/support/recorded_console.h"

#include <utility>

namespace yarnlet::testing {

std::string describe(const Event& event) {
    switch (event.kind) {
        case Event::Kind::shown:
            return "shown \"" + event.bytes + "\"";
        case Event::Kind::pause:
            return "pause " + std::to_string(event.ms);
        case Event::Kind::read:
            return event.bytes.empty() ? std::string("read: end of input") : "read \"" + event.bytes + "\"";
        case Event::Kind::story:
            return "the story next";
    }
    return "?";
}

RecordedConsole::RecordedConsole(Output output, std::vector<std::string> chunks)
    : chunks_(chunks.begin(), chunks.end()), saved_(console()) {
    console() = Console{
        [this](std::string_view bytes) {
            if (failing_) {
                ++failed_;
            } else {
                trace_.push_back({Event::Kind::shown, std::string(bytes), 0});
            }
        },
        [this] { return next_byte(); },
        output == Output::terminal,
        [this](int ms) { trace_.push_back({Event::Kind::pause, {}, ms}); },
        [this] { trace_.push_back({Event::Kind::story, {}, 0}); },
    };
}

RecordedConsole::~RecordedConsole() { console() = saved_; }

std::vector<std::string> RecordedConsole::lines(const std::vector<std::string>& lines) {
    std::vector<std::string> chunks;
    for (const std::string& line : lines) chunks.push_back(line + "\n");
    return chunks;
}

std::string RecordedConsole::shown() const {
    std::string all;
    for (const Event& event : trace_) {
        if (event.kind == Event::Kind::shown) all += event.bytes;
    }
    return all;
}

std::string RecordedConsole::unread() const {
    std::string rest = current_.substr(taken_);
    for (const std::string& chunk : chunks_) rest += chunk;
    return rest;
}

// Going past what has been handed over so far is asking for more, which on
// a terminal means waiting: that is a read in the trace.
int RecordedConsole::next_byte() {
    if (taken_ == current_.size()) {
        while (!chunks_.empty() && chunks_.front().empty()) chunks_.pop_front();
        if (chunks_.empty()) {
            trace_.push_back({Event::Kind::read, {}, 0});
            return -1;
        }
        current_ = std::move(chunks_.front());
        chunks_.pop_front();
        taken_ = 0;
        trace_.push_back({Event::Kind::read, current_, 0});
    }
    return static_cast<unsigned char>(current_[taken_++]);
}

}  // namespace yarnlet::testing
