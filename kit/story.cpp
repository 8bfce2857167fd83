#include "kit/story.h"

#include <string>
#include <vector>

#include "kit/console.h"

namespace yarnlet {

namespace {

// answers[i] holds the answer to content.prompts[i].
std::string build_story(const StoryContent& content, const std::vector<std::string>& answers) {
    std::string story;
    for (const TemplatePiece& piece : content.story) {
        if (!piece.is_answer()) {
            story += piece.text;
            continue;
        }
        for (std::size_t i = 0; i < content.prompts.size(); ++i) {
            if (content.prompts[i].slot == piece.slot) {
                story += answers[i];
                break;
            }
        }
    }
    return story;
}

}  // namespace

void run_story(const StoryContent& content) {
    typewrite_line(std::string{content.title});
    typewrite_line(std::string{content.spot_count});

    std::vector<std::string> answers(content.prompts.size());
    for (std::size_t i = 0; i < content.prompts.size(); ++i) {
        typewrite_line(std::string{content.prompts[i].text});
        read_answer(answers[i]);
    }

    for (const ScriptLine& line : content.script) {
        typewrite_line(std::string{line.text});
        if (line.pause_after_ms != 0) pause_ms(line.pause_after_ms);
    }

    mark_story();
    typewrite_line(build_story(content, answers));
    for (const std::string_view line : content.closing) {
        typewrite_line(std::string{line});
    }

    std::string rating;
    typewrite_line(std::string{content.rating_question});
    read_answer(rating);
    typewrite_line(std::string{content.farewell});
}

}  // namespace yarnlet
