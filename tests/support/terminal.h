// Starting a program as the tests and the benchmark need it, on a
// pseudo-terminal above all: a game started on one believes it is talking
// to a player's terminal.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace yarnlet::testing {

// Starts argv[0] (looked up in PATH) with `env` as its environment (empty:
// this process's own) and SIGPIPE at its default, which is what a shell
// gives a program. `prepare` runs in the child first: between fork and
// exec, only async-signal-safe calls. Returns the child's process id.
pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            const std::function<void()>& prepare);

// A new pseudo-terminal: the master end, and the name of the slave end;
// a master of -1 where none can be had.
struct Terminal {
    int master;
    std::string slave_name;
};
Terminal open_terminal();

// spawn, in a session of its own with the terminal as standard input,
// output and error.
pid_t start_on_terminal(const std::string& slave_name, const std::vector<std::string>& argv,
                        const std::vector<std::string>& env = {});

}  // namespace yarnlet::testing
