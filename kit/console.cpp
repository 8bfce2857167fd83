#include "kit/console.h"

#include <cstdio>
#include <iostream>

#include "kit/platform.h"

namespace yarnlet {

namespace {

Console standard_console() {
    platform::prepare_process();
    // Read-ahead would take lines beyond the last answer out of a pipe and
    // lose them at exit; unbuffered, the game reads exactly what it uses
    // and leaves the rest to whoever reads next. Typed answers are short.
    std::setvbuf(stdin, nullptr, _IONBF, 0);
    return Console{&std::cin, &std::cout, platform::stdout_is_terminal(), platform::sleep_ms};
}

// A stream that failed once (stdout closed, disk full, reader gone) would
// swallow everything after it, so its state is cleared and every write gets
// its own attempt. Whether the attempt succeeds is nobody's business.
void pass_on(std::ostream& out, const std::string& bytes) {
    out.clear();
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
}

}  // namespace

Console& console() {
    static Console current = standard_console();
    return current;
}

void typewrite_line(std::string text) {
    const Console& con = console();
    if (con.out_is_terminal) {
        std::string byte(1, '\0');
        for (const char c : text) {
            byte[0] = c;
            pass_on(*con.out, byte);
            pause_ms(char_delay_ms);
        }
        pass_on(*con.out, "\n");
        return;
    }
    // Off a terminal nobody watches the typing, but the pacing still holds.
    // The bytes wait in `text` rather than in the stream, whose buffer would
    // pass on the front of a line longer than itself before the line ends.
    for (std::string::size_type i = 0; i < text.size(); ++i) {
        pause_ms(char_delay_ms);
    }
    text.push_back('\n');
    pass_on(*con.out, text);
}

void read_answer(std::string& answer) {
    std::istream& in = *console().in;
    // On a terminal, Ctrl-D at one question ends the input for the rest of
    // the run: asking the stream again would make the player press it again.
    if (!in.good()) return;
    std::getline(in, answer);
    // A line cut off by the end of input has no line end, so a carriage
    // return at its end is the player's own and stays.
    if (!in.eof() && !answer.empty() && answer.back() == '\r') {
        answer.pop_back();
    }
}

void pause_ms(int ms) { console().sleep_ms(ms); }

}  // namespace yarnlet
