#include "kit/platform.h"

#if defined(_WIN32)

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <timeapi.h>

#include <chrono>
#include <cstdio>

namespace yarnlet::platform {

// Windows has no signal for a closed pipe: a failed write just fails. The
// C runtime's streams over standard input and output do the text mode's
// work ("\n" out as "\r\n", "\r\n" in as "\n", Ctrl-Z typed at a console
// as the end of input) and cope with a handle that was never there; with
// no buffer of their own, they take and pass on exactly what they are
// given, when they are given it.
void prepare_process() {
    std::setvbuf(stdin, nullptr, _IONBF, 0);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
}

// _isatty is also true for the NUL device, which is a character device
// but no console; asking for the console mode tells them apart.
bool stdout_is_terminal() {
    HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    return _isatty(_fileno(stdout)) != 0 && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

// A failure sticks to a C stream until it is cleared; each write is a new
// attempt.
void write_stdout(std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::clearerr(stdout);
}

int read_stdin_byte() {
    const int c = std::getc(stdin);
    return c == EOF ? -1 : c;
}

namespace {

// mingw-w64 10's headers predate the flag (Windows 10 1803).
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

// Windows' clock ticks every 15.625 ms unless a process asks for a finer
// tick, and since Windows 10 2004 a process no longer gets the finer tick
// that another one asked for. Sleep(50) just after a tick (as each pause
// is, a write following the last wake-up) then lasts 62.5 ms. A
// high-resolution waitable timer ends within a fraction of a millisecond
// of its time and leaves the machine's tick alone. Where Windows refuses
// the flag (before 1803), the process asks for a 1 ms tick instead, for
// the rest of its life. Made at the first pause; null where refused.
HANDLE pause_timer() {
    static const HANDLE timer = [] {
        HANDLE made = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
        if (made == nullptr) timeBeginPeriod(1);
        return made;
    }();
    return timer;
}

// A timer's due time: negative for a time from now, in 100 ns units.
bool wait_on_timer(HANDLE timer, std::chrono::nanoseconds left) {
    LARGE_INTEGER due;
    due.QuadPart = -std::chrono::ceil<std::chrono::duration<LONGLONG, std::ratio<1, 10'000'000>>>(left).count();
    return SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE) != 0 &&
           WaitForSingleObject(timer, INFINITE) == WAIT_OBJECT_0;
}

}  // namespace

// Either way a wait can end up to a tick early by the steady clock, so it
// is made again for whatever is left until the pause has really lasted its
// length.
void sleep_ms(int ms) {
    if (ms <= 0) return;
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + std::chrono::milliseconds(ms);
    const HANDLE timer = pause_timer();
    for (auto now = clock::now(); now < deadline; now = clock::now()) {
        if (timer != nullptr && wait_on_timer(timer, deadline - now)) continue;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
        Sleep(static_cast<DWORD>(left.count()));
    }
}

void mark_story() {}

}  // namespace yarnlet::platform

#else  // not _WIN32: POSIX systems and the browser

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace yarnlet::platform {

namespace {

// A descriptor may come non-blocking: the flag belongs to the open file,
// which is shared with whoever started the game, and an event-loop program
// (Node.js, say) sets it on the terminal and may leave it set. Then a read
// finds nothing yet, or a write no room, and fails with EAGAIN rather than
// wait. The game waits as a blocking read or write would: until the
// descriptor is ready, without spinning and without touching the flag,
// which is not the game's. False when even that fails, which ends the
// input or drops the write as any other failure does.
bool wait_until_ready(int fd, short events) {
#if defined(__EMSCRIPTEN__)
    // The page's reads and writes never say EAGAIN.
    (void)fd;
    (void)events;
    return false;
#else
    pollfd ready{fd, events, 0};
    for (;;) {
        if (poll(&ready, 1, -1) >= 0) return true;
        if (errno != EINTR) return false;
    }
#endif
}

bool not_ready() { return errno == EAGAIN || errno == EWOULDBLOCK; }

}  // namespace

// A signal whose handler returns may interrupt a write or a read before it
// has done anything; it is simply made again. A write that passed on only
// part of its bytes (a pipe with little room left) goes on with the rest.
void write_stdout(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && not_ready() && wait_until_ready(STDOUT_FILENO, POLLOUT)) continue;
        return;
    }
}

// Only a read of nothing, or a failure that waiting cannot mend, is the
// end of the input.
int read_stdin_byte() {
    unsigned char byte = 0;
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, &byte, 1);
        if (n == 1) return byte;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && not_ready() && wait_until_ready(STDIN_FILENO, POLLIN)) continue;
        return -1;
    }
}

}  // namespace yarnlet::platform

#if defined(__EMSCRIPTEN__)

#include <emscripten.h>

#include <cmath>

// The page's, in stdio.js.
extern "C" void yarnlet_story();

namespace yarnlet::platform {

// The page is the terminal: it shows each byte as it is written, and its
// keyboard reader does what a terminal's line discipline does. No signals.
void prepare_process() {}

bool stdout_is_terminal() { return true; }

// emscripten_sleep hands the browser back its event loop (that is when
// the page shows the byte just written), and a timer brings the game back.
// A timer may fire a fraction of a millisecond early, so the pause is
// measured and topped up until it has really lasted its length.
void sleep_ms(int ms) {
    if (ms <= 0) return;
    const double deadline = emscripten_get_now() + ms;
    for (double now = emscripten_get_now(); now < deadline; now = emscripten_get_now()) {
        emscripten_sleep(static_cast<unsigned>(std::ceil(deadline - now)));
    }
}

void mark_story() { yarnlet_story(); }

}  // namespace yarnlet::platform

#else  // not __EMSCRIPTEN__: POSIX systems

#include <csignal>
#include <ctime>
#if defined(__linux__)
#include <sys/prctl.h>
#endif

namespace yarnlet::platform {

void prepare_process() {
    // Without this, the first line written after the reader of a pipe has
    // gone would kill the process. Ignored, the write fails with EPIPE,
    // which nobody looks at.
    std::signal(SIGPIPE, SIG_IGN);
#if defined(PR_SET_TIMERSLACK)
    // Linux lets a sleeping thread wake up to 50 us late by default so that
    // wake-ups can be batched. Over a thousand pauses a run that adds up;
    // one nanosecond is the smallest slack it accepts.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
}

bool stdout_is_terminal() { return isatty(STDOUT_FILENO) == 1; }

// A sleep that a signal handler interrupts carries on for the time still
// left, so a pause is never cut short.
void sleep_ms(int ms) {
    if (ms <= 0) return;
    timespec left{ms / 1000, static_cast<long>(ms % 1000) * 1'000'000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

void mark_story() {}

}  // namespace yarnlet::platform

#endif  // __EMSCRIPTEN__
#endif  // _WIN32
