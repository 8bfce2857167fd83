#include "tests/support/answer_model.h"

#include "kit/console.h"
#include "tests/support/recorded_console.h"

namespace yarnlet::testing {

Answers reference_answers(std::string_view input, std::size_t calls) {
    Answers result;
    std::size_t pos = 0;
    bool ended = false;
    for (std::size_t call = 0; call < calls; ++call) {
        if (ended) {
            result.answers.emplace_back();
            continue;
        }
        if (pos == input.size()) {
            ended = true;
            ++result.end_of_input_reads;
            result.answers.emplace_back();
            continue;
        }
        const std::size_t newline = input.find('\n', pos);
        if (newline == std::string_view::npos) {
            result.answers.emplace_back(input.substr(pos));
            pos = input.size();
            ended = true;
            ++result.end_of_input_reads;
            continue;
        }
        std::string_view line = input.substr(pos, newline - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        result.answers.emplace_back(line);
        pos = newline + 1;
    }
    return result;
}

Answers kit_answers(const std::vector<std::string>& chunks, std::size_t calls) {
    RecordedConsole con(RecordedConsole::Output::file, chunks);
    Answers result;
    for (std::size_t call = 0; call < calls; ++call) {
        std::string answer;
        read_answer(answer);
        result.answers.push_back(answer);
    }
    for (const Event& e : con.events()) {
        if (e.kind == Event::Kind::read && e.bytes.empty()) ++result.end_of_input_reads;
    }
    return result;
}

}  // namespace yarnlet::testing
