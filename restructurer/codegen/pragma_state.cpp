#include "codegen/pragma_state.h"

#include <cctype>

namespace {

// The words of a pragma's text after `#pragma`: identifiers and numbers whole,
// a string literal whole, every other character alone; blanks separate.
std::vector<std::string> words_of(const std::string& text) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if (std::isspace(c)) {
            ++at;
            continue;
        }
        std::size_t end = at + 1;
        if (std::isalnum(c) || c == '_') {
            while (end < text.size() &&
                   (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_'))
                ++end;
        } else if (c == '"') {
            while (end < text.size() && text[end] != '"')
                end += text[end] == '\\' ? 2 : 1;
            end = std::min(end + 1, text.size());
        }
        words.push_back(text.substr(at, end - at));
        at = end;
    }
    return words;
}

// The pragma's text after `#pragma`, or false for any other line.
bool pragma_text(const std::string& line, std::string& text) {
    std::size_t at = line.find_first_not_of(" \t");
    if (at == std::string::npos || line[at] != '#') return false;
    at = line.find_first_not_of(" \t", at + 1);
    if (at == std::string::npos || line.compare(at, 6, "pragma") != 0) return false;
    at += 6;
    if (at < line.size() && !std::isspace(static_cast<unsigned char>(line[at]))) return false;
    text = line.substr(at);
    const std::size_t first = text.find_first_not_of(" \t");
    const std::size_t last = text.find_last_not_of(" \t\r");
    text = first == std::string::npos ? "" : text.substr(first, last - first + 1);
    return true;
}

// The words between the parentheses after words[from] ("(", ..., ")"),
// commas left out.
std::vector<std::string> arguments(const std::vector<std::string>& words, std::size_t from) {
    std::vector<std::string> args;
    if (from >= words.size() || words[from] != "(") return args;
    for (std::size_t i = from + 1; i < words.size() && words[i] != ")"; ++i)
        if (words[i] != ",") args.push_back(words[i]);
    return args;
}

bool is_number(const std::string& word) {
    return !word.empty() && std::isdigit(static_cast<unsigned char>(word[0]));
}

} // namespace

void pragma_state::read(const std::string& line) {
    std::string text;
    if (!pragma_text(line, text)) return;
    const std::vector<std::string> words = words_of(text);
    if (words.empty()) return;
    const std::string kept = "#pragma " + text + "\n";
    if (words.size() >= 3 && (words[0] == "GCC" || words[0] == "clang") &&
        words[1] == "diagnostic") {
        // GCC and clang keep one stack for both spellings.
        if (words[2] == "push")
            diagnostics_.push();
        else if (words[2] == "pop")
            diagnostics_.pop();
        else if (words[2] == "ignored" || words[2] == "warning" || words[2] == "error" ||
                 words[2] == "fatal")
            diagnostics_.current.push_back(kept);
        return;
    }
    if (words.size() >= 2 && words[0] == "GCC") {
        if (words[1] == "push_options")
            options_.push();
        else if (words[1] == "pop_options")
            options_.pop();
        else if (words[1] == "reset_options")
            options_.current.clear();
        else if (words[1] == "optimize" || words[1] == "target")
            options_.current.push_back(kept);
        else if (words[1] == "visibility" && words.size() >= 3) {
            if (words[2] == "pop" && !visibility_.empty()) visibility_.pop_back();
            const std::vector<std::string> args = arguments(words, 3);
            if (words[2] == "push" && args.size() == 1) visibility_.push_back(args[0]);
        }
        return;
    }
    if (words[0] == "pack") {
        const std::vector<std::string> args = arguments(words, 1);
        if (args.empty()) {
            pack_.clear();
        } else if (args[0] == "push") {
            packs_.push_back(pack_);
            if (is_number(args.back())) pack_ = args.back();
        } else if (args[0] == "pop") {
            if (!packs_.empty()) {
                pack_ = packs_.back();
                packs_.pop_back();
            }
        } else if (is_number(args[0])) {
            pack_ = args[0];
        }
    }
}

pragma_wrap pragma_state::wrap() const {
    pragma_wrap w;
    for (const std::string& v : visibility_) {
        w.open += "#pragma GCC visibility push(" + v + ")\n";
        w.close = "#pragma GCC visibility pop\n" + w.close;
    }
    if (!pack_.empty()) {
        w.open += "#pragma pack(push, " + pack_ + ")\n";
        w.close = "#pragma pack(pop)\n" + w.close;
    }
    if (!options_.current.empty()) {
        w.open += "#pragma GCC push_options\n";
        for (const std::string& line : options_.current)
            w.open += line;
        w.close = "#pragma GCC pop_options\n" + w.close;
    }
    if (!diagnostics_.current.empty()) {
        w.open += "#pragma GCC diagnostic push\n";
        for (const std::string& line : diagnostics_.current)
            w.open += line;
        w.close = "#pragma GCC diagnostic pop\n" + w.close;
    }
    return w;
}
