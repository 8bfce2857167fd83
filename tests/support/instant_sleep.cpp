// Loaded into a real game with LD_PRELOAD by the end-to-end tests: every
// sleep returns at once, and is logged with its length and with how far
// standard output had got when it began (its file offset, when standard
// output is a regular file). A whole run then takes milliseconds, and the
// log still says what had been written before every pause.
//
// The log goes to the file named by YARNLET_SLEEP_LOG, one line a sleep:
// "<nanoseconds> <stdout offset or -1>".
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

long long nanoseconds(const timespec& t) { return t.tv_sec * 1'000'000'000LL + t.tv_nsec; }

void log_sleep(long long ns) {
    static int fd = -2;
    if (fd == -2) {
        const char* path = std::getenv("YARNLET_SLEEP_LOG");
        fd = path == nullptr ? -1 : open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        // With standard output closed the log would land on descriptor 1
        // and catch the game's own output; keep it well clear.
        if (fd >= 0 && fd < 10) {
            const int high = fcntl(fd, F_DUPFD_CLOEXEC, 10);
            close(fd);
            fd = high;
        }
    }
    if (fd < 0) return;
    const int saved_errno = errno;
    const long long offset = lseek(STDOUT_FILENO, 0, SEEK_CUR);
    char line[64];
    const int n = std::snprintf(line, sizeof line, "%lld %lld\n", ns, offset);
    if (n > 0) (void)!write(fd, line, static_cast<size_t>(n));
    errno = saved_errno;
}

}  // namespace

extern "C" int clock_nanosleep(clockid_t clock, int flags, const timespec* request, timespec* remain) {
    long long ns = nanoseconds(*request);
    if ((flags & TIMER_ABSTIME) != 0) {
        timespec now{};
        clock_gettime(clock, &now);
        ns -= nanoseconds(now);
    }
    log_sleep(ns);
    if (remain != nullptr && (flags & TIMER_ABSTIME) == 0) *remain = timespec{};
    return 0;
}

extern "C" int nanosleep(const timespec* request, timespec* remain) {
    log_sleep(nanoseconds(*request));
    if (remain != nullptr) *remain = timespec{};
    return 0;
}
