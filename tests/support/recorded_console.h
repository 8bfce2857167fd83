// A console that records instead of waiting: what was passed on at each
// flush, every pause and its length, and every time the program went to
// the input for more, all in one ordered trace.
#pragma once

#include <deque>
#include <istream>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "kit/console.h"

namespace yarnlet::testing {

struct Event {
    enum class Kind { shown, pause, read };
    Kind kind;
    std::string bytes;  // shown: passed on by one flush; read: handed over (empty: end of input)
    int ms = 0;         // pause

    friend bool operator==(const Event&, const Event&) = default;
};

std::string describe(const Event& event);

class RecordedConsole {
public:
    enum class Output { terminal, file };

    // Input arrives in `chunks`: each chunk is what one read of the input
    // hands over, as a terminal hands over one line at a time. After the
    // last chunk the input ends.
    RecordedConsole(Output output, std::vector<std::string> chunks);
    ~RecordedConsole();
    RecordedConsole(const RecordedConsole&) = delete;
    RecordedConsole& operator=(const RecordedConsole&) = delete;

    // Input given as lines, one chunk each, "\n" added to each.
    static std::vector<std::string> lines(const std::vector<std::string>& lines);

    const std::vector<Event>& events() const { return trace_; }
    // Every byte passed on, in order.
    std::string shown() const;
    // Bytes written but never flushed.
    const std::string& held() const { return out_buf_.pending; }
    // Input nobody asked for.
    std::string unread() const;

    // From now on every write fails, as on a full disk or a closed pipe;
    // the failed attempts are still counted.
    void fail_writes() { out_buf_.failing = true; }
    int failed_writes() const { return out_buf_.failed; }

private:
    struct OutBuf : std::streambuf {
        explicit OutBuf(std::vector<Event>& events) : trace(events) {}
        int_type overflow(int_type c) override;
        std::streamsize xsputn(const char* s, std::streamsize n) override;
        int sync() override;
        std::vector<Event>& trace;
        std::string pending;
        bool failing = false;
        int failed = 0;
    };
    struct InBuf : std::streambuf {
        InBuf(std::vector<Event>& trace, std::vector<std::string> chunks);
        int_type underflow() override;
        std::vector<Event>& trace;
        std::deque<std::string> chunks;
        std::string current;
        std::string rest() const { return {gptr(), egptr()}; }
    };

    std::vector<Event> trace_;
    OutBuf out_buf_;
    InBuf in_buf_;
    std::ostream out_;
    std::istream in_;
    Console saved_;
};

}  // namespace yarnlet::testing
