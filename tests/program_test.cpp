// The real game binaries: each runs as the kit runs its content, and a
// real (pseudo-)terminal receives the typing byte by byte.
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
#include "programs/yarnlet2/content.h"
#include "programs/yarnlet3/content.h"
#include "programs/yarnlet4/content.h"
#include "tests/support/game_process.h"
#include "tests/support/recorded_console.h"
#include "tests/support/transcript.h"

namespace yarnlet::testing {
namespace {

using Output = RecordedConsole::Output;

struct Game {
    const char* name;
    const char* path;
    const StoryContent* content;
};

const Game games[] = {
    {"yarnlet1", YARNLET1_PATH, &yarnlet1::content},
    {"yarnlet2", YARNLET2_PATH, &yarnlet2::content},
    {"yarnlet3", YARNLET3_PATH, &yarnlet3::content},
    {"yarnlet4", YARNLET4_PATH, &yarnlet4::content},
};

class RealGame : public ::testing::TestWithParam<Game> {
protected:
    // The same input through the kit's recorded console, off a terminal.
    std::vector<Step> through_the_kit(const std::string& input) const {
        RecordedConsole con(Output::file, {input});
        run_story(*GetParam().content);
        // The reads of a real game leave no trace of their own.
        std::vector<Step> steps;
        for (const Step& step : transcript(con.events(), Output::file)) {
            if (step.kind != Step::Kind::read) steps.push_back(step);
        }
        return steps;
    }
};

TEST_P(RealGame, IgnoresItsArgumentsAndNeedsNoInput) {
    const GameRun run = run_game(GetParam().path, {.args = {"--help", "-v", "extra"}, .input = ""});
    EXPECT_TRUE(run.exited);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.trouble, "");
    EXPECT_EQ(transcript(run.events, Output::file), through_the_kit(""));
}

TEST_P(RealGame, RunsAsTheKitRunsItWithTypedAheadAnswers) {
    std::string input = "a\nb\r\nc\n\n  e  \n";
    for (int i = 0; i < 10; ++i) input += "more " + std::to_string(i) + "\n";
    const GameRun run = run_game(GetParam().path, {.args = {}, .input = input});
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(transcript(run.events, Output::file), through_the_kit(input));
}

INSTANTIATE_TEST_SUITE_P(Series, RealGame, ::testing::ValuesIn(games),
                         [](const ::testing::TestParamInfo<Game>& game) { return std::string(game.param.name); });

// Real time, briefly: the first bytes of the title, as a player's terminal
// receives them.
TEST(RealTerminal, Yarnlet1TypesOneByteAtATime) {
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
