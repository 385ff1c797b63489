#include "unit_configurations.h"

#include <cctype>

std::map<std::string, std::string> command_line_macros(const std::vector<std::string>& flags) {
    std::map<std::string, std::string> macros;
    for (size_t i = 0; i < flags.size(); ++i) {
        const std::string& flag = flags[i];
        if (flag.size() < 2 || flag[0] != '-' || (flag[1] != 'D' && flag[1] != 'U')) continue;
        std::string word = flag.substr(2);
        if (word.empty() && i + 1 < flags.size()) word = flags[++i];
        if (word.empty()) continue;
        if (flag[1] == 'U') {
            macros.erase(word);
            continue;
        }
        std::size_t eq = word.find('=');
        if (eq == std::string::npos)
            macros[word] = "1";
        else
            macros[word.substr(0, eq)] = word.substr(eq + 1);
    }
    return macros;
}

namespace {

// A decimal integer as #if reads it ("12", "-3", "4u"); other values cannot be
// compared there.
bool is_integer(const std::string& value) {
    std::size_t i = value.size() > 1 && value[0] == '-' ? 1 : 0;
    std::size_t digits = 0;
    while (i < value.size() && std::isdigit(static_cast<unsigned char>(value[i]))) ++i, ++digits;
    while (i < value.size() && std::string("uUlL").find(value[i]) != std::string::npos) ++i;
    return digits > 0 && i == value.size();
}

// The first macro, in name order, whose state tells `first` from `other`, as a
// condition true under `first`.
std::optional<std::string> telling_apart(const std::map<std::string, std::string>& first,
                                         const std::map<std::string, std::string>& other) {
    std::map<std::string, int> names;
    for (const auto& [name, value] : first) names[name] |= 1;
    for (const auto& [name, value] : other) names[name] |= 2;
    for (const auto& [name, where] : names) {
        if (where == 1) return "defined(" + name + ")";
        if (where == 2) return "!defined(" + name + ")";
        const std::string& a = first.at(name);
        const std::string& b = other.at(name);
        if (a != b && is_integer(a) && is_integer(b))
            return "(defined(" + name + ") && " + name + " == " + a + ")";
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> configuration_guard(
    const std::map<std::string, std::string>& first,
    const std::vector<std::map<std::string, std::string>>& others) {
    std::vector<std::string> terms;
    for (const auto& other : others) {
        std::optional<std::string> term = telling_apart(first, other);
        if (!term) return std::nullopt;
        bool known = false;
        for (const std::string& t : terms) known = known || t == *term;
        if (!known) terms.push_back(*term);
    }
    if (terms.empty()) return std::nullopt;
    std::string guard;
    for (const std::string& term : terms) guard += (guard.empty() ? "" : " && ") + term;
    return guard;
}

std::string guarded_source(const std::string& guard, const std::string& rewritten,
                           const std::string& original) {
    auto ended = [](const std::string& text) {
        return text.empty() || text.back() == '\n' ? text : text + "\n";
    };
    return "#if " + guard + "\n" + ended(rewritten) + "#else\n#line 1\n" + ended(original) +
           "#endif\n";
}
