#include "tests/support/game_process.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#ifndef YARNLET_INSTANT_SLEEP
#error "YARNLET_INSTANT_SLEEP must name the sleep interposer library"
#endif

extern char** environ;

namespace yarnlet::testing {

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void spit(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string fresh_dir() {
    std::string pattern = "/tmp/yarnlet-game-XXXXXX";
    if (const char* tmp = std::getenv("TMPDIR"); tmp != nullptr && *tmp != '\0') {
        pattern = std::string(tmp) + "/yarnlet-game-XXXXXX";
    }
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

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> ptrs;
    for (std::string& s : strings) ptrs.push_back(s.data());
    ptrs.push_back(nullptr);
    return ptrs;
}

void read_log(const std::string& log, GameRun& run, bool placed) {
    std::istringstream lines(slurp(log));
    long long ns = 0;
    long long offset = 0;
    std::size_t passed = 0;
    while (lines >> ns >> offset) {
        if (ns % 1'000'000 != 0) run.trouble += "a sleep of " + std::to_string(ns) + " ns; ";
        if (placed && offset >= 0 && static_cast<std::size_t>(offset) > passed) {
            const auto upto = static_cast<std::size_t>(offset);
            run.events.push_back({Event::Kind::shown, run.out.substr(passed, upto - passed), 0});
            passed = upto;
        }
        run.events.push_back({Event::Kind::pause, {}, static_cast<int>(ns / 1'000'000)});
    }
    if (placed && passed < run.out.size()) run.events.push_back({Event::Kind::shown, run.out.substr(passed), 0});
}

}  // namespace

GameRun run_game(const std::string& program, const GameSetup& setup) {
    const std::string dir = fresh_dir();
    const std::string in_path = dir + "/in", out_path = dir + "/out", err_path = dir + "/err", log = dir + "/sleeps";
    if (setup.input) spit(in_path, *setup.input);

    std::vector<std::string> argv = {program};
    argv.insert(argv.end(), setup.args.begin(), setup.args.end());
    std::vector<std::string> env = child_environment(log);
    std::vector<char*> argv_p = pointers(argv);
    std::vector<char*> env_p = pointers(env);

    int pipe_fds[2] = {-1, -1};
    if (setup.out == GameSetup::Out::broken_pipe) {
        if (pipe(pipe_fds) != 0) std::abort();
        close(pipe_fds[0]);
    }

    const pid_t pid = fork();
    if (pid == 0) {
        // Between fork and exec: only async-signal-safe calls.
        const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(err, STDERR_FILENO);
        if (setup.input) {
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
                dup2(pipe_fds[1], STDOUT_FILENO);
                break;
        }
        // The test runner may itself ignore SIGPIPE; the game must cope
        // with the default, which is what a shell gives it.
        signal(SIGPIPE, SIG_DFL);
        execve(program.c_str(), argv_p.data(), env_p.data());
        _exit(127);
    }
    if (pipe_fds[1] >= 0) close(pipe_fds[1]);

    GameRun run;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
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

}  // namespace yarnlet::testing
