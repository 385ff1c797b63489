#include "source_form.h"

#include "contract/typedef_statement.h"

#include "chain_writer.h"
#include "fact_index.h"
#include "inactive_text.h"
#include "line_directives.h"
#include "measured_form.h"
#include "original_file.h"
#include "trim.h"

#include <algorithm>
#include <cctype>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <set>
#include <sstream>
#include <string_view>
#include <tuple>
#include <unordered_map>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

bool ends_with(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::string stem_of(const std::string& path) {
    return fs::path(path).stem().string();
}

bool write_text(const std::string& path, const std::string& text) {
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    fs::remove(path, ec);
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0664);
    if (fd < 0) return false;
    ::fchmod(fd, 0664);
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    return ::close(fd) == 0 && done == text.size();
}

// A block of text for one output, and where it stood.
struct block {
    const original_file* file = nullptr; // null: outside every condition
    condition_stack where;
    std::string text;
    bool apart = false; // set off from the block before by a blank line
    int unit_line = 0;  // the first line of the unit of the facts it writes (0: none)
};

struct macro_ref {
    std::string file;
    size_t index; // into that file's macros()
    bool operator<(const macro_ref& o) const {
        return file != o.file ? file < o.file : index < o.index;
    }
};

// One file of the source form being assembled.
struct output {
    std::string path;          // absolute, in out
    std::vector<block> system; // system include lines
    std::set<std::string> system_seen;
    std::vector<std::string> includes; // project include paths (absolute, in out)
    std::vector<block> body;
    // Text and includes that another configuration needs, in their conditions:
    // before the body of a header, after the body of a source.
    std::vector<block> needs;
    std::set<std::pair<std::string, int>> lines_taken;
    std::set<std::string> identifiers; // what its text names
    std::set<std::string> reach;       // project headers its units reached
    std::string last_file;             // where the last declaration written ended
    int last_line = 0;
};

class builder {
  public:
    explicit builder(const source_form_input& input) : in_(input) {}
    source_form_result run();

  private:
    const original_file& original(const std::string& path) {
        auto it = files_.find(path);
        if (it == files_.end())
            it = files_.emplace(path, std::make_unique<original_file>(path)).first;
        return *it->second;
    }
    bool in_tree(const std::string& path) const { return path.rfind(in_.tree + "/", 0) == 0; }
    // A C file, or a file only `#line` directives name (see find_line_names).
    bool is_source(const std::string& path) const {
        return ends_with(path, ".c") || line_names_.count(path) > 0;
    }
    // `path` (in out) as the result names it: relative to out.
    std::string in_out(const std::string& path) const {
        return fs::path(path).lexically_relative(in_.out).string();
    }
    std::string out_path(const std::string& tree_path) const {
        return normal(in_.out + "/" + fs::path(tree_path).lexically_relative(in_.tree).string());
    }
    // The file an include line of `from` names ("" when none), looked up once:
    // every output's walk meets the same lines again.
    std::string resolve_include(const std::string& from, const include_line& inc);
    std::string search_include(const std::string& from, const include_line& inc) const;
    std::string resolve_from_new(const std::string& from, const std::string& spelled) const;
    void index_spellings();
    void find_line_names();
    void add_system_include(output& o, const std::string& system_file);
    void add_system_includes_of(output& o, const std::string& header);
    void add_unit(output& o, const measured_unit& unit);
    void name_headers();
    const std::set<std::string>& reach_of(const std::string& file);
    std::set<std::string> reached_from(const std::set<std::string>& starts);
    std::set<macro_ref> macros_for(const std::set<std::string>& identifiers,
                                   const std::set<std::string>& reach,
                                   const std::set<std::string>& fallback);
    // The project headers every unit that reached one of `origins` reached.
    std::set<std::string> always_with(const std::set<std::string>& origins);
    std::string spelling(const std::string& target_out, const std::string& from_out);
    std::string render_includes(const output& o);
    const std::map<macro_ref, int>& translation_rank(const std::set<std::string>& starts);

    // The stages of run(), in order.
    struct source_plan {
        output o;
        const original_file* file;
        std::vector<int> replaced; // lines of the includes that go
    };
    void read_inputs();
    std::vector<output> header_outputs();
    std::vector<source_plan> source_plans();
    source_plan plan_source(const source_form_unit& u, const measured_file& m,
                            const std::map<std::string, std::set<std::string>>& homes,
                            const std::set<std::string>& included_anywhere);
    void keep_branches(std::vector<output>& outputs, std::vector<source_plan>& sources);
    void add_macros(std::vector<output>& outputs, std::vector<source_plan>& sources);
    void write_macro_headers();
    bool is_declared_flag(const original_file& f, const macro_definition& d);
    std::vector<block> with_declared_flags(const std::vector<block>& body);
    void write_macro_header(const std::string& header, const std::set<size_t>& kept,
                            const std::map<std::string, std::set<std::string>>& defined_in);
    void write_header(const output& o);
    void write_new_header(const output& o, const std::string& comment, const std::string& body);
    void write_source(const source_plan& p);
    void list_no_longer_included();
    bool split(const std::string& header);
    std::string resolve_new(const std::string& name);
    void include_new(output& o, const std::string& h, std::set<std::string>& seen);
    std::string provider(const std::string& header);
    void add_macro_includes(output& o, const std::set<macro_ref>& m,
                            const std::set<std::string>& starts);
    std::string guard_of(const std::string& path) const;

    // Text of a branch no analysed unit compiled: identifiers in it (or in a
    // macro defined in such a branch) may name declarations that the facts place
    // in headers a file does not include. `file` and `where` give the condition
    // under which the file needs them.
    struct need {
        const original_file* file;
        condition_stack where;
        std::vector<std::string> words;
        // Functions count too (code, a macro's body); for a declaration without
        // a body only types do: a prototype names no other function.
        bool functions = true;
    };
    using unit_key = std::pair<std::string, int>;
    using holder_map = std::map<unit_key, std::vector<output*>>;
    std::vector<std::pair<int, int>> covered_in(const std::string& file);
    void keep_uncovered(std::vector<output>& outputs,
                        const std::vector<std::pair<output*, std::string>>& sources,
                        const std::set<std::string>& split_headers);
    void resolve_needs(output& o, const std::vector<need>& needs, const holder_map& holders,
                       const std::map<std::string, output*>& by_path);

    const source_form_input& in_;
    fact_index facts_;
    std::map<std::string, std::unique_ptr<original_file>> files_;
    std::map<std::string, std::vector<std::string>> dirs_of_; // includer -> -I dirs
    std::vector<std::string> all_dirs_;
    std::vector<std::string> common_dirs_; // the -I directories every unit has
    std::map<const original_file*, std::vector<size_t>> declared_flags_; // macro indexes
    std::set<std::string> line_names_;
    // Project file -> every way the project spells its include, in order met.
    std::map<std::string, std::vector<std::string>> spelled_;
    std::map<std::string, measured_file> measured_;
    std::map<std::string, std::string> header_name_;  // measured header -> out path ("" = none)
    std::map<std::string, std::string> macro_header_; // project header -> its macro header (out)
    std::map<std::string, std::vector<std::string>> renamed_;   // name -> macros defined as it
    std::map<std::string, std::vector<macro_ref>> macro_index_; // name -> its definitions
    size_t macro_index_files_ = 0; // files_.size() when macro_index_ was made
    std::map<std::string, std::set<size_t>> macros_kept_; // project header -> macro indexes
    std::set<std::string> included_;                      // tree headers some output includes
    // What each file reaches through its includes, and the project headers that
    // always come with a set of origins: both asked for by every output, and
    // the include graph does not change once the facts are read.
    std::map<std::string, std::set<std::string>> reach_;
    // File -> the units (indexes into in_.units) that reach it; and the common
    // reach of each set of units asked for.
    std::map<std::string, std::vector<bool>> reached_by_;
    std::map<std::vector<bool>, std::set<std::string>> always_with_;
    std::map<std::tuple<std::string, bool, std::string>, std::string> resolved_;
    std::map<std::set<std::string>, std::map<macro_ref, int>> ranks_;
    size_t ranks_files_ = 0; // files_.size() when ranks_ was filled
    std::map<std::string, bool> split_;
    std::vector<std::string> new_normal_;             // in_.new_headers made normal
    std::map<std::string, std::string> resolved_new_; // include name -> measured header
    // System file -> the include line of the most direct system header leading
    // to it, and how many files that header reaches.
    std::map<std::string, std::pair<size_t, std::string>> entries_;
    source_form_result result_;
};

std::string builder::resolve_include(const std::string& from, const include_line& inc) {
    auto key = std::make_tuple(from, inc.system, inc.spelled);
    auto known = resolved_.find(key);
    if (known != resolved_.end()) return known->second;
    std::string found = search_include(from, inc);
    resolved_.emplace(std::move(key), found);
    return found;
}

std::string builder::search_include(const std::string& from, const include_line& inc) const {
    std::vector<std::string> dirs;
    if (!inc.system) dirs.push_back(fs::path(from).parent_path().string());
    auto it = dirs_of_.find(from);
    const std::vector<std::string>& more = it != dirs_of_.end() ? it->second : all_dirs_;
    dirs.insert(dirs.end(), more.begin(), more.end());
    for (const std::string& d : dirs) {
        std::string candidate = normal(d + "/" + inc.spelled);
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec)) return candidate;
    }
    return "";
}

// Files that `#line` directives name and no include line brings in (a grammar
// whose code bison copied into the parser and its header, a scanner's source):
// the facts show them included by the files that name them. Their text stands
// in those files, so like a source they are neither split nor cut up: the text
// under their name stays where it is, or is cut from the file that holds it.
void builder::find_line_names() {
    std::map<std::string, bool> only_named; // file -> every includer names it so
    for (const auto& [from, list] : facts_.includes) {
        if (!in_tree(from)) continue;
        const original_file& f = original(from);
        std::vector<std::string> named;
        for (int n = 1; n <= f.line_count(); ++n) {
            std::string name;
            if (line_directive_name(f.line(n), name)) named.push_back(normal(name));
        }
        for (const std::string& to : list) {
            if (!in_tree(to)) continue;
            bool by_line = false;
            for (const std::string& name : named)
                by_line = by_line || to == name || ends_with(to, "/" + name);
            auto it = only_named.emplace(to, true).first;
            it->second = it->second && by_line;
        }
    }
    for (const auto& [file, only] : only_named)
        if (only) line_names_.insert(file);
    // What a line name includes was included by the sources compiling its text
    // (parser.c includes lexer.h in the grammar's code); a header that names it
    // (parser.h, for its "%code requires" block) does not reach those.
    for (auto& [from, list] : facts_.includes)
        if (!ends_with(from, ".c"))
            list.erase(
                std::remove_if(list.begin(), list.end(),
                               [&](const std::string& to) { return line_names_.count(to) > 0; }),
                list.end());
}

// The header a quoted include names in a file the source form creates (`from`,
// its place in the tree): such a file is included by units with different -I
// options (vim's vim_macros.h by netbeans.c, which has no -Ilibvterm/include),
// so it reaches another only through its own directory, where a quoted include
// is looked up first, or through the directories every unit has.
std::string builder::resolve_from_new(const std::string& from, const std::string& spelled) const {
    std::vector<std::string> dirs{fs::path(from).parent_path().string()};
    dirs.insert(dirs.end(), common_dirs_.begin(), common_dirs_.end());
    for (const std::string& d : dirs) {
        std::string candidate = normal(d + "/" + spelled);
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec)) return candidate;
    }
    return "";
}

// How the project spells the include of each of its headers: the first quoted
// include line of a project file that names it.
void builder::index_spellings() {
    for (const auto& [from, list] : facts_.includes) {
        if (!in_tree(from)) continue;
        for (const include_line& inc : original(from).includes()) {
            std::string target = resolve_include(from, inc);
            if (target.empty() || !in_tree(target)) continue;
            std::vector<std::string>& ways = spelled_[target];
            if (std::find(ways.begin(), ways.end(), inc.spelled) == ways.end())
                ways.push_back(inc.spelled);
        }
    }
}

// The system header through which the project reached `system_file`: of the
// system headers project files include that lead to it, the one that leads to
// the fewest others (the most direct), spelled as the project file spells it.
void builder::add_system_include(output& o, const std::string& system_file) {
    if (entries_.empty()) {
        std::map<std::string, std::set<std::string>> closure;
        for (const auto& [from, list] : facts_.includes) {
            if (!in_tree(from)) continue;
            for (const std::string& entry : list) {
                if (in_tree(entry)) continue;
                std::string line;
                for (const include_line& inc : original(from).includes())
                    if (ends_with(entry, "/" + inc.spelled)) {
                        line = inc.system ? "#include <" + inc.spelled + ">\n"
                                          : "#include \"" + inc.spelled + "\"\n";
                        break;
                    }
                if (line.empty()) continue;
                if (!closure.count(entry)) {
                    std::set<std::string>& seen = closure[entry];
                    seen.insert(entry);
                    std::deque<std::string> todo{entry};
                    while (!todo.empty()) {
                        auto next = facts_.includes.find(todo.front());
                        todo.pop_front();
                        if (next == facts_.includes.end()) continue;
                        for (const std::string& g : next->second)
                            if (!in_tree(g) && seen.insert(g).second) todo.push_back(g);
                    }
                }
                const size_t size = closure[entry].size();
                for (const std::string& reached : closure[entry]) {
                    auto it = entries_.find(reached);
                    if (it == entries_.end() || size < it->second.first)
                        entries_[reached] = {size, line};
                }
            }
        }
        entries_[""] = {0, ""};
    }
    auto it = entries_.find(system_file);
    if (it == entries_.end() || it->second.second.empty()) return;
    if (o.system_seen.insert(it->second.second).second)
        o.system.push_back({nullptr, {}, it->second.second});
}

// The system includes a project header makes itself, in their conditions.
void builder::add_system_includes_of(output& o, const std::string& header) {
    const original_file& f = original(header);
    for (const include_line& inc : f.includes()) {
        std::string target = resolve_include(header, inc);
        if (!target.empty() && in_tree(target)) continue;
        std::string line = f.line(inc.line) + "\n";
        if (f.conditions_at(inc.line).empty()) {
            line = inc.system ? "#include <" + inc.spelled + ">\n"
                              : "#include \"" + inc.spelled + "\"\n";
            if (!o.system_seen.insert(line).second) continue;
        } else if (!o.system_seen.insert(header + ":" + std::to_string(inc.line)).second) {
            continue;
        }
        for (const condition_place& p : f.conditions_at(inc.line))
            for (const std::string& branch : f.chain(p.chain).branches)
                for (const std::string& w : identifiers_in(branch))
                    o.identifiers.insert(w);
        o.system.push_back({&f, f.conditions_at(inc.line), line});
    }
}

namespace {
// A declaration whose text runs into conditions (vim's `EXTERN sctx_T
// current_sctx` then `#ifdef FEAT_EVAL INIT4(0, 0, 0, 0); #else INIT(= {0});
// #endif`): the facts end it in the branch the unit compiled, which would leave
// the conditions opened in it open. It ends where they are all closed, with a
// lone `;` after them (`EXTERN long Rows #ifdef DO_INIT = 24L #endif ;`).
int close_conditions(const original_file& f, int first, int end) {
    int depth = 0;
    auto step = [&](int n) {
        std::string t = trim(f.line(n));
        if (t.empty() || t[0] != '#') return;
        t = trim(t.substr(1));
        if (t.compare(0, 2, "if") == 0)
            ++depth;
        else if (t.compare(0, 5, "endif") == 0)
            --depth;
    };
    for (int n = first; n <= end; ++n)
        step(n);
    if (depth <= 0) return end;
    while (depth > 0 && end < f.line_count())
        step(++end);
    if (end < f.line_count() && trim(f.line(end + 1)) == ";") ++end;
    return end;
}

// The restructurer cuts a header's `typedef struct S {...} T;` into the
// structure and the typedef where some sources need only the typedef: a unit
// of the measured form that holds one part gets the same part of the original
// statement.
std::string part_of_typedef_statement(const measured_unit& unit, const std::string& statement) {
    // The forward declarations ahead of the unit's text are not its own.
    std::string measured;
    bool ahead = true;
    for (const std::string& line : unit.text) {
        const std::string t = trim(line);
        ahead = ahead && (t.empty() ||
                          ((t.compare(0, 7, "struct ") == 0 || t.compare(0, 6, "union ") == 0) &&
                           t.back() == ';' && t.find('{') == std::string::npos &&
                           t.find(' ', t.find(' ') + 1) == std::string::npos));
        if (!ahead) measured += line + "\n";
    }
    const std::size_t first = measured.find_first_not_of(" \t\n");
    if (first == std::string::npos) return statement;
    const bool type_names =
        measured.compare(first, 8, "typedef ") == 0 && measured.find('{') == std::string::npos;
    const bool definition =
        measured.compare(first, 7, "struct ") == 0 || measured.compare(first, 6, "union ") == 0;
    typedef_statement cut;
    if ((!type_names && !definition) || !split_typedef_statement(statement, cut)) return statement;
    return type_names ? cut.type_names : cut.definition;
}
} // namespace

void builder::add_unit(output& o, const measured_unit& unit) {
    std::string file = source_of(normal(unit.file));
    if (!in_tree(file)) {
        add_system_include(o, file);
        return;
    }
    const original_file& f = original(file);
    if (unit.line < 1 || unit.line > f.line_count()) return;
    if (o.lines_taken.count({file, unit.line})) return;
    auto end_it = facts_.units.find({file, unit.line});
    int end = end_it != facts_.units.end() ? end_it->second.end
                                           : unit.line + static_cast<int>(unit.text.size()) - 1;
    end = f.balanced_end(unit.line, std::min(std::max(end, unit.line), f.line_count()));
    end = close_conditions(f, unit.line, end);
    int start = f.comment_start(unit.line);
    while (start < unit.line && o.lines_taken.count({file, start}))
        ++start;
    std::string text;
    for (const std::string& fwd : forward_declarations(unit, f.line(unit.line)))
        text += fwd + "\n";
    std::string statement;
    // The #line directives of a generated header are left out here and in every
    // text cut from a header: they name the lines of the file they stood in.
    for (int n = start; n <= end; ++n) {
        if (!o.lines_taken.insert({file, n}).second || is_line_directive(f.line(n))) continue;
        (n < unit.line ? text : statement) += f.line(n) + "\n";
    }
    text += part_of_typedef_statement(unit, statement);
    for (const std::string& w : identifiers_in(text))
        o.identifiers.insert(w);
    // The conditions it is written in test macros that must be defined as in
    // its file.
    for (const condition_place& p : f.conditions_at(unit.line))
        for (const std::string& branch : f.chain(p.chain).branches)
            for (const std::string& w : identifiers_in(branch))
                o.identifiers.insert(w);
    if (!is_source(file)) {
        o.reach.insert(file);
        add_system_includes_of(o, file);
    }
    // Declarations that did not stand next to each other are set apart by a
    // blank line, as in their files.
    bool apart = !o.body.empty() && o.last_file != file;
    for (int n = o.last_line + 1; !o.body.empty() && o.last_file == file && n < start; ++n)
        apart = apart || f.line(n).find_first_not_of(" \t\r") == std::string::npos;
    o.last_file = file;
    o.last_line = end;
    o.body.push_back({&f, f.conditions_at(unit.line), text, apart, unit.line});
}

// The files `file` reaches through its includes, itself included.
const std::set<std::string>& builder::reach_of(const std::string& file) {
    auto known = reach_.find(file);
    if (known != reach_.end()) return known->second;
    std::set<std::string> seen{file};
    std::deque<std::string> todo{file};
    while (!todo.empty()) {
        std::string f = todo.front();
        todo.pop_front();
        auto it = facts_.includes.find(f);
        if (it == facts_.includes.end()) continue;
        for (const std::string& g : it->second)
            if (in_tree(g) && seen.insert(g).second) todo.push_back(g);
    }
    return reach_.emplace(file, std::move(seen)).first->second;
}

std::set<std::string> builder::reached_from(const std::set<std::string>& starts) {
    if (starts.size() == 1) return reach_of(*starts.begin());
    std::set<std::string> seen;
    for (const std::string& start : starts) {
        const std::set<std::string>& reach = reach_of(start);
        seen.insert(reach.begin(), reach.end());
    }
    return seen;
}

// The project headers every unit that reached one of `origins` reached.
// Many sets of origins are reached by the same units, so the answer is kept
// per set of units.
std::set<std::string> builder::always_with(const std::set<std::string>& origins) {
    const size_t n = in_.units.size();
    if (reached_by_.empty())
        for (size_t u = 0; u < n; ++u)
            for (const std::string& f : reach_of(normal(in_.units[u].source))) {
                std::vector<bool>& units = reached_by_[f];
                units.resize(n);
                units[u] = true;
            }
    std::vector<bool> users(n);
    for (const std::string& o : origins) {
        auto it = reached_by_.find(o);
        if (it == reached_by_.end()) continue;
        for (size_t u = 0; u < n; ++u)
            users[u] = users[u] || it->second[u];
    }
    auto known = always_with_.find(users);
    if (known != always_with_.end()) return known->second;
    std::set<std::string> common;
    bool first = true;
    for (size_t u = 0; u < n; ++u) {
        if (!users[u]) continue;
        const std::set<std::string>& reach = reach_of(normal(in_.units[u].source));
        if (first) {
            common = reach;
            first = false;
            continue;
        }
        std::set<std::string> both;
        for (const std::string& f : common)
            if (reach.count(f)) both.insert(f);
        common.swap(both);
    }
    return always_with_.emplace(std::move(users), std::move(common)).first->second;
}

// The project macros that `identifiers` use, directly or through other macros
// and through the conditions around their definitions: definitions in `reach`
// first, else in `fallback` (never in a header the text was never compiled with).
std::set<macro_ref> builder::macros_for(const std::set<std::string>& identifiers,
                                        const std::set<std::string>& reach,
                                        const std::set<std::string>& fallback) {
    std::set<macro_ref> found;
    std::set<std::string> done;
    std::deque<std::string> todo(identifiers.begin(), identifiers.end());
    while (!todo.empty()) {
        std::string name = todo.front();
        todo.pop_front();
        if (!done.insert(name).second) continue;
        // The definitions by name, made again when more files were read.
        if (macro_index_files_ != files_.size()) {
            macro_index_.clear();
            for (const auto& [path, file] : files_) {
                if (!in_tree(path) || is_source(path)) continue;
                for (size_t k = 0; k < file->macros().size(); ++k)
                    macro_index_[file->macros()[k].name].push_back({path, k});
            }
            macro_index_files_ = files_.size();
        }
        std::vector<macro_ref> defs, anywhere;
        auto indexed = macro_index_.find(name);
        if (indexed != macro_index_.end())
            for (const macro_ref& m : indexed->second) {
                anywhere.push_back(m);
                if (reach.count(m.file)) defs.push_back(m);
            }
        if (defs.empty())
            for (const macro_ref& m : anywhere)
                if (fallback.count(m.file)) defs.push_back(m);
        for (const macro_ref& m : defs) {
            if (!found.insert(m).second) continue;
            const original_file& f = *files_[m.file];
            const macro_definition& d = f.macros()[m.index];
            for (const std::string& w : d.uses)
                todo.push_back(w);
            for (const condition_place& p : f.conditions_at(d.first))
                for (const std::string& branch : f.chain(p.chain).branches)
                    for (const std::string& w : identifiers_in(branch))
                        todo.push_back(w);
        }
    }
    return found;
}

// The include name of a file of the source form as seen from another: the way
// the project spells the original header beside it, with the new file's name.
std::string builder::spelling(const std::string& target_out, const std::string& from_out) {
    std::string dir = fs::path(target_out).parent_path().string();
    std::string name = fs::path(target_out).filename().string();
    // The including file's place in the analysed tree, where the original
    // headers beside the new one can be looked up as its include would be.
    std::string from = normal(in_.tree + "/" + in_out(from_out));
    const bool created = !dirs_of_.count(from);
    for (const auto& [header, ways] : spelled_) {
        if (fs::path(out_path(header)).parent_path().string() != dir) continue;
        for (const std::string& spelled : ways) {
            if ((created ? resolve_from_new(from, spelled)
                         : resolve_include(from, {spelled, false, 0})) != header)
                continue;
            fs::path p(spelled);
            return p.has_parent_path() ? (p.parent_path() / name).string() : name;
        }
    }
    return fs::path(target_out).lexically_relative(fs::path(from_out).parent_path()).string();
}

std::string builder::guard_of(const std::string& path) const {
    std::string rel = in_out(path);
    std::string guard;
    for (char c : rel)
        guard += std::isalnum(static_cast<unsigned char>(c))
                     ? static_cast<char>(std::toupper(static_cast<unsigned char>(c)))
                     : '_';
    return guard;
}

// A new header is named after the original header most of its declarations come
// from and what they are: types, data, functions (api) or a mix (decls).
void builder::name_headers() {
    std::set<std::string> taken;
    for (const std::string& h : in_.new_headers) {
        const measured_file& m = measured_[h];
        std::map<std::string, int> origins;
        std::set<std::string> kinds;
        std::string first, principal;
        for (const measured_unit& u : m.units) {
            std::string file = source_of(normal(u.file));
            if (!in_tree(file)) continue;
            if (first.empty()) first = file;
            origins[file]++;
            auto k = facts_.units.find({file, u.line});
            if (k == facts_.units.end()) continue;
            kinds.insert(k->second.kinds.begin(), k->second.kinds.end());
            if (principal.empty()) principal = k->second.name;
        }
        if (origins.empty()) {
            header_name_[h] = "";
            continue;
        }
        std::string origin = first;
        for (const auto& [file, count] : origins)
            if (count > origins[origin]) origin = file;
        bool types = true, funcs = true, vars = true;
        for (const std::string& k : kinds) {
            bool type = k == "struct" || k == "union" || k == "enum" || k == "type";
            types = types && type;
            funcs = funcs && k == "func";
            vars = vars && k == "var";
        }
        std::string what = types ? "types" : funcs ? "api" : vars ? "data" : "decls";
        std::string dir = fs::path(out_path(origin)).parent_path().string();
        std::string base = dir + "/" + stem_of(origin) + "_" + what;
        // A second header of the same origin and kind is named after its first
        // declaration as well.
        std::string name = base + ".h";
        if ((taken.count(name) || fs::exists(name)) && !principal.empty()) {
            std::string tail = principal;
            for (char& c : tail)
                if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') c = '_';
            base = dir + "/" + stem_of(origin) + "_" + tail;
            name = base + ".h";
        }
        for (int n = 2; taken.count(name) || fs::exists(name); ++n)
            name = base + "_" + std::to_string(n) + ".h";
        taken.insert(name);
        header_name_[h] = name;
    }
}

std::string builder::render_includes(const output& o) {
    chain_writer w;
    for (const block& b : o.system) {
        if (b.file)
            w.write(*b.file, b.where, b.text);
        else
            w.write_plain(b.text);
    }
    std::string text = w.finish();
    for (const std::string& inc : o.includes)
        text += "#include \"" + spelling(inc, o.path) + "\"\n";
    return text;
}

// The line ranges the units of the facts take in `file`.
std::vector<std::pair<int, int>> builder::covered_in(const std::string& file) {
    std::vector<std::pair<int, int>> ranges;
    const original_file& f = original(file);
    for (auto it = facts_.units.lower_bound({file, 0});
         it != facts_.units.end() && it->first.first == file; ++it) {
        const int begin = it->first.second;
        const int end = std::min(std::max(it->second.end, begin), f.line_count());
        ranges.push_back({begin, close_conditions(f, begin, f.balanced_end(begin, end))});
    }
    return ranges;
}

// Writes the needs of `o`, each inside its condition: an include of the new
// header that holds a declaration a word names, or, when no header holds it (it
// was written into the sources that use it), the declaration's text itself if C
// allows it twice (a prototype, an extern object).
void builder::resolve_needs(output& o, const std::vector<need>& needs, const holder_map& holders,
                            const std::map<std::string, output*>& by_path) {
    // What o has in every configuration: its units and those of what it includes.
    std::set<unit_key> available;
    std::set<std::string> visited{o.path};
    std::deque<const output*> todo{&o};
    while (!todo.empty()) {
        const output* x = todo.front();
        todo.pop_front();
        for (const block& b : x->body)
            if (b.unit_line > 0) available.insert({b.file->path(), b.unit_line});
        for (const std::string& inc : x->includes) {
            auto it = by_path.find(inc);
            if (it != by_path.end() && visited.insert(inc).second) todo.push_back(it->second);
        }
    }
    const std::set<std::string> reach = reached_from(o.reach);
    // A name one macro renames (`#define gzopen64 z_gzopen64`) stands for the
    // declarations of the renamed name.
    if (renamed_.empty()) {
        renamed_[""] = {};
        for (const auto& [path, file] : files_)
            if (in_tree(path))
                for (const macro_definition& d : file->macros())
                    if (!d.undef && d.uses.size() == 1 && d.uses[0] != d.name &&
                        file->line(d.first).find(d.name + "(") == std::string::npos)
                        renamed_[d.uses[0]].push_back(d.name);
    }
    // Needs under one condition are met together.
    std::vector<need> merged;
    for (const need& n : needs) {
        auto same = std::find_if(merged.begin(), merged.end(), [&](const need& m) {
            return m.file == n.file && m.where == n.where && m.functions == n.functions;
        });
        if (same == merged.end())
            merged.push_back(n);
        else
            same->words.insert(same->words.end(), n.words.begin(), n.words.end());
    }
    for (const need& n : merged) {
        std::vector<std::string> includes;
        chain_writer inner;
        std::set<unit_key> here;
        std::set<std::string> done;
        std::deque<std::string> words(n.words.begin(), n.words.end());
        while (!words.empty()) {
            std::string w = words.front();
            words.pop_front();
            auto alias = renamed_.find(w);
            if (alias != renamed_.end() && !done.count(w))
                words.insert(words.end(), alias->second.begin(), alias->second.end());
            auto d = facts_.declared.find(w);
            if (!done.insert(w).second || d == facts_.declared.end()) continue;
            for (const unit_key& key : d->second) {
                if (is_source(key.first) || !reach.count(key.first) || available.count(key) ||
                    (!n.functions && facts_.units.at(key).kinds.count("func")) ||
                    !here.insert(key).second)
                    continue;
                std::string holder;
                auto h = holders.find(key);
                if (h != holders.end())
                    for (const output* x : h->second)
                        if (holder.empty() && x != &o && !is_source(x->path)) holder = x->path;
                if (!holder.empty()) {
                    if (std::find(includes.begin(), includes.end(), holder) == includes.end())
                        includes.push_back(holder);
                    continue;
                }
                bool twice = true;
                const unit_facts& unit = facts_.units.at(key);
                for (const std::string& kind : unit.kinds)
                    twice = twice && (kind == "func" || kind == "var");
                const original_file& f = original(key.first);
                const int end = f.balanced_end(
                    key.second, std::min(std::max(unit.end, key.second), f.line_count()));
                std::string text;
                for (int line = key.second; line <= end; ++line)
                    if (!is_line_directive(f.line(line))) text += f.line(line) + "\n";
                if (!twice || text.find('{') != std::string::npos) continue;
                inner.write(f, f.conditions_at(key.second), text);
                for (const std::string& more : identifiers_in(text)) {
                    words.push_back(more);
                    o.identifiers.insert(more);
                }
            }
        }
        std::string text;
        for (const std::string& inc : includes)
            text += "#include \"" + spelling(inc, o.path) + "\"\n";
        text += inner.finish();
        if (text.empty()) continue;
        for (const condition_place& p : n.where)
            for (const std::string& branch : n.file->chain(p.chain).branches)
                for (const std::string& w : identifiers_in(branch))
                    o.identifiers.insert(w);
        o.needs.push_back({n.file, n.where, text});
    }
}

// Declarations of the split headers that stood in branches no analysed unit
// compiled have no facts, so no new header holds them; another configuration
// compiles them. One that declares again, in another branch of its chain, what a
// unit of the facts declares (`#ifdef A typedef int T; #else typedef long T;`)
// goes beside that unit, wherever it was written; the others go to
// `<header>_conditional.h`, in their conditions, which every source that reached
// the header includes after its other headers. A source's own branches, and the
// macros defined in branches (`#define gzopen gzopen64`), may name declarations
// of the facts the source's headers do not hold: the source includes them (or
// writes a prototype no header holds) inside those conditions.
void builder::keep_uncovered(std::vector<output>& outputs,
                             const std::vector<std::pair<output*, std::string>>& sources,
                             const std::set<std::string>& split_headers) {
    holder_map holders;
    std::map<std::string, output*> by_path;
    auto index = [&](output& o) {
        by_path[o.path] = &o;
        for (const block& b : o.body)
            if (b.unit_line > 0) {
                std::vector<output*>& list = holders[{b.file->path(), b.unit_line}];
                if (std::find(list.begin(), list.end(), &o) == list.end()) list.push_back(&o);
            }
    };
    for (output& o : outputs)
        index(o);
    for (const auto& [o, src] : sources)
        index(*o);

    struct tied_piece {
        unit_key unit;
        bool before; // stands before the unit in its file
        int line;
        block b;
    };
    std::map<output*, std::vector<tied_piece>> ties;
    std::map<output*, std::vector<need>> needs_of;
    std::vector<output> residuals;
    std::vector<std::vector<need>> residual_needs;
    std::map<std::string, std::string> residual_of; // header -> its _conditional.h
    std::set<std::string> taken;
    for (const output& o : outputs)
        taken.insert(o.path);
    for (const std::string& h : split_headers) {
        const original_file& f = original(h);
        std::vector<uncovered_piece> pieces = uncovered_pieces(f, covered_in(h));
        if (pieces.empty()) continue;
        output r;
        r.reach = {h};
        std::vector<need> r_needs;
        int previous = -1;
        for (const uncovered_piece& p : pieces) {
            const condition_stack& where = f.conditions_at(p.first);
            std::string text;
            for (int n = f.comment_start(p.first); n <= p.last; ++n)
                if (!is_line_directive(f.line(n))) text += f.line(n) + "\n";
            const std::vector<std::string> words = identifiers_in(text);
            const bool body = text.find('{') != std::string::npos;
            // The nearest unit of another branch of its chain that it declares again.
            unit_key best;
            int distance = -1;
            for (auto it = facts_.units.lower_bound({h, 0});
                 p.whole && it != facts_.units.end() && it->first.first == h; ++it) {
                const condition_stack& q = f.conditions_at(it->first.second);
                size_t k = 0;
                while (k < where.size() && k < q.size() && where[k] == q[k])
                    ++k;
                if (k == where.size() || k == q.size() || where[k].chain != q[k].chain) continue;
                bool again = false;
                for (const std::string& name : it->second.names)
                    again = again || declares(f, p.first, p.last, name);
                const int d = std::abs(it->first.second - p.first);
                if (again && (distance < 0 || d < distance)) {
                    best = it->first;
                    distance = d;
                }
            }
            if (distance >= 0 && holders.count(best)) {
                for (output* o : holders[best]) {
                    ties[o].push_back({best, p.first < best.second, p.first, {&f, where, text}});
                    needs_of[o].push_back({&f, where, words, body});
                    o->identifiers.insert(words.begin(), words.end());
                }
                continue;
            }
            bool apart = false;
            for (int n = previous + 1; previous >= 0 && n < p.first; ++n)
                apart = apart || f.line(n).find_first_not_of(" \t\r") == std::string::npos;
            previous = p.last;
            r.body.push_back({&f, where, text, apart});
            r_needs.push_back({&f, where, words, body});
            r.identifiers.insert(words.begin(), words.end());
            for (const condition_place& c : where)
                for (const std::string& branch : f.chain(c.chain).branches)
                    for (const std::string& w : identifiers_in(branch))
                        r.identifiers.insert(w);
        }
        if (r.body.empty()) continue;
        std::string base =
            fs::path(out_path(h)).parent_path().string() + "/" + stem_of(h) + "_conditional";
        r.path = base + ".h";
        for (int n = 2; taken.count(r.path) || fs::exists(r.path); ++n)
            r.path = base + "_" + std::to_string(n) + ".h";
        taken.insert(r.path);
        residual_of[h] = r.path;
        residuals.push_back(std::move(r));
        residual_needs.push_back(std::move(r_needs));
    }
    // Tied pieces stand before or after their unit, in the order of their file.
    for (auto& [o, list] : ties) {
        std::sort(list.begin(), list.end(), [](const tied_piece& a, const tied_piece& b) {
            return a.b.file->path() != b.b.file->path() ? a.b.file->path() < b.b.file->path()
                                                        : a.line < b.line;
        });
        std::vector<block> body;
        for (const block& b : o->body) {
            const unit_key key{b.file->path(), b.unit_line};
            for (const tied_piece& t : list)
                if (t.before && t.unit == key) body.push_back(t.b);
            body.push_back(b);
            for (const tied_piece& t : list)
                if (!t.before && t.unit == key) body.push_back(t.b);
        }
        o->body = std::move(body);
    }
    for (auto& [o, list] : needs_of)
        resolve_needs(*o, list, holders, by_path);
    for (size_t k = 0; k < residuals.size(); ++k)
        by_path[residuals[k].path] = &residuals[k];
    for (const auto& [o, src] : sources) {
        // The residual headers of what the source reached, innermost first.
        std::set<std::string> seen;
        std::vector<std::string>& includes = o->includes; // a lambda cannot name a binding
        std::function<void(const std::string&)> visit = [&](const std::string& file) {
            if (!seen.insert(file).second) return;
            auto it = facts_.includes.find(file);
            if (it != facts_.includes.end())
                for (const std::string& g : it->second)
                    if (in_tree(g)) visit(g);
            auto r = residual_of.find(file);
            if (r != residual_of.end() &&
                std::find(includes.begin(), includes.end(), r->second) == includes.end())
                includes.push_back(r->second);
        };
        visit(src);
        // Its own branches no unit compiled, and the macros defined in branches.
        std::vector<need> needs;
        const original_file& f = original(src);
        const std::set<std::string> reach = reached_from(o->reach);
        const std::set<std::string> fallback = always_with(o->reach);
        std::vector<bool> uncovered(static_cast<size_t>(f.line_count()) + 1, false);
        for (const uncovered_piece& p : uncovered_pieces(f, covered_in(src))) {
            for (int n = p.first; n <= p.last; ++n)
                uncovered[n] = true;
            std::string text;
            for (int n = p.first; n <= p.last; ++n)
                text += f.line(n) + "\n";
            const std::vector<std::string> ids = identifiers_in(text);
            std::vector<std::string> words = ids;
            for (const macro_ref& r : macros_for({ids.begin(), ids.end()}, reach, fallback)) {
                const macro_definition& d = original(r.file).macros()[r.index];
                words.insert(words.end(), d.uses.begin(), d.uses.end());
            }
            needs.push_back({&f, f.conditions_at(p.first), words});
        }
        // A macro the compiled text names and that is defined in a branch: if
        // that branch was compiled, so were the declarations its body names.
        // (A macro only uncovered text names was met above, in its condition.)
        std::string compiled;
        for (int n = 1; n <= f.line_count(); ++n)
            compiled += uncovered[n] ? "\n" : f.line(n) + "\n";
        for (const block& b : o->body)
            compiled += b.text;
        const std::vector<std::string> named = identifiers_in(compiled);
        for (const macro_ref& r : macros_for({named.begin(), named.end()}, reach, fallback)) {
            const original_file& m = original(r.file);
            const macro_definition& d = m.macros()[r.index];
            if (!d.undef && !m.conditions_at(d.first).empty())
                needs.push_back({&m, m.conditions_at(d.first), d.uses});
        }
        resolve_needs(*o, needs, holders, by_path);
    }
    for (size_t k = 0; k < residuals.size(); ++k)
        resolve_needs(residuals[k], residual_needs[k], holders, by_path);
    for (output& r : residuals)
        outputs.push_back(std::move(r));
}

// The order in which a file compiled from `starts` met the project's macro
// definitions: a header's definitions before the includes that follow them.
// Kept per set of starts: many outputs come from the same headers.
const std::map<macro_ref, int>& builder::translation_rank(const std::set<std::string>& starts) {
    // A walk only enters files already read, so a rank kept from fewer files
    // may be short.
    if (ranks_files_ != files_.size()) ranks_.clear();
    ranks_files_ = files_.size();
    auto known = ranks_.find(starts);
    if (known != ranks_.end()) return known->second;
    std::map<macro_ref, int> rank;
    std::set<std::string> visited;
    int counter = 0;
    std::function<void(const std::string&)> walk = [&](const std::string& file) {
        if (!visited.insert(file).second) return;
        const original_file& f = original(file);
        const std::vector<macro_definition>& defs = f.macros();
        const std::vector<include_line>& incs = f.includes();
        size_t m = 0, i = 0;
        while (m < defs.size() || i < incs.size()) {
            if (i >= incs.size() || (m < defs.size() && defs[m].first < incs[i].line)) {
                rank.emplace(macro_ref{file, m++}, counter++);
                continue;
            }
            std::string target = resolve_include(file, incs[i++]);
            if (!target.empty() && files_.count(target)) walk(target);
        }
    };
    for (const std::string& start : starts)
        walk(start);
    return ranks_.emplace(starts, std::move(rank)).first->second;
}

// The facts, the include directories, the measured form and every project
// file the facts name, read once before anything is written.
void builder::read_inputs() {
    for (const source_form_unit& u : in_.units) {
        read_facts(u.facts, u.directory, facts_);
        dirs_of_[normal(u.source)] = u.include_dirs;
        for (const std::string& d : u.include_dirs)
            if (std::find(all_dirs_.begin(), all_dirs_.end(), d) == all_dirs_.end())
                all_dirs_.push_back(d);
    }
    for (const std::string& d : all_dirs_) {
        bool everywhere = true;
        for (const source_form_unit& u : in_.units)
            everywhere = everywhere && std::find(u.include_dirs.begin(), u.include_dirs.end(), d) !=
                                           u.include_dirs.end();
        if (everywhere) common_dirs_.push_back(d);
    }
    find_line_names();
    // Headers reached through other headers take the first unit's directories.
    for (const auto& [from, list] : facts_.includes)
        for (const std::string& to : list)
            if (!dirs_of_.count(to) && dirs_of_.count(from)) dirs_of_[to] = dirs_of_[from];
    index_spellings();
    for (const std::string& h : in_.new_headers)
        measured_[h] = read_measured_file(h);
    name_headers();
    for (const auto& [from, list] : facts_.includes)
        for (const std::string& to : list)
            if (in_tree(to)) original(to);
    for (const auto& [from, list] : facts_.includes)
        if (in_tree(from)) original(from);
}

// Project headers with units are split into the new headers; the others
// (macros only: configuration, prefixes) are kept and included as they are.
// A header that holds only macros but includes a split one is split too, or
// including it would bring the original declarations back.
bool builder::split(const std::string& f) {
    auto it = split_.find(f);
    if (it != split_.end()) return it->second;
    bool result = false;
    for (const std::string& g : reached_from({f}))
        result = result || facts_.unit_files.count(g) > 0;
    split_[f] = result;
    return result;
}

// The measured header an include line of the measured form names ("" when
// none). The new headers' names are made normal once, and each include name
// looked up once: a large project has thousands of each.
std::string builder::resolve_new(const std::string& name) {
    if (new_normal_.empty())
        for (const std::string& h : in_.new_headers)
            new_normal_.push_back(normal(h));
    auto known = resolved_new_.find(name);
    if (known != resolved_new_.end()) return known->second;
    const std::string n = normal(name);
    std::string found;
    for (size_t k = 0; k < new_normal_.size() && found.empty(); ++k)
        if (new_normal_[k] == n || ends_with(new_normal_[k], "/" + n)) found = in_.new_headers[k];
    resolved_new_.emplace(name, found);
    return found;
}

// A measured header that gets no file of its own (system units only) passes
// its includes and system headers on to whoever includes it.
void builder::include_new(output& o, const std::string& h, std::set<std::string>& seen) {
    if (!seen.insert(h).second) return;
    if (!header_name_[h].empty()) {
        if (std::find(o.includes.begin(), o.includes.end(), header_name_[h]) == o.includes.end())
            o.includes.push_back(header_name_[h]);
        return;
    }
    for (const std::string& inc : measured_[h].includes) {
        std::string target = resolve_new(inc);
        if (!target.empty()) include_new(o, target, seen);
    }
    for (const measured_unit& u : measured_[h].units)
        add_unit(o, u);
}

// The new headers: each measured header that gets a file, with its units'
// original text.
std::vector<output> builder::header_outputs() {
    std::vector<output> outputs;
    for (const std::string& h : in_.new_headers) {
        if (header_name_[h].empty()) continue;
        output o;
        o.path = header_name_[h];
        std::set<std::string> seen{h};
        for (const std::string& inc : measured_[h].includes) {
            std::string target = resolve_new(inc);
            if (!target.empty()) include_new(o, target, seen);
        }
        for (const measured_unit& u : measured_[h].units)
            add_unit(o, u);
        result_.names[h] = in_out(o.path);
        outputs.push_back(std::move(o));
    }
    return outputs;
}

// Sources: the original file, its includes of split headers replaced.
std::vector<builder::source_plan> builder::source_plans() {
    std::vector<source_plan> sources;
    // Which files of the measured form hold units of each project file.
    std::map<std::string, std::set<std::string>> homes;
    std::map<std::string, measured_file> rewritten;
    for (const std::string& h : in_.new_headers)
        for (const measured_unit& mu : measured_[h].units)
            homes[source_of(normal(mu.file))].insert(h);
    for (const source_form_unit& u : in_.units) {
        if (u.rewritten.empty() || !fs::exists(u.rewritten)) continue;
        rewritten[u.source] = read_measured_file(u.rewritten);
        for (const measured_unit& mu : rewritten[u.source].units)
            homes[source_of(normal(mu.file))].insert(normal(u.source));
    }
    std::set<std::string> included_anywhere;
    for (const auto& [from, list] : facts_.includes)
        included_anywhere.insert(list.begin(), list.end());
    for (const source_form_unit& u : in_.units)
        if (!u.rewritten.empty() && fs::exists(u.rewritten))
            sources.push_back(plan_source(u, rewritten[u.source], homes, included_anywhere));
    return sources;
}

// One source's plan: `m` is its measured form, `homes` the files of the
// measured form that hold each project file's units.
builder::source_plan builder::plan_source(const source_form_unit& u, const measured_file& m,
                                          const std::map<std::string, std::set<std::string>>& homes,
                                          const std::set<std::string>& included_anywhere) {
    std::string src = normal(u.source);
    source_plan p;
    p.file = &original(src);
    p.o.path = out_path(src);
    // A header whose units only this source uses, that it includes itself
    // and that includes no other split header (a table, a private header)
    // stays included where it was: its text may depend on what the source
    // defines before it.
    std::set<std::string> private_headers;
    for (const include_line& inc : p.file->includes()) {
        std::string target = resolve_include(src, inc);
        if (target.empty() || !in_tree(target) || is_source(target) || !split(target)) continue;
        auto home = homes.find(target);
        bool alone = home != homes.end() && home->second == std::set<std::string>{src};
        for (const std::string& g : reached_from({target}))
            alone = alone && (g == target || !split(g));
        if (alone) {
            private_headers.insert(target);
            included_.insert(target);
        } else {
            p.replaced.push_back(inc.line);
        }
    }
    std::set<std::string> seen;
    for (const std::string& inc : m.includes) {
        std::string target = resolve_new(inc);
        if (!target.empty()) include_new(p.o, target, seen);
    }
    for (const measured_unit& mu : m.units) {
        std::string file = source_of(normal(mu.file));
        // An included .c file stays included; text under a #line name no
        // file includes (a grammar's code) is the source's own.
        if (file != src && !private_headers.count(file) && !is_source(file) &&
            included_anywhere.count(file))
            add_unit(p.o, mu);
    }
    // What the source reached keeps its system headers (and their macros).
    std::set<std::string> reach = reached_from({src});
    for (const std::string& f : reach)
        if (f != src && !is_source(f)) add_system_includes_of(p.o, f);
    std::set<std::string> own;
    for (const include_line& inc : p.file->includes())
        own.insert(inc.system ? "#include <" + inc.spelled + ">\n"
                              : "#include \"" + inc.spelled + "\"\n");
    p.o.system.erase(std::remove_if(p.o.system.begin(), p.o.system.end(),
                                    [&](const block& b) { return own.count(b.text) > 0; }),
                     p.o.system.end());
    // The whole text at once: a line inside a block comment names nothing.
    std::string own_text;
    for (int n = 1; n <= p.file->line_count(); ++n)
        if (std::find(p.replaced.begin(), p.replaced.end(), n) == p.replaced.end())
            own_text += p.file->line(n) + "\n";
    for (const std::string& w : identifiers_in(own_text))
        p.o.identifiers.insert(w);
    p.o.reach = reach;
    return p;
}

// What stood in branches no analysed unit compiled.
void builder::keep_branches(std::vector<output>& outputs, std::vector<source_plan>& sources) {
    std::vector<std::pair<output*, std::string>> plans;
    for (source_plan& p : sources)
        plans.push_back({&p.o, normal(p.file->path())});
    std::set<std::string> split_headers;
    for (const auto& [from, list] : facts_.includes)
        for (const std::string& to : list)
            // A header a source keeps including (private to it, an X-macro
            // table read with other definitions at each include) keeps its
            // branches where it is.
            if (in_tree(to) && !is_source(to) && split(to) && !included_.count(to))
                split_headers.insert(to);
    keep_uncovered(outputs, plans, split_headers);
}

// Macros: every output's, then the macro headers that carry them, included
// by each output in the order its text met them.
void builder::add_macros(std::vector<output>& outputs, std::vector<source_plan>& sources) {
    std::vector<std::set<macro_ref>> needed_by;
    auto need = [&](output& o) {
        std::set<std::string> reach = reached_from(o.reach);
        std::set<macro_ref> m = macros_for(o.identifiers, reach, always_with(o.reach));
        for (const macro_ref& r : m)
            macros_kept_[r.file].insert(r.index);
        needed_by.push_back(m);
    };
    for (output& o : outputs)
        need(o);
    for (source_plan& p : sources)
        need(p.o);
    for (const auto& [header, kept] : macros_kept_) {
        if (!split(header)) continue;
        std::string base =
            fs::path(out_path(header)).parent_path().string() + "/" + stem_of(header) + "_macros";
        std::string name = base + ".h";
        for (int n = 2; fs::exists(name); ++n)
            name = base + "_" + std::to_string(n) + ".h";
        macro_header_[header] = name;
    }
    size_t k = 0;
    for (output& o : outputs)
        add_macro_includes(o, needed_by[k++], o.reach);
    for (source_plan& p : sources) {
        std::set<macro_ref> m = needed_by[k++];
        // A source keeps the kept headers it includes itself.
        for (const include_line& inc : p.file->includes()) {
            std::string target = resolve_include(normal(p.file->path()), inc);
            if (!target.empty() && in_tree(target) && !split(target)) {
                included_.insert(target);
                for (auto it = m.begin(); it != m.end();)
                    it = it->file == target ? m.erase(it) : std::next(it);
            }
        }
        add_macro_includes(p.o, m, {normal(p.file->path())});
    }
}

// The file that provides a macro of `header`: its macro header, or the kept
// header itself.
std::string builder::provider(const std::string& header) {
    if (split(header)) return macro_header_[header];
    included_.insert(header);
    return out_path(header);
}

// The macro headers (or kept headers) a file needs, in the order the file met
// their first definitions: a header that defines what another one's
// conditions test (zutil.h's ZLIB_INTERNAL before zlib.h) stays first.
void builder::add_macro_includes(output& o, const std::set<macro_ref>& m,
                                 const std::set<std::string>& starts) {
    const std::map<macro_ref, int>& rank = translation_rank(starts);
    std::map<std::string, int> first;
    for (const macro_ref& r : m) {
        std::string p = provider(r.file);
        if (std::find(o.includes.begin(), o.includes.end(), p) != o.includes.end()) continue;
        auto it = rank.find(r);
        const int at = it == rank.end() ? std::numeric_limits<int>::max() : it->second;
        auto known = first.find(p);
        if (known == first.end() || at < known->second) first[p] = at;
    }
    std::vector<std::pair<int, std::string>> providers;
    for (const auto& [p, at] : first)
        providers.push_back({at, p});
    std::stable_sort(providers.begin(), providers.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> names;
    for (const auto& [at, p] : providers)
        names.push_back(p);
    o.includes.insert(o.includes.begin(), names.begin(), names.end());
}

// Macro headers: the kept macros of one header in their original order and
// conditions, after the system headers and macros they need.
void builder::write_macro_headers() {
    // A macro name defined in more than one file (a source's own definition
    // before its includes, two headers never included together before) is
    // defined in a macro header only when it is not defined yet, so that the
    // definition a file saw first stays the one it sees.
    std::map<std::string, std::set<std::string>> defined_in;
    for (const auto& [header, kept] : macros_kept_)
        for (size_t index : kept)
            if (!original(header).macros()[index].undef)
                defined_in[original(header).macros()[index].name].insert(header);
    for (const source_form_unit& u : in_.units)
        for (const macro_definition& d : original(normal(u.source)).macros())
            if (!d.undef) defined_in[d.name].insert(normal(u.source));
    for (const auto& [header, kept] : macros_kept_)
        if (split(header)) write_macro_header(header, kept, defined_in);
}

// A macro that records that the declarations of its branch were made: defined
// in a branch whose condition tests it and that holds a unit of the facts
// (bison's `#if ! defined YYSTYPE && ! defined YYSTYPE_IS_DECLARED`, the union
// and its typedef, then `# define YYSTYPE_IS_DECLARED 1`). In a macro header,
// included before the declarations, it would hide them.
bool builder::is_declared_flag(const original_file& f, const macro_definition& d) {
    const condition_stack& where = f.conditions_at(d.first);
    if (d.undef || where.empty()) return false;
    bool tested = false;
    for (const condition_place& p : where)
        for (const std::string& branch : f.chain(p.chain).branches)
            for (const std::string& w : identifiers_in(branch))
                tested = tested || w == d.name;
    if (!tested) return false;
    for (auto it = facts_.units.lower_bound({f.path(), 0});
         it != facts_.units.end() && it->first.first == f.path(); ++it)
        if (f.conditions_at(it->first.second) == where) return true;
    return false;
}

// The body with the declared flags of a branch written after the last of its
// declarations the file holds, in the same conditions, as the original
// defines them after the declarations.
std::vector<block> builder::with_declared_flags(const std::vector<block>& body) {
    std::vector<block> result = body;
    std::vector<size_t> last; // per branch, the last block written in it
    for (size_t k = 0; k < result.size(); ++k) {
        if (!result[k].file || result[k].unit_line <= 0 || result[k].where.empty()) continue;
        auto same = std::find_if(last.begin(), last.end(), [&](size_t j) {
            return result[j].file == result[k].file && result[j].where == result[k].where;
        });
        if (same == last.end())
            last.push_back(k);
        else
            *same = k;
    }
    for (size_t k : last) {
        const original_file& f = *result[k].file;
        auto known = declared_flags_.find(&f);
        if (known == declared_flags_.end()) {
            std::vector<size_t> flags;
            for (size_t m = 0; m < f.macros().size(); ++m)
                if (is_declared_flag(f, f.macros()[m])) flags.push_back(m);
            known = declared_flags_.emplace(&f, flags).first;
        }
        for (size_t m : known->second) {
            const macro_definition& d = f.macros()[m];
            if (f.conditions_at(d.first) == result[k].where)
                for (int n = d.first; n <= d.last; ++n)
                    result[k].text += f.line(n) + "\n";
        }
    }
    return result;
}

// One header's macro header. `defined_in` tells for each macro name the files
// that define it.
void builder::write_macro_header(const std::string& header, const std::set<size_t>& kept,
                                 const std::map<std::string, std::set<std::string>>& defined_in) {
    const original_file& f = original(header);
    output o;
    o.path = macro_header_[header];
    // The header's system includes stand among its macros where they stood,
    // since its conditions may test what one defines and the other needs.
    struct piece {
        int first, last; // its lines, comment included
        std::string text;
    };
    // By the line of its directive; an include of another macro header comes
    // before the line it is keyed to.
    std::map<std::pair<int, int>, piece> in_order;
    for (const include_line& inc : f.includes()) {
        std::string target = resolve_include(header, inc);
        if (target.empty() || !in_tree(target))
            in_order[{inc.line, 1}] = {inc.line, inc.line, f.line(inc.line) + "\n"};
    }
    std::set<std::string> provided;
    for (size_t index : kept) {
        const macro_definition& d = f.macros()[index];
        if (is_declared_flag(f, d)) continue;
        std::string text;
        for (int n = f.comment_start(d.first); n <= d.last; ++n)
            text += f.line(n) + "\n";
        auto where = defined_in.find(d.name);
        if (!d.undef && where != defined_in.end() && where->second.size() > 1)
            text = "#ifndef " + d.name + "\n" + text + "#endif\n";
        in_order[{d.first, 1}] = {f.comment_start(d.first), d.last, text};
        // A definition needs defined before it only what its conditions
        // test: the macros its body names are expanded where it is used, and
        // the files that use it include them (including them here could close
        // a cycle of macro headers that hides a condition's macro).
        std::set<std::string> words;
        for (const condition_place& p : f.conditions_at(d.first))
            for (const std::string& branch : f.chain(p.chain).branches)
                for (const std::string& w : identifiers_in(branch))
                    words.insert(w);
        std::set<macro_ref> uses;
        for (const macro_ref& r : macros_for(words, reached_from({header}), always_with({header})))
            if (r.file != header) uses.insert(r);
        if (uses.empty()) continue;
        // The headers that define them are included before the outermost
        // condition of the definition, where the original included its
        // headers at the latest, so that what the header defined before
        // them is defined when their conditions are evaluated.
        int before = d.first;
        while (before > 1 && !f.conditions_at(before).empty())
            --before;
        output needs;
        needs.path = o.path;
        add_macro_includes(needs, uses, {header});
        std::string lines;
        for (const std::string& inc : needs.includes)
            if (provided.insert(inc).second)
                lines += "#include \"" + spelling(inc, o.path) + "\"\n";
        if (!lines.empty()) in_order[{before, 0}] = {before, before, lines};
    }
    chain_writer body;
    // Definitions that did not stand together are set apart by a blank line.
    int previous = -1;
    for (const auto& [key, piece] : in_order) {
        bool apart = false;
        for (int n = previous + 1; previous >= 0 && n < piece.first; ++n)
            apart = apart || f.line(n).find_first_not_of(" \t\r") == std::string::npos;
        body.write(f, key.second == 0 ? condition_stack{} : f.conditions_at(key.first), piece.text,
                   apart);
        previous = std::max(previous, piece.last);
    }
    write_new_header(o,
                     "/* Macros of " + fs::path(header).filename().string() +
                         " that the restructured files use. */\n",
                     body.finish());
}

void builder::write_header(const output& o) {
    chain_writer body;
    for (const block& b : o.needs)
        body.write(*b.file, b.where, b.text, b.apart);
    for (const block& b : with_declared_flags(o.body))
        body.write(*b.file, b.where, b.text, b.apart);
    write_new_header(o, "", body.finish());
}

// A new file of the source form: `comment`, its include guard, its includes
// and `body`.
void builder::write_new_header(const output& o, const std::string& comment,
                               const std::string& body) {
    const std::string guard = guard_of(o.path);
    const std::string includes = render_includes(o);
    const std::string text = comment + "#ifndef " + guard + "\n#define " + guard + "\n\n" +
                             includes + (includes.empty() ? "" : "\n") + body + "\n#endif\n";
    if (!write_text(o.path, text)) result_.problems.push_back(o.path);
    result_.added.push_back(in_out(o.path));
}

// A source: its original text with the block of includes and declarations
// where its first replaced include stood.
void builder::write_source(const source_plan& p) {
    chain_writer body;
    for (const block& b : with_declared_flags(p.o.body))
        body.write(*b.file, b.where, b.text, b.apart);
    for (const block& b : p.o.needs)
        body.write(*b.file, b.where, b.text, b.apart);
    const std::string includes = render_includes(p.o);
    const std::string declarations = body.finish();
    std::string text;
    int first = 0; // the line the block of includes and declarations begins on
    for (int n = 1; n <= p.file->line_count(); ++n) {
        if (std::find(p.replaced.begin(), p.replaced.end(), n) != p.replaced.end()) {
            if (!first) {
                first = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
                text += includes + declarations;
            }
            continue;
        }
        text += p.file->line(n) + "\n";
    }
    if (!first) {
        first = 1;
        text = includes + declarations + text;
    }
    const int lines = static_cast<int>(std::count(declarations.begin(), declarations.end(), '\n'));
    if (lines > 0) {
        const int begin =
            first + static_cast<int>(std::count(includes.begin(), includes.end(), '\n'));
        result_.header_text_lines[in_out(p.o.path)] = {begin, begin + lines - 1};
    }
    for (const std::string& inc : p.o.includes)
        if (in_tree(inc)) included_.insert(inc);
    if (!write_text(p.o.path, text)) result_.problems.push_back(p.o.path);
    result_.changed.push_back(in_out(p.o.path));
}

// The original headers no file of the source form includes any more.
void builder::list_no_longer_included() {
    std::set<std::string> before;
    for (const auto& [from, list] : facts_.includes)
        for (const std::string& to : list)
            if (in_tree(to) && !is_source(to)) before.insert(to);
    for (const std::string& h : before) {
        bool still = included_.count(out_path(h)) > 0 || included_.count(h) > 0;
        if (!still)
            result_.no_longer_included.push_back(fs::path(h).lexically_relative(in_.tree).string());
    }
}

source_form_result builder::run() {
    read_inputs();
    std::vector<output> outputs = header_outputs();
    std::vector<source_plan> sources = source_plans();
    keep_branches(outputs, sources);
    add_macros(outputs, sources);
    write_macro_headers();
    for (const output& o : outputs)
        write_header(o);
    for (const source_plan& p : sources)
        write_source(p);
    list_no_longer_included();
    std::sort(result_.added.begin(), result_.added.end());
    std::sort(result_.changed.begin(), result_.changed.end());
    return result_;
}

} // namespace

source_form_result write_source_form(const source_form_input& input) {
    source_form_input normalised = input;
    normalised.tree = normal(input.tree);
    normalised.out = normal(input.out);
    for (std::string& h : normalised.new_headers)
        h = normal(h);
    return builder(normalised).run();
}
