#include "unit_bound.h"

#include "bound_writer.h"
#include "statements.h"

std::string unbounded_text_error(const preprocessed_text& text, const std::string& input) {
    if (text.main_file() >= 0) return "";
    return input + " has no line markers; give the preprocessor's output (cc -E), not a source";
}

std::string unit_bound(CXTranslationUnit unit, const preprocessed_text& text,
                       const warning_needs& warnings, bool keep_all) {
    std::vector<statement> statements = split_statements(text);
    needed_text needed = find_needed(unit, text, statements, warnings);
    if (keep_all)
        for (keep& level : needed.statements)
            level = keep::whole;
    return write_bound(text, statements, needed);
}
