// The console primitives on their own: exact bytes, every pause, what is
// passed on when, and the line rules of the answer reader.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <ctime>
#include <string>
#include <vector>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <signal.h>
#include <sys/time.h>
#endif

#include "kit/console.h"
#include "kit/platform.h"
#include "tests/support/recorded_console.h"
#include "tests/support/transcript.h"

namespace yarnlet::testing {
namespace {

using Kind = Event::Kind;
using Output = RecordedConsole::Output;

Event shown(std::string bytes) { return {Kind::shown, std::move(bytes), 0}; }
Event paused(int ms) { return {Kind::pause, {}, ms}; }

std::vector<Event> typed(Output output, const std::string& text) {
    RecordedConsole con(output, {});
    typewrite_line(text);
    return con.events();
}

// --- typewrite_line --------------------------------------------------------

TEST(TypewriteLine, OnATerminalEachByteIsShownBeforeItsPause) {
    EXPECT_EQ(typed(Output::terminal, "Hi!"), (std::vector<Event>{shown("H"), paused(50), shown("i"), paused(50),
                                                                  shown("!"), paused(50), shown("\n")}));
}

TEST(TypewriteLine, OffATerminalTheLineIsHeldUntilItsEnd) {
    EXPECT_EQ(typed(Output::file, "Hi!"), (std::vector<Event>{paused(50), paused(50), paused(50), shown("Hi!\n")}));
}

TEST(TypewriteLine, AnEmptyLineIsJustItsEndWithNoPause) {
    EXPECT_EQ(typed(Output::terminal, ""), std::vector<Event>{shown("\n")});
    EXPECT_EQ(typed(Output::file, ""), std::vector<Event>{shown("\n")});
}

TEST(TypewriteLine, EveryByteCostsOnePauseWhateverItIs) {
    for (const Output output : {Output::terminal, Output::file}) {
        // 14 bytes, 700 ms before the line end.
        const auto cleaning = transcript(typed(output, "Cleaning up..."), output);
        EXPECT_EQ(cleaning, std::vector<Step>{line("Cleaning up...")});
        const std::string raw("\xC3\xA9\0\t\r", 5);  // a two-byte character, NUL, tab, CR
        EXPECT_EQ(transcript(typed(output, raw), output), std::vector<Step>{line(raw)});
        EXPECT_EQ(typed(output, raw).size(), output == Output::terminal ? 11U : 6U);
    }
}

TEST(TypewriteLine, ALineLongerThanAnyBufferIsStillPassedOnWhole) {
    const std::string story(10'000, 'x');
    const auto file = typed(Output::file, story);
    ASSERT_EQ(file.size(), 10'001U);
    EXPECT_EQ(file.back(), shown(story + "\n"));
    EXPECT_EQ(transcript(typed(Output::terminal, story), Output::terminal), std::vector<Step>{line(story)});
}

TEST(TypewriteLine, FailedWritesAreRetriedForEveryLineAndPausesStillHappen) {
    for (const Output output : {Output::terminal, Output::file}) {
        RecordedConsole con(output, {});
        con.fail_writes();
        typewrite_line("abc");
        typewrite_line("de");
        EXPECT_EQ(con.events(), std::vector<Event>(5, paused(50)));
        EXPECT_EQ(con.failed_writes(), output == Output::terminal ? 7 : 2);
    }
}

// --- read_answer -------------------------------------------------------------

struct Reading {
    std::vector<std::string> answers;
    std::vector<Event> events;
    std::string unread;
};

// Each answer starts empty, as the story run's answers do.
Reading read_answers(std::vector<std::string> chunks, int calls) {
    RecordedConsole con(Output::file, std::move(chunks));
    Reading r;
    for (int i = 0; i < calls; ++i) {
        std::string answer;
        read_answer(answer);
        r.answers.push_back(answer);
    }
    r.events = con.events();
    r.unread = con.unread();
    return r;
}

Event handed(std::string bytes) { return {Kind::read, std::move(bytes), 0}; }
const Event input_ended = handed({});

TEST(ReadAnswer, ALastLineWithoutLineEndIsKeptAndTheNextReadReturnsAtOnce) {
    const auto r = read_answers({"first\n", "last"}, 4);
    EXPECT_EQ(r.answers, (std::vector<std::string>{"first", "last", "", ""}));
    EXPECT_EQ(r.events, (std::vector<Event>{handed("first\n"), handed("last"), input_ended}))
        << "the input is asked once for what follows \"last\", and never again";
    const auto cr = read_answers({"cut\r"}, 2);
    EXPECT_EQ(cr.answers, (std::vector<std::string>{"cut\r", ""}));
}

TEST(ReadAnswer, OnceInputHasEndedItIsNeverAskedAgainAndTheAnswerIsLeftAlone) {
    RecordedConsole con(Output::terminal, {});
    std::string first = "untouched";
    read_answer(first);
    EXPECT_EQ(first, "");
    std::string later = "untouched";
    for (int i = 0; i < 3; ++i) read_answer(later);
    EXPECT_EQ(later, "untouched");
    EXPECT_EQ(con.events(), std::vector<Event>{input_ended}) << "Ctrl-D is pressed once, not at every question";
}

TEST(ReadAnswer, LinesTypedAheadAnswerTheNextReadsWithoutWaiting) {
    const auto r = read_answers({"one\ntwo\nthree\n"}, 2);
    EXPECT_EQ(r.answers, (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(r.events, std::vector<Event>{handed("one\ntwo\nthree\n")});
    EXPECT_EQ(r.unread, "three\n");
}

TEST(ReadAnswer, AVeryLongLineIsStoredWhole) {
    const std::string huge(1'000'000, 'y');
    const auto r = read_answers({huge.substr(0, 4096), huge.substr(4096) + "\n", "next\n"}, 2);
    EXPECT_EQ(r.answers, (std::vector<std::string>{huge, "next"}));
}

// --- pause_ms ----------------------------------------------------------------

// Windows' clock() counts wall time, not processor time.
double process_cpu_ms() {
#if defined(_WIN32)
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10'000.0;
#else
    return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
#endif
}

// The sleep itself, so in real time, 60 ms of it: it must last at least
// its length and must not spin.
TEST(PlatformSleep, LastsAtLeastItsLengthWithoutBurningTheProcessor) {
    using clock = std::chrono::steady_clock;
    const double cpu_before = process_cpu_ms();
    const auto before = clock::now();
    for (int i = 0; i < 4; ++i) platform::sleep_ms(15);
    const auto elapsed = clock::now() - before;
    const double cpu_ms = process_cpu_ms() - cpu_before;
    EXPECT_GE(elapsed, std::chrono::milliseconds(60));
    EXPECT_LT(elapsed, std::chrono::milliseconds(500));
    EXPECT_LT(cpu_ms, 20.0);

    const auto zero_before = clock::now();
    platform::sleep_ms(0);
    EXPECT_LT(clock::now() - zero_before, std::chrono::milliseconds(5));
}

#if !defined(_WIN32)
volatile std::sig_atomic_t interruptions = 0;
extern "C" void count_interruption(int) { interruptions = interruptions + 1; }

// A signal whose handler returns wakes the sleep early (no SA_RESTART, as
// a handler installed with signal() on some systems); the pause must go on
// for what is left, however often that happens.
TEST(PlatformSleep, AnInterruptedPauseStillLastsItsFullLength) {
    struct sigaction action = {};
    action.sa_handler = count_interruption;
    sigemptyset(&action.sa_mask);
    struct sigaction previous = {};
    ASSERT_EQ(sigaction(SIGALRM, &action, &previous), 0);
    interruptions = 0;
    itimerval every_10ms{{0, 10'000}, {0, 10'000}};
    ASSERT_EQ(setitimer(ITIMER_REAL, &every_10ms, nullptr), 0);

    using clock = std::chrono::steady_clock;
    const auto before = clock::now();
    platform::sleep_ms(80);
    const auto elapsed = clock::now() - before;

    itimerval off{};
    setitimer(ITIMER_REAL, &off, nullptr);
    sigaction(SIGALRM, &previous, nullptr);
    EXPECT_GE(interruptions, 3) << "the timer should have interrupted the sleep";
    EXPECT_GE(elapsed, std::chrono::milliseconds(80));
    EXPECT_LT(elapsed, std::chrono::milliseconds(500));
}
#endif

}  // namespace
}  // namespace yarnlet::testing
