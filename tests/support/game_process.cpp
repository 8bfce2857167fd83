#include "tests/support/game_process.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include "tests/support/terminal.h"

#ifndef YARNLET_INSTANT_SLEEP
#error "YARNLET_INSTANT_SLEEP must name the sleep interposer library"
#endif

extern char** environ;

namespace yarnlet::testing {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

namespace {

void spit(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string fresh_dir() {
    std::string pattern = std::filesystem::temp_directory_path() / "yarnlet-game-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern;
}

// The child's environment: ours, plus the interposer. A sanitized game
// insists on its runtime being loaded first; the interposer is loaded
// ahead of it on purpose.
std::vector<std::string> child_environment(const std::string& log) {
    std::vector<std::string> env;
    std::string asan = "verify_asan_link_order=0";
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string var = *e;
        if (var.rfind("LD_PRELOAD=", 0) == 0 || var.rfind("YARNLET_SLEEP_LOG=", 0) == 0) continue;
        if (var.rfind("ASAN_OPTIONS=", 0) == 0) {
            asan = var.substr(13) + ":" + asan;
            continue;
        }
        env.push_back(var);
    }
    env.push_back(std::string("LD_PRELOAD=") + YARNLET_INSTANT_SLEEP);
    env.push_back("YARNLET_SLEEP_LOG=" + log);
    env.push_back("ASAN_OPTIONS=" + asan);
    return env;
}

// One line of the interposer's log, "<nanoseconds> <stdout offset>": a
// pause, which the kit only ever asks for in whole milliseconds.
long long note_sleep(std::istream& log, GameRun& run) {
    long long ns = 0, offset = -1;
    if (!(log >> ns >> offset)) return -2;
    if (ns % 1'000'000 != 0) run.trouble += "a sleep of " + std::to_string(ns) + " ns; ";
    run.events.push_back({Event::Kind::pause, {}, static_cast<int>(ns / 1'000'000)});
    return offset;
}

// With standard output a file, each pause is placed after what had been
// written when it began.
void read_log(const std::string& log, GameRun& run, bool placed) {
    std::istringstream lines(slurp(log));
    std::size_t passed = 0;
    for (long long offset; (offset = note_sleep(lines, run)) != -2;) {
        if (placed && offset >= 0 && static_cast<std::size_t>(offset) > passed) {
            const auto upto = static_cast<std::size_t>(offset);
            run.events.insert(run.events.end() - 1, {Event::Kind::shown, run.out.substr(passed, upto - passed), 0});
            passed = upto;
        }
    }
    if (placed && passed < run.out.size()) run.events.push_back({Event::Kind::shown, run.out.substr(passed), 0});
}

}  // namespace

GameRun run_game(const std::string& program, const GameSetup& setup) {
    const std::string dir = fresh_dir();
    const std::string in_path = dir + "/in", out_path = dir + "/out", err_path = dir + "/err", log = dir + "/sleeps";
    if (setup.input) spit(in_path, *setup.input);

    std::vector<std::string> argv = {program};
    if (!setup.then.empty()) argv = {"/bin/sh", "-c", "\"$0\" \"$@\"; " + setup.then, program};
    argv.insert(argv.end(), setup.args.begin(), setup.args.end());
    // The pipes' own ends are closed in the game as it starts.
    const bool late_input = !setup.input_once_shown.empty();
    int in_pipe[2] = {-1, -1};
    if (setup.input && (setup.piped_input || late_input)) {
        if (pipe2(in_pipe, O_CLOEXEC) != 0) std::abort();
        if (late_input) {
            fcntl(in_pipe[0], F_SETFL, O_NONBLOCK);
        } else {
            // Small enough to fit the pipe whole, so writing cannot block.
            if (write(in_pipe[1], setup.input->data(), setup.input->size()) < 0) std::abort();
            close(in_pipe[1]);
        }
    }
    int pipe_fds[2] = {-1, -1};
    std::size_t filler = 0;
    if (setup.out == GameSetup::Out::broken_pipe || setup.out == GameSetup::Out::full_pipe) {
        if (pipe2(pipe_fds, O_CLOEXEC) != 0) std::abort();
    }
    if (setup.out == GameSetup::Out::broken_pipe) close(pipe_fds[0]);
    if (setup.out == GameSetup::Out::full_pipe) {
        // As small as a pipe gets, a page, so that a long line cannot go
        // in one write.
        fcntl(pipe_fds[1], F_SETPIPE_SZ, 4096);
        fcntl(pipe_fds[1], F_SETFL, O_NONBLOCK);
        const std::string page(4096, '#');
        for (ssize_t n; (n = write(pipe_fds[1], page.data(), page.size())) > 0;) filler += static_cast<std::size_t>(n);
    }

    const pid_t pid = spawn(argv, child_environment(log), [&] {
        const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(err, STDERR_FILENO);
        if (in_pipe[0] >= 0) {
            dup2(in_pipe[0], STDIN_FILENO);
        } else if (setup.input) {
            dup2(open(in_path.c_str(), O_RDONLY), STDIN_FILENO);
        } else {
            close(STDIN_FILENO);
        }
        switch (setup.out) {
            case GameSetup::Out::file:
                dup2(open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
                break;
            case GameSetup::Out::dev_full:
                dup2(open("/dev/full", O_WRONLY), STDOUT_FILENO);
                break;
            case GameSetup::Out::closed:
                close(STDOUT_FILENO);
                break;
            case GameSetup::Out::broken_pipe:
            case GameSetup::Out::full_pipe:
                dup2(pipe_fds[1], STDOUT_FILENO);
                break;
        }
    });
    if (pipe_fds[1] >= 0) close(pipe_fds[1]);
    if (in_pipe[0] >= 0) close(in_pipe[0]);

    GameRun run;
    int status = 0;
    struct rusage usage = {};
    bool ended = false;
    if (late_input) {
        while (slurp(out_path).find(setup.input_once_shown) == std::string::npos) {
            if ((ended = wait4(pid, &status, WNOHANG, &usage) == pid)) break;
            usleep(1000);
        }
        usleep(static_cast<useconds_t>(setup.input_held_ms) * 1000);
        // A game that took the empty pipe for the end of its input has
        // gone; the write then fails, and the output tells.
        signal(SIGPIPE, SIG_IGN);
        (void)!write(in_pipe[1], setup.input->data(), setup.input->size());
        close(in_pipe[1]);
    }
    if (setup.out == GameSetup::Out::full_pipe) {
        std::string all;
        char bytes[64];
        for (ssize_t n; (n = read(pipe_fds[0], bytes, sizeof bytes)) > 0 || (n < 0 && errno == EINTR); usleep(200)) {
            all.append(bytes, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
        }
        close(pipe_fds[0]);
        run.out = all.substr(std::min(filler, all.size()));
    }
    while (!ended && wait4(pid, &status, 0, &usage) < 0) {
    }
    const auto ms = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
    };
    run.cpu_ms = ms(usage.ru_utime) + ms(usage.ru_stime);
    run.exited = WIFEXITED(status);
    run.exit_code = run.exited ? WEXITSTATUS(status) : -1;
    run.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    run.err = slurp(err_path);
    const bool to_file = setup.out == GameSetup::Out::file;
    if (to_file) run.out = slurp(out_path);
    read_log(log, run, to_file);

    for (const std::string& f : {in_path, out_path, err_path, log}) unlink(f.c_str());
    rmdir(dir.c_str());
    return run;
}

namespace {

std::string unhex(const std::string& escaped) {
    std::string bytes;
    for (std::size_t i = 0; i + 4 <= escaped.size(); i += 4) {
        bytes.push_back(static_cast<char>(std::stoi(escaped.substr(i + 2, 2), nullptr, 16)));
    }
    return bytes;
}

// strace's lines, as the terminal runs ask for them: -xx prints every
// byte of a write as \xNN, so no quote or backslash of the data can
// confuse this; -T ends each line with how long the call took. Writes to
// standard output are what the terminal was shown; the interposer's log
// above descriptor 9 (clear of the sanitizer runtimes' own) gives the
// instant sleeps; a real sleep that a signal cut short goes on for the rest
// in the next one.
void read_strace(const std::string& path, GameRun& run) {
    static const std::regex call(
        R"re((?:write\((\d+), "((?:\\x[0-9a-f]{2})*)", \d+\)|nanosleep\(.*tv_sec=(\d+), tv_nsec=(\d+)\}.*\)) += [^<]*(?:<([0-9.]+)>)?$)re");
    std::istringstream lines(slurp(path));
    bool slept = false;
    for (std::string text; std::getline(lines, text);) {
        std::smatch m;
        if (!std::regex_search(text, m, call)) continue;
        const double lasted_ms = m[5].matched ? std::stod(m[5]) * 1000 : 0;
        if (m[3].matched && slept) {
            run.lasted_ms.back() += lasted_ms;
        } else if (m[3].matched) {
            run.events.push_back({Event::Kind::pause, {}, std::stoi(m[3]) * 1000 + std::stoi(m[4]) / 1'000'000});
            run.lasted_ms.push_back(lasted_ms);
        } else if (const int fd = std::stoi(m[1]); fd == STDOUT_FILENO) {
            run.events.push_back({Event::Kind::shown, unhex(m[2]), 0});
        } else if (fd == STDERR_FILENO) {
            run.err += unhex(m[2]);
        } else if (fd >= 10) {
            std::istringstream log(unhex(m[2]));
            while (note_sleep(log, run) != -2) {
            }
        }
        slept = m[3].matched;
    }
}

}  // namespace

std::string why_no_terminal_runs() {
    const auto [master, slave_name] = open_terminal();
    if (master < 0) return "skipped: no pseudo-terminal can be opened here";
    close(master);
    if (std::system("command -v strace >/dev/null") != 0) return "skipped: it needs strace";
    if (std::system("strace -qq -o /dev/null true >/dev/null 2>&1") != 0) return "skipped: strace may not trace here";
    return {};
}

GameRun run_game_on_terminal(const std::vector<std::string>& command, const TerminalSetup& setup) {
    const std::string dir = fresh_dir();
    const std::string log = dir + "/sleeps", trace = dir + "/trace", in_path = dir + "/in";
    GameRun run;
    const auto [master, slave_name] = open_terminal();
    if (master < 0) {
        run.trouble = "no pseudo-terminal can be opened here";
        return run;
    }

    // Echo off, so that what the terminal shows is the game's alone; the
    // typed input then waits in the terminal, line by line.
    const int slave = open(slave_name.c_str(), O_RDWR | O_NOCTTY);
    termios tio{};
    tcgetattr(slave, &tio);
    tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL);
    tcsetattr(slave, TCSANOW, &tio);
    if (write(master, setup.typed.data(), setup.typed.size()) != static_cast<ssize_t>(setup.typed.size())) {
        std::abort();
    }

    std::vector<std::string> env = child_environment(log);
    std::erase_if(env, [](const std::string& var) { return var.rfind("LD_PRELOAD=", 0) == 0; });
    // LeakSanitizer cannot work under ptrace; leaks are looked for elsewhere.
    for (std::string& var : env) {
        if (var.rfind("ASAN_OPTIONS=", 0) == 0) var += ":detect_leaks=0";
        if (var.rfind("PATH=", 0) == 0 && !setup.path_first.empty()) var.insert(5, setup.path_first + ":");
    }
    std::vector<std::string> argv = {"strace", "-qq", "-xx", "-T", "-s", "100000000", "-e", "signal=none", "-o", trace};
    if (setup.real_sleep) {
        // Not with -f: an emulator's own threads sleep too.
        argv.insert(argv.end(), {"-e", "trace=write,nanosleep,clock_nanosleep"});
    } else {
        argv.insert(argv.end(), {"-f", "-e", "trace=write", "-E", std::string("LD_PRELOAD=") + YARNLET_INSTANT_SLEEP});
    }
    if (setup.input_file) {
        spit(in_path, *setup.input_file);
        argv.insert(argv.end(), {"/bin/sh", "-c", "exec \"$@\" <\"$0\" 2>/dev/null", in_path});
    }
    argv.insert(argv.end(), command.begin(), command.end());
    const pid_t pid = start_on_terminal(slave_name, argv, env);
    close(slave);

    int status = 0;
    bool done = false;
    bool typed_then = setup.once_shown.empty();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(setup.real_sleep ? 600 : 60);
    for (;;) {
        pollfd p{master, POLLIN, 0};
        // A command that does not wait once the text is shown has ended
        // within that fifth of a second; one that waits is typed to.
        if (!typed_then && run.out.find(setup.once_shown) != std::string::npos && poll(&p, 1, 200) == 0) {
            typed_then = true;
            run.ran_until_typed = waitpid(pid, &status, WNOHANG) == 0;
            done = !run.ran_until_typed;
            if (!done && write(master, setup.then_typed.data(), setup.then_typed.size()) < 0) std::abort();
            continue;
        }
        if (poll(&p, 1, 50) == 1) {
            char buf[4096];
            const ssize_t n = read(master, buf, sizeof buf);
            if (n > 0) {
                run.out.append(buf, static_cast<std::size_t>(n));
                if (setup.stop_after == 0 || run.out.size() < setup.stop_after) continue;
            }
        }
        if (done) break;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            done = true;  // one more round to drain what is left
            continue;
        }
        const bool late = std::chrono::steady_clock::now() > deadline;
        if (late || (setup.stop_after != 0 && run.out.size() >= setup.stop_after)) {
            if (late) run.trouble += "the game did not finish; ";
            kill(-pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
    }
    close(master);
    run.exited = WIFEXITED(status);
    run.exit_code = run.exited ? WEXITSTATUS(status) : -1;
    run.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    read_strace(trace, run);

    for (const std::string& f : {log, trace, in_path}) unlink(f.c_str());
    rmdir(dir.c_str());
    return run;
}

}  // namespace yarnlet::testing
