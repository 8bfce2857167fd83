#include "tests/support/terminal.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

extern char** environ;

namespace yarnlet::testing {

pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            const std::function<void()>& prepare) {
    std::vector<std::string> strings = argv;
    strings.insert(strings.end(), env.begin(), env.end());
    std::vector<char*> args, vars;
    for (std::size_t i = 0; i < strings.size(); ++i) (i < argv.size() ? args : vars).push_back(strings[i].data());
    args.push_back(nullptr);
    vars.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        prepare();
        signal(SIGPIPE, SIG_DFL);
        // execvp with environ set, rather than execvpe, which only glibc
        // and musl have.
        if (!env.empty()) environ = vars.data();
        execvp(args[0], args.data());
        _exit(127);
    }
    return pid;
}

Terminal open_terminal() {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) return {-1, {}};
    if (grantpt(master) != 0 || unlockpt(master) != 0) {
        close(master);
        return {-1, {}};
    }
    return {master, ptsname(master)};
}

pid_t start_on_terminal(const std::string& slave_name, const std::vector<std::string>& argv,
                        const std::vector<std::string>& env) {
    return spawn(argv, env, [&] {
        setsid();
        const int tty = open(slave_name.c_str(), O_RDWR);
        dup2(tty, STDIN_FILENO);
        dup2(tty, STDOUT_FILENO);
        dup2(tty, STDERR_FILENO);
    });
}

}  // namespace yarnlet::testing
