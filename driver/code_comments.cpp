#include "code_comments.h"

#include "fresh_file.h"

#include <cctype>

bool is_fallthrough_comment(const std::string& body) {
    // GCC's forms: "fall through", "FALLTHRU", "Falls through.", "fallthrough -
    // reason", "lint -fallthrough", "@fallthrough@", optionally after "else" or
    // "intentionally"; letters only, case folded, is enough to recognise them.
    std::string letters;
    for (char c : body) {
        if (c == '\n') return false;
        if (std::isalpha(static_cast<unsigned char>(c)))
            letters += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        else if (c == '-' && letters.size() > 8)
            break; // "fallthrough - a reason"
    }
    for (const char* prefix : {"else", "intentionally", "intentional", "lint"})
        if (letters.rfind(prefix, 0) == 0) {
            letters = letters.substr(std::string(prefix).size());
            break;
        }
    return letters == "fallthrough" || letters == "fallthru" || letters == "fallsthrough" ||
           letters == "fallsthru";
}

std::string keep_code_comments(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0, n = text.size();
    while (i < n) {
        char c = text[i];
        if (c == '"' || c == '\'') {
            // A literal, escapes included, up to its closing quote or the line's end.
            size_t j = i + 1;
            while (j < n && text[j] != c && text[j] != '\n') {
                if (text[j] == '\\' && j + 1 < n) ++j;
                ++j;
            }
            if (j < n && text[j] == c) ++j;
            out.append(text, i, j - i);
            i = j;
        } else if (c == '/' && i + 1 < n && (text[i + 1] == '*' || text[i + 1] == '/')) {
            bool block = text[i + 1] == '*';
            size_t end = block ? text.find("*/", i + 2) : text.find('\n', i + 2);
            if (end == std::string::npos) end = n;
            size_t body_end = end;
            if (block && end < n) end += 2;
            std::string body = text.substr(i + 2, body_end - (i + 2));
            if (is_fallthrough_comment(body)) {
                out.append(text, i, end - i);
            } else {
                out += ' ';
                for (char b : body)
                    if (b == '\n') out += '\n';
            }
            i = end;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

bool keep_code_comments_in_file(const std::string& path) {
    return rewrite_fresh(path, keep_code_comments);
}
