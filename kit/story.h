// The story run every game goes through, and the shape of the content a
// game hands to it.
//
// A game is constant data: its questions, each filling a named answer
// slot; a production script of lines with pauses; a story template of fixed
// fragments and answer references; and a few fixed lines around them. The
// run decides nothing on what the player types.
#pragma once

#include <span>
#include <string_view>

namespace yarnlet {

struct Prompt {
    std::string_view text;  // the question, as typed out
    std::string_view slot;  // the answer the line read after it fills
};

struct ScriptLine {
    std::string_view text;
    int pause_after_ms;  // 0: the next line follows at once
};

// One piece of the story: a fixed fragment, or the answer of a slot. The
// fragments carry their own blanks; nothing is put between pieces.
struct TemplatePiece {
    std::string_view text;  // the fragment, when `slot` is empty
    std::string_view slot;  // the answer that stands here, when not empty

    constexpr bool is_answer() const { return !slot.empty(); }
};

constexpr TemplatePiece fragment(std::string_view text) { return {text, {}}; }
constexpr TemplatePiece answer(std::string_view slot) { return {{}, slot}; }

struct StoryContent {
    std::string_view title;
    std::string_view spot_count;  // fixed text, not counted from the prompts
    std::span<const Prompt> prompts;
    std::span<const ScriptLine> script;
    std::span<const TemplatePiece> story;
    std::span<const std::string_view> closing;  // lines right after the story
    std::string_view rating_question;
    std::string_view farewell;
};

// Whether every slot is named, asked exactly once and used in the story at
// least once, and the story uses no slot that is never asked. Meant for a
// static_assert beside each game's content, so that a slip in a table stops
// the build instead of leaving a blank in the story.
constexpr bool is_well_formed(const StoryContent& content) {
    for (std::size_t i = 0; i < content.prompts.size(); ++i) {
        const std::string_view slot = content.prompts[i].slot;
        if (slot.empty()) return false;
        for (std::size_t j = i + 1; j < content.prompts.size(); ++j) {
            if (content.prompts[j].slot == slot) return false;
        }
        bool used = false;
        for (const TemplatePiece& piece : content.story) {
            used = used || piece.slot == slot;
        }
        if (!used) return false;
    }
    for (const TemplatePiece& piece : content.story) {
        if (!piece.is_answer()) continue;
        bool asked = false;
        for (const Prompt& prompt : content.prompts) {
            asked = asked || prompt.slot == piece.slot;
        }
        if (!asked) return false;
    }
    return true;
}

// Title, spot-count line, each question and its answer, the production
// script, the story, the closing lines, the rating question and its
// (unused) answer, the farewell; then returns. The caller exits with 0.
void run_story(const StoryContent& content);

}  // namespace yarnlet
