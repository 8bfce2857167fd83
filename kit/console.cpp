#include "kit/console.h"

#include "kit/platform.h"

namespace yarnlet {

Console& console() {
    static Console current = [] {
        platform::prepare_process();
        return Console{platform::write_stdout, platform::read_stdin_byte, platform::stdout_is_terminal(),
                       platform::sleep_ms, platform::mark_story};
    }();
    return current;
}

void typewrite_line(std::string text) {
    const Console& con = console();
    if (con.out_is_terminal) {
        for (const char c : text) {
            con.write(std::string_view(&c, 1));
            pause_ms(char_delay_ms);
        }
        con.write("\n");
        return;
    }
    // Off a terminal nobody watches the typing, but the pacing still holds;
    // the line is passed on whole, in one write, once it has ended.
    for (std::string::size_type i = 0; i < text.size(); ++i) {
        pause_ms(char_delay_ms);
    }
    text.push_back('\n');
    con.write(text);
}

// Byte by byte, so that nothing beyond the line end is taken out of the
// input: lines after the last answer are left to whoever reads next.
void read_answer(std::string& answer) {
    Console& con = console();
    if (con.input_ended) return;
    answer.clear();
    for (int c = con.read_byte(); c != '\n'; c = con.read_byte()) {
        if (c < 0) {
            // A line cut off by the end of input has no line end, so a
            // carriage return at its end is the player's own and stays.
            con.input_ended = true;
            return;
        }
        answer.push_back(static_cast<char>(c));
    }
    if (!answer.empty() && answer.back() == '\r') answer.pop_back();
}

void pause_ms(int ms) { console().sleep_ms(ms); }

void mark_story() { console().mark_story(); }

}  // namespace yarnlet
