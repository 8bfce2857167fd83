// A console that records instead of waiting: every write passed on, every
// pause and its length, every time the program went to the input for more,
// and where it said the story comes, all in one ordered trace.
#pragma once

#include <deque>
#include <ostream>
#include <string>
#include <vector>

#include "kit/console.h"

namespace yarnlet::testing {

struct Event {
    enum class Kind { shown, pause, read, story };  // story: the next line is the story
    Kind kind;
    std::string bytes;  // shown: passed on by one write; read: handed over (empty: end of input)
    int ms = 0;         // pause

    friend bool operator==(const Event&, const Event&) = default;
};

std::string describe(const Event& event);
inline void PrintTo(const Event& event, std::ostream* os) { *os << describe(event); }

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
    // Input nobody asked for.
    std::string unread() const;

    // From now on every write fails, as on a full disk or a closed pipe;
    // the failed attempts are still counted.
    void fail_writes() { failing_ = true; }
    int failed_writes() const { return failed_; }

private:
    int next_byte();

    std::vector<Event> trace_;
    std::deque<std::string> chunks_;
    std::string current_;  // the chunk being read
    std::size_t taken_ = 0;
    bool failing_ = false;
    int failed_ = 0;
    Console saved_;
};

}  // namespace yarnlet::testing
