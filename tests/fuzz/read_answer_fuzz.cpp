// libFuzzer target: arbitrary bytes through the answer reader, checked
// against the plain model. The first byte picks how many reads are made
// and how the rest is cut into the pieces the input hands over.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/answer_model.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t calls = data[0] % 16;
    const std::size_t piece = 1 + data[0] / 16;
    const std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
    std::vector<std::string> chunks;
    for (std::size_t at = 0; at < input.size(); at += piece) chunks.push_back(input.substr(at, piece));
    using namespace yarnlet::testing;
    if (!(kit_answers(chunks, calls) == reference_answers(input, calls))) __builtin_trap();
    return 0;
}
