// The answer reader's line rules written down the plain way, to hold the
// real reader against: the random-stream test and the fuzz target share
// this.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace yarnlet::testing {

struct Answers {
    std::vector<std::string> answers;  // one per call, each starting empty
    int end_of_input_reads = 0;        // how often the input was asked past its end

    friend bool operator==(const Answers&, const Answers&) = default;
};

// What `calls` reads of `input` must give: a line ends at "\n", a "\r"
// directly before it belongs to the line end, a last line without "\n" is
// kept whole, and once the input is used up every later answer stays empty
// and the input is not asked again.
Answers reference_answers(std::string_view input, std::size_t calls);

// What read_answer gives for the same input handed over in `chunks`.
Answers kit_answers(const std::vector<std::string>& chunks, std::size_t calls);

}  // namespace yarnlet::testing
