// How well the typewriter keeps time on this machine, side by side with the
// naive way of doing it (flush and std::this_thread::sleep_for after every
// byte):
//   - the overshoot of every 50 ms pause over many lines, mean, median and
//     worst, typed to a file and to a pseudo-terminal, and the shortest
//     pause seen;
//   - CPU time per typed byte;
//   - the time from starting a real game to its first byte on a terminal;
//   - CPU time of a whole real game on a terminal, against its length.
// Prints a Markdown table. Takes about a minute and a half; --quick leaves
// out the whole game and types fewer lines.
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>
// The timer slack, which the kit lowers, is Linux's alone: elsewhere both
// typewriters run with whatever the system gives.
#ifdef __linux__
#include <sys/prctl.h>
#else
#define PR_SET_TIMERSLACK 0
#define PR_GET_TIMERSLACK 0
inline int prctl(int, unsigned long, unsigned long, unsigned long, unsigned long) { return 0; }
#endif  // __linux__

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <iostream>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "kit/console.h"
#include "kit/platform.h"
#include "tests/support/terminal.h"

namespace {

using yarnlet::testing::open_terminal;
using yarnlet::testing::start_on_terminal;
using clock_type = std::chrono::steady_clock;
using std::chrono::duration;

double micros(clock_type::duration d) { return duration<double, std::micro>(d).count(); }

double thread_cpu_micros() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

// A pseudo-terminal whose other end is read, and thrown away, as fast as
// bytes arrive, as a terminal window would.
class Pty {
public:
    Pty() {
        const yarnlet::testing::Terminal terminal = open_terminal();
        if (terminal.master < 0) std::abort();
        master_ = terminal.master;
        slave_name_ = terminal.slave_name;
        reader_ = std::thread([this] {
            char buf[4096];
            while (!stop_) {
                pollfd p{master_, POLLIN, 0};
                if (poll(&p, 1, 20) == 1 && read(master_, buf, sizeof buf) <= 0) return;
            }
        });
    }
    ~Pty() {
        stop_ = true;
        reader_.join();
        close(master_);
    }
    const std::string& slave_name() const { return slave_name_; }

private:
    int master_ = -1;
    std::string slave_name_;
    std::atomic<bool> stop_{false};
    std::thread reader_;
};

// Every pause of one typewriter on one output, over all rounds.
struct Samples {
    std::vector<double> pauses_us;
    double cpu_us = 0;

    void add(const Samples& more) {
        pauses_us.insert(pauses_us.end(), more.pauses_us.begin(), more.pauses_us.end());
        cpu_us += more.cpu_us;
    }
    double mean_over_us() const {
        return std::accumulate(pauses_us.begin(), pauses_us.end(), 0.0) / static_cast<double>(pauses_us.size()) -
               50'000.0;
    }
    double median_over_us() const {
        std::vector<double> sorted = pauses_us;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2] - 50'000.0;
    }
    double worst_over_us() const { return *std::max_element(pauses_us.begin(), pauses_us.end()) - 50'000.0; }
    double shortest_ms() const { return *std::min_element(pauses_us.begin(), pauses_us.end()) / 1000.0; }
    double cpu_per_byte_us() const { return cpu_us / static_cast<double>(pauses_us.size()); }
};

// The timer slack the process started with, before the kit asked for less.
unsigned long start_slack_ns = 0;

// The naive typewriter, written the obvious way. It runs on a thread of
// its own, with the timer slack the process started with: a new thread
// would otherwise inherit whatever the kit has asked for.
Samples naive_line(std::ostream& out, const std::string& text) {
    Samples s;
    std::thread([&] {
        prctl(PR_SET_TIMERSLACK, start_slack_ns, 0UL, 0UL, 0UL);
        const double cpu_before = thread_cpu_micros();
        for (const char c : text) {
            out.put(c);
            out.flush();
            const auto before = clock_type::now();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            s.pauses_us.push_back(micros(clock_type::now() - before));
        }
        out.put('\n');
        out.flush();
        s.cpu_us = thread_cpu_micros() - cpu_before;
    }).join();
    return s;
}

// The kit's typewriter, writing to `fd` as it writes to standard output,
// its sleep timed from outside.
Samples kit_line(int fd, bool terminal, const std::string& text) {
    Samples s;
    yarnlet::Console& con = yarnlet::console();
    const yarnlet::Console saved = con;
    con.write = [fd](std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t n = write(fd, bytes.data(), bytes.size());
            if (n <= 0) return;
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
    };
    con.out_is_terminal = terminal;
    con.sleep_ms = [&s](int ms) {
        const auto before = clock_type::now();
        yarnlet::platform::sleep_ms(ms);
        s.pauses_us.push_back(micros(clock_type::now() - before));
    };
    const double cpu_before = thread_cpu_micros();
    yarnlet::typewrite_line(text);
    s.cpu_us = thread_cpu_micros() - cpu_before;
    con = saved;
    return s;
}

// From fork to the first byte read from the terminal, over a few starts.
std::vector<double> first_byte_ms(const char* program, int starts) {
    std::vector<double> times;
    for (int i = 0; i < starts; ++i) {
        const auto [master, slave] = open_terminal();
        if (master < 0) std::abort();
        const auto before = clock_type::now();
        const pid_t pid = start_on_terminal(slave, {program});
        pollfd p{master, POLLIN, 0};
        char c = 0;
        if (poll(&p, 1, 5000) == 1 && read(master, &c, 1) == 1) {
            times.push_back(duration<double, std::milli>(clock_type::now() - before).count());
        }
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        close(master);
    }
    return times;
}

struct WholeRun {
    double wall_s = 0;
    double cpu_ms = 0;
    std::size_t bytes = 0;
};

// A whole game on a terminal, the answers typed ahead.
WholeRun whole_game(const char* program, const std::string& typed) {
    const auto [master, slave] = open_terminal();
    if (master < 0) std::abort();
    const auto before = clock_type::now();
    const pid_t pid = start_on_terminal(slave, {program});
    if (write(master, typed.data(), typed.size()) < 0) std::abort();
    WholeRun run;
    char buf[4096];
    for (;;) {
        const ssize_t n = read(master, buf, sizeof buf);
        if (n <= 0) break;  // EIO once the game has closed the terminal
        run.bytes += static_cast<std::size_t>(n);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.wall_s = duration<double>(clock_type::now() - before).count();
    run.cpu_ms = (static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                  static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3);
    close(master);
    return run;
}

std::string machine() {
    std::string model = "unknown processor";
    std::ifstream cpuinfo("/proc/cpuinfo");
    for (std::string line; std::getline(cpuinfo, line);) {
        if (line.rfind("model name", 0) == 0) {
            model = line.substr(line.find(':') + 2);
            break;
        }
    }
    utsname u{};
    uname(&u);
    return model + ", " + std::to_string(std::thread::hardware_concurrency()) + " cores, " + u.sysname + " " +
           u.release;
}

void row(const char* what, const Samples& s) {
    std::printf("| %s | %.0f | %.0f | %.0f | %.3f | %.1f |\n", what, s.mean_over_us(), s.median_over_us(),
                s.worst_over_us(), s.shortest_ms(), s.cpu_per_byte_us());
}

}  // namespace

int main(int argc, char** argv) {
    const bool quick = argc > 1 && std::string(argv[1]) == "--quick";
    const int rounds = quick ? 2 : 12;
    const std::string text(25, 'x');
    const std::string file_path = "/tmp/yarnlet-bench-" + std::to_string(getpid());

    std::printf("Pacing on %s\n\n", machine().c_str());
    std::printf("Timer slack: %lu ns for the naive typewriter, as the process started; the kit asks for 1 ns.\n\n",
                static_cast<unsigned long>(prctl(PR_GET_TIMERSLACK, 0UL, 0UL, 0UL, 0UL)));
    std::fflush(stdout);

    // The two typewriters take turns, line by line, so that whatever else
    // the machine is doing falls on both alike.
    start_slack_ns = static_cast<unsigned long>(prctl(PR_GET_TIMERSLACK, 0UL, 0UL, 0UL, 0UL));
    yarnlet::platform::prepare_process();
    Samples naive_file, naive_pty, kit_file, kit_pty;
    {
        std::ofstream file(file_path);
        Pty pty;
        std::ofstream tty(pty.slave_name());
        const int file_fd = open(file_path.c_str(), O_WRONLY | O_APPEND);
        const int tty_fd = open(pty.slave_name().c_str(), O_WRONLY | O_NOCTTY);
        for (int round = 0; round < rounds; ++round) {
            naive_file.add(naive_line(file, text));
            kit_file.add(kit_line(file_fd, false, text));
            naive_pty.add(naive_line(tty, text));
            kit_pty.add(kit_line(tty_fd, true, text));
        }
        close(file_fd);
        close(tty_fd);
    }
    std::remove(file_path.c_str());

    std::printf("%d lines of %zu bytes each, one 50 ms pause after each byte:\n\n", rounds, text.size());
    std::printf(
        "| typewriter, output | mean overshoot (us) | median overshoot (us) | worst overshoot (us) | "
        "shortest pause (ms) | CPU per byte (us) |\n");
    std::printf("| --- | --- | --- | --- | --- | --- |\n");
    row("kit, file", kit_file);
    row("naive, file", naive_file);
    row("kit, terminal", kit_pty);
    row("naive, terminal", naive_pty);

    const auto starts = first_byte_ms(YARNLET1_PATH, 10);
    if (!starts.empty()) {
        std::printf("\nyarnlet1, start to first byte on a terminal: mean %.2f ms, worst %.2f ms (%zu starts)\n",
                    std::accumulate(starts.begin(), starts.end(), 0.0) / static_cast<double>(starts.size()),
                    *std::max_element(starts.begin(), starts.end()), starts.size());
    }

    if (!quick) {
        std::printf("\nA whole game of yarnlet2 on a terminal (takes about 47 s)...\n");
        std::fflush(stdout);
        const WholeRun run = whole_game(YARNLET2_PATH, "home\npizza\nhappy\nkitchen\n3\ngreat\n");
        const double naive_cpu_ms = naive_pty.cpu_per_byte_us() * static_cast<double>(run.bytes) / 1000.0;
        std::printf(
            "yarnlet2: %.1f s, CPU %.1f ms = %.3f%% of the run; the naive typewriter's CPU per byte "
            "would make it %.1f ms\n",
            run.wall_s, run.cpu_ms, run.cpu_ms / (run.wall_s * 10.0), naive_cpu_ms);
    }
    return 0;
}
