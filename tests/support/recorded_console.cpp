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
    }
    return "?";
}

RecordedConsole::RecordedConsole(Output output, std::vector<std::string> chunks)
    : out_buf_(trace_), in_buf_(trace_, std::move(chunks)), out_(&out_buf_), in_(&in_buf_), saved_(console()) {
    console() = Console{&in_, &out_, output == Output::terminal,
                        [this](int ms) { trace_.push_back({Event::Kind::pause, {}, ms}); }};
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
    std::string rest = in_buf_.rest();
    for (const std::string& chunk : in_buf_.chunks) rest += chunk;
    return rest;
}

// No put area: every byte comes through here, so nothing can reach the
// trace except through sync(), the flush.
RecordedConsole::OutBuf::int_type RecordedConsole::OutBuf::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char ch = traits_type::to_char_type(c);
    return xsputn(&ch, 1) == 1 ? c : traits_type::eof();
}

std::streamsize RecordedConsole::OutBuf::xsputn(const char* s, std::streamsize n) {
    if (failing) {
        ++failed;
        return 0;
    }
    pending.append(s, static_cast<std::size_t>(n));
    return n;
}

int RecordedConsole::OutBuf::sync() {
    if (failing) return -1;
    if (!pending.empty()) trace.push_back({Event::Kind::shown, std::exchange(pending, {}), 0});
    return 0;
}

RecordedConsole::InBuf::InBuf(std::vector<Event>& trace_in, std::vector<std::string> chunks_in)
    : trace(trace_in), chunks(chunks_in.begin(), chunks_in.end()) {}

// Called only when everything handed over so far has been consumed: the
// program is asking for more, which on a terminal means waiting.
RecordedConsole::InBuf::int_type RecordedConsole::InBuf::underflow() {
    while (!chunks.empty() && chunks.front().empty()) chunks.pop_front();
    if (chunks.empty()) {
        trace.push_back({Event::Kind::read, {}, 0});
        return traits_type::eof();
    }
    current = std::move(chunks.front());
    chunks.pop_front();
    trace.push_back({Event::Kind::read, current, 0});
    setg(current.data(), current.data(), current.data() + current.size());
    return traits_type::to_int_type(current[0]);
}

}  // namespace yarnlet::testing
