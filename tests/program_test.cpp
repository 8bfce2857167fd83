// The real yarnlet1 binary: the same run as through the kit's console, and
// real typing on a real (pseudo-)terminal.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "programs/yarnlet1/content.h"
#include "tests/support/game_process.h"
#include "tests/support/recorded_console.h"
#include "tests/support/transcript.h"

namespace yarnlet::testing {
namespace {

using Output = RecordedConsole::Output;

std::vector<Step> through_the_kit(const std::string& input) {
    RecordedConsole con(Output::file, {input});
    run_story(yarnlet1::content);
    // The reads of a real game leave no trace of their own.
    std::vector<Step> steps;
    for (const Step& step : transcript(con.events(), Output::file)) {
        if (step.kind != Step::Kind::read) steps.push_back(step);
    }
    return steps;
}

TEST(Yarnlet1Program, IgnoresItsArgumentsAndNeedsNoInput) {
    const GameRun run = run_game(YARNLET1_PATH, {.args = {"--help", "-v", "extra"}, .input = ""});
    EXPECT_TRUE(run.exited);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.trouble, "");
    EXPECT_EQ(transcript(run.events, Output::file), through_the_kit(""));
}

TEST(Yarnlet1Program, RunsAsTheKitRunsItWithTypedAheadAnswers) {
    const std::string input = "a\nb\r\nc\n\n  e  \nf\ng\nh\ni\nj\nrating\nextra\n";
    const GameRun run = run_game(YARNLET1_PATH, {.args = {}, .input = input});
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.err, "");
    const auto steps = transcript(run.events, Output::file);
    EXPECT_EQ(steps, through_the_kit(input));
    EXPECT_EQ(lines_of(steps).size(), 24U);
}

// Real time, briefly: the first bytes of the title, as a player's terminal
// receives them.
TEST(Yarnlet1Program, TypesOneByteAtATimeOnATerminal) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const std::string slave = ptsname(master);

    const pid_t pid = fork();
    if (pid == 0) {
        setsid();
        const int fd = open(slave.c_str(), O_RDWR);
        dup2(fd, STDIN_FILENO);
        dup2(fd, STDOUT_FILENO);
        dup2(fd, STDERR_FILENO);
        execl(YARNLET1_PATH, YARNLET1_PATH, static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(pid, 0);

    using clock = std::chrono::steady_clock;
    std::vector<clock::time_point> arrivals;
    std::string got;
    while (arrivals.size() < 6) {
        pollfd p{master, POLLIN, 0};
        if (poll(&p, 1, 5000) != 1) break;
        char buf[64];
        const ssize_t n = ::read(master, buf, sizeof buf);
        if (n <= 0) break;
        arrivals.push_back(clock::now());
        got.append(buf, static_cast<std::size_t>(n));
        EXPECT_EQ(n, 1) << "bytes must arrive one at a time, got \"" << std::string(buf, static_cast<std::size_t>(n))
                        << "\"";
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    close(master);

    ASSERT_EQ(arrivals.size(), 6U);
    EXPECT_EQ(got, "Welcom");
    for (std::size_t i = 1; i < arrivals.size(); ++i) {
        const auto gap = std::chrono::duration_cast<std::chrono::milliseconds>(arrivals[i] - arrivals[i - 1]);
        EXPECT_GE(gap.count(), 40) << "gap " << i;
        EXPECT_LE(gap.count(), 400) << "gap " << i;
    }
    EXPECT_GE(arrivals.back() - arrivals.front(), std::chrono::milliseconds(240));
}

}  // namespace
}  // namespace yarnlet::testing
