// The real answer reader against the plain model, over many random
// streams rich in the bytes that matter: line ends, carriage returns, NUL.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/support/answer_model.h"

namespace yarnlet::testing {

void PrintTo(const Answers& a, std::ostream* os) {
    *os << ::testing::PrintToString(a.answers) << " with " << a.end_of_input_reads << " read(s) past the end";
}

namespace {

TEST(AnswerReader, AgreesWithThePlainModelOnRandomStreams) {
    std::mt19937 rng(20261209);
    const std::string alphabet("\n\r\n\ra \t\0\xff", 9);
    for (int stream = 0; stream < 5000; ++stream) {
        std::string input(rng() % 24, ' ');
        for (char& c : input) c = alphabet[rng() % alphabet.size()];
        // Handed over in random pieces, as a pipe or a terminal might.
        std::vector<std::string> chunks;
        for (std::size_t at = 0; at < input.size();) {
            const std::size_t n = 1 + rng() % 8;
            chunks.push_back(input.substr(at, n));
            at += n;
        }
        const std::size_t calls = rng() % 10;
        const Answers expected = reference_answers(input, calls);
        const Answers got = kit_answers(chunks, calls);
        ASSERT_EQ(got, expected) << "stream " << stream << ": " << ::testing::PrintToString(input) << ", " << calls
                                 << " reads";
    }
}

}  // namespace
}  // namespace yarnlet::testing
