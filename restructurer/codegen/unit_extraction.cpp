#include "codegen/unit_extraction.h"

#include "contract/typedef_statement.h"
#include "contract/unit_files.h"
#include "loading/merge_candidates.h"

#include <algorithm>
#include <cctype>
#include <iostream>

namespace {
// The file a unit's text lies in: where a definition starts (its context file
// may be the including source), the unit's own file otherwise.
std::string text_file(const ProgramUnit& u) {
    return u.is_define() ? u.start_file : u.file();
}

// The part of a unit name after "#", "1" when there is none.
std::string suffix(const std::string& name) {
    const std::size_t hash = name.find('#');
    return hash == std::string::npos ? "1" : name.substr(hash + 1);
}

// Smaller of two line numbers where 0 means "unknown".
int known_min(int a, int b) {
    return a && b ? std::min(a, b) : (a ? a : b);
}

// "# <number> "<name>" ...": true with the number and the name unquoted.
bool parse_marker(const std::string& line, int& number, std::string& name) {
    std::size_t pos = 1;
    while (pos < line.size() && line[pos] == ' ')
        ++pos;
    const std::size_t digits = pos;
    while (pos < line.size() && std::isdigit(static_cast<unsigned char>(line[pos])))
        ++pos;
    if (pos == digits || pos - digits > 9) return false; // no number, or none that fits
    number = std::stoi(line.substr(digits, pos - digits));
    while (pos < line.size() && line[pos] == ' ')
        ++pos;
    if (pos >= line.size() || line[pos] != '"') return false;
    const std::size_t close = line.find('"', pos + 1);
    if (close == std::string::npos) return false;
    name = line.substr(pos + 1, close - pos - 1);
    return true;
}
} // namespace

unit_extraction::unit_extraction(graph& g, const std::string& path)
    : g_(g), path_(graph::source_path(path, "")) {
    for (const node& n : g_.nodes) {
        const ProgramUnit* u = as_unit(n);
        if (!u) continue;
        if (u->begin == 0 && u->end == 0) positionless_.push_back(n);
        if (u->begin == 0) continue;
        const std::string file = text_file(*u);
        if (!file.empty()) units_by_file_[split(file)].push_back(n);
        track(n);
    }
    for (const edge& e : g_.edges)
        sources_of_[e.to.id].insert(e.from.id);
    enter_file(path);
}

unit_extraction::file_key unit_extraction::split(const std::string& file) {
    const std::size_t dot = file.rfind('.');
    if (dot == std::string::npos) return {file, ""};
    return {file.substr(0, dot), file.substr(dot)};
}

// The units of a file are those whose file has the same extension and the
// same stem, or the stem followed by ".cpp" (the facts name the preprocessed
// source x.cpp.c where the line markers name x.c).
void unit_extraction::enter_file(const std::string& file) {
    current_ = split(file);
    auto known = files_.find(current_);
    if (known == files_.end()) {
        std::vector<node> units;
        for (const std::string& stem : {current_.first, current_.first + ".cpp"}) {
            auto it = units_by_file_.find({stem, current_.second});
            if (it != units_by_file_.end())
                units.insert(units.end(), it->second.begin(), it->second.end());
        }
        std::sort(units.begin(), units.end());
        file_units& indexed = files_[current_];
        for (const node& u : units) {
            indexed.by_begin[as_unit(u)->begin].push_back(u);
            indexed.ids.insert(u.id);
        }
        known = files_.find(current_);
    }
    candidates_ = &known->second;
}

// A unit of the file concerns line L when it begins on L, or when it began
// on an earlier line (in this pass of the file or an earlier one) and has not
// ended: source_line passes over every other unit of the file.
std::vector<node> unit_extraction::concerned(int L) const {
    std::vector<node> units;
    for (const node& u : started_)
        if (candidates_->ids.count(u.id) && as_unit(u)->begin <= L) units.push_back(u);
    auto beginning = candidates_->by_begin.find(L);
    if (beginning != candidates_->by_begin.end()) {
        const std::size_t own = units.size();
        for (const node& u : beginning->second)
            if (!started_.count(u)) units.push_back(u);
        std::inplace_merge(units.begin(), units.begin() + static_cast<std::ptrdiff_t>(own),
                           units.end());
    }
    return units;
}

void unit_extraction::track(const node& u) {
    const ProgramUnit* p = as_unit(u);
    if (p && p->begin > 0 && p->new_begin != 0 && p->new_end == 0)
        started_.insert(u);
    else
        started_.erase(u);
}

bool unit_extraction::belongs_here(const node& u) const {
    const ProgramUnit* p = as_unit(u);
    if (!p) return false;
    const file_key key = split(text_file(*p));
    return key.second == current_.second &&
           (key.first == current_.first || key.first == current_.first + ".cpp");
}

void unit_extraction::read(std::istream& in) {
    std::string line;
    while (std::getline(in, line)) {
        if (++physical_ % 1000 == 0) std::cerr << ".";
        if (line.size() > 2 && line[0] == '#')
            marker_line(line);
        else
            source_line(line);
    }
}

void unit_extraction::marker_line(const std::string& line) {
    int number = 0;
    std::string name;
    // A directive the preprocessor kept (#pragma, #ident) stands on a line of
    // its own in the source: it is counted, kept inside a unit's text, and not
    // written between units (where it would be glued to the next unit's prefix).
    if (!parse_marker(line, number, name)) {
        if (open_) {
            source_line(line);
        } else {
            split_lines_.text(line);
            ++line_;
        }
        return;
    }
    if (graph::is_working_directory_marker(name)) return;
    const std::string file = graph::source_path(name, g_.compile_dir);
    // The first marker names the source this file was preprocessed from.
    graph::main_file_of.emplace(path_, file);
    split_lines_.marker(file, number, line_marker_flag(line, 3),
                        line_marker_flag(line, 1) || line_marker_flag(line, 2));
    enter_file(file);
    line_ = number - 1;
}

// Adds a line read to the block's text; a piece of a line split around a
// system macro is joined to the line it continues, so that the text keeps the
// source's lines. Nothing is joined to a blank line or a directive (nor before
// the block's first line).
void unit_extraction::add_text(const std::string& line) {
    const std::size_t last_start = text_.size() < 2 ? 0 : text_.rfind('\n', text_.size() - 2) + 1;
    const std::size_t last_text = text_.find_first_not_of(" \t\n", last_start);
    const bool after_text = !text_.empty() && text_.back() == '\n' &&
                            last_text != std::string::npos && text_[last_text] != '#';
    const std::size_t first = line.find_first_not_of(" \t");
    if (piece_ && after_text) {
        if (first == std::string::npos) return;
        text_.pop_back();
        text_.erase(text_.find_last_not_of(" \t") + 1);
        text_ += ' ';
        text_.append(line, first, std::string::npos);
        text_ += '\n';
        return;
    }
    text_ += line + "\n";
}

void unit_extraction::source_line(const std::string& line) {
    piece_ = split_lines_.text(line);
    const int L = ++line_;
    g_.file_units = closed_;
    closed_now_ = false;
    const std::vector<node> units = concerned(L);
    for (const node& u : units) {
        ProgramUnit* p = as_unit(u);
        if (p->new_end != 0 || L < p->begin) continue;
        if (L == p->begin) {
            if (!open_) {
                head_ = u;
                open_ = true;
                text_.clear();
                g_.current_file = pending_; // the block's prefix
            }
            p->new_begin = static_cast<int>(physical_);
        }
        track(u);
        // A unit whose begin line this pass of the file skipped (a header
        // entered once for another section) has not started and cannot end.
        if (p->new_begin == 0) continue;
        g_.file_units.insert(u);
        if (L >= p->end) {
            // A function ends at its closing brace, anything else at a ";".
            const bool closes = line.find(p->is_func_define() ? '}' : ';') != std::string::npos;
            if (closes) {
                p->new_end = static_cast<int>(physical_);
                closed_.insert(u);
                closed_now_ = true;
                track(u);
            }
        }
    }
    // The open head collects the lines of files included inside it; a line is
    // taken once even when units of this file are open as well.
    const ProgramUnit* head = as_unit(head_);
    const bool head_elsewhere = open_ && head && head->new_end == 0 && !belongs_here(head_);
    if (head_elsewhere || !g_.file_units.empty()) add_text(line);

    if (closed_now_ && closed_ == g_.file_units) close_block();
    // The statement begun so far: what follows the last ";" and then the last
    // "}". What was kept before holds neither, so only the new line is searched.
    std::size_t fresh = pending_.size();
    pending_ += line;
    auto last = [this](char c, std::size_t from) {
        for (std::size_t at = pending_.size(); at > from; --at)
            if (pending_[at - 1] == c) return at - 1;
        return std::string::npos;
    };
    std::size_t cut = last(';', fresh);
    if (cut != std::string::npos) {
        pending_.erase(0, cut + 1);
        fresh = 0;
    }
    cut = last('}', fresh);
    if (cut != std::string::npos) pending_.erase(0, cut + 1);
}

void unit_extraction::close_block() {
    if (!open_) {
        // Units that closed without ever starting form no block of their own.
        closed_.clear();
        g_.file_units.clear();
        return;
    }
    add_positionless_neighbours();
    if (split_typedef_block()) return;

    node head = head_;
    node_set merged; // a head that gave way is not visited again
    for (const node& n : closed_) {
        if (n == head || merged.count(n)) continue;
        const std::string own = suffix(n.object->name);
        if (own != suffix(head.object->name) && own != "0") continue;
        const ProgramUnit* candidate = as_unit(n);
        const bool placed_definition = n.is_define() && candidate->begin > 0 && candidate->end > 0;
        const bool named_over_anonymous =
            anonymous_name(head.object->name) && !anonymous_name(n.object->name);
        if (placed_definition || named_over_anonymous) {
            merge_units(n, head);
            merged.insert(head);
            head = n;
        } else {
            merge_units(head, n);
            merged.insert(n);
        }
    }

    if (graph::config.accept("debug preprocess"))
        std::cout << "debug preprocess"
                  << ":" << text_ << std::endl;
    const std::string& prefix = g_.current_file;
    g_.unit_texts[head.id] = prefix.empty() ? text_ : prefix + " " + text_;

    collected_.push_back(head);
    for (const node& n : closed_)
        if (n.is_define() || n.is_static()) members_.push_back(n);
    forward_declarations(head);

    closed_.clear();
    g_.file_units.clear();
    open_ = false;
    head_ = node();
}

// `typedef struct S {...} T;` of a header: the structure and the typedef are
// read in one statement but stay two units. The typedef's text is `typedef
// struct S T;`, which needs nothing: the edges towards it go. The structure
// keeps the whole statement for now; once every fact file is read, it either
// takes the typedef back (every source that needs the typedef needs the
// structure whole) or loses it (join_typedef_statements).
bool unit_extraction::split_typedef_block() {
    if (g_.reduce_only) return false;
    const std::string& prefix = g_.current_file;
    const std::string text = prefix.empty() ? text_ : prefix + " " + text_;
    typedef_statement statement;
    if (!split_typedef_statement(text, statement)) return false;
    node_set block = closed_;
    block.insert(head_);
    std::vector<node> typedefs, others;
    node aggregate;
    for (const node& n : block) {
        const ProgramUnit* u = as_unit(n);
        if (!u || is_preprocessed_source(text_file(*u))) return false;
        if (n.object->name.compare(0, 5, "type:") == 0) {
            if (std::find(statement.names.begin(), statement.names.end(), n.object->name) ==
                statement.names.end())
                return false; // a typedef of another statement on these lines
            typedefs.push_back(n);
        } else {
            if (n.object->name == statement.aggregate) aggregate = n;
            others.push_back(n);
        }
    }
    if (typedefs.empty() || (!others.empty() && !aggregate.object)) return false;

    const node type = typedefs.front();
    for (std::size_t i = 1; i < typedefs.size(); ++i)
        merge_units(type, typedefs[i]);
    for (const node& n : others)
        if (n != aggregate) merge_units(aggregate, n);
    for (const edge& e : edges_at(type))
        if (e.to == type || (aggregate.object && e.from == type && e.to == aggregate)) {
            g_.edges.erase(e);
            sources_of_[e.to.id].erase(e.from.id);
        }
    g_.unit_texts[type.id] = statement.type_names;
    collected_.push_back(type);
    if (aggregate.object) {
        g_.unit_texts[aggregate.id] = text;
        collected_.push_back(aggregate);
        for (const node& t : typedefs)
            closed_.erase(t);
        forward_declarations(aggregate);
    }
    closed_.clear();
    g_.file_units.clear();
    open_ = false;
    head_ = node();
    return true;
}

// Units without a position (made while reading uses) that are both used by and
// using a unit of the block belong to the block.
void unit_extraction::add_positionless_neighbours() {
    node_set joining;
    for (const node& m : positionless_) {
        if (closed_.count(m)) continue;
        for (const node& c : closed_)
            if (g_.edge_before_forward_removal(c.id, m.id) &&
                g_.edge_before_forward_removal(m.id, c.id)) {
                joining.insert(m);
                break;
            }
    }
    closed_.insert(joining.begin(), joining.end());
}

void unit_extraction::merge_units(const node& head, const node& merged) {
    g_.nodes.erase(merged);
    ProgramUnit* h = as_unit(head);
    const ProgramUnit* m = as_unit(merged);
    h->begin = known_min(h->begin, m->begin);
    h->end = std::max(h->end, m->end);
    h->new_begin = known_min(h->new_begin, m->new_begin);
    h->new_end = std::max(h->new_end, m->new_end);
    if (m->is_static() && !h->static_unit) {
        const std::size_t hash = h->name.find('#');
        h->name.insert(hash == std::string::npos ? h->name.size() : hash, ":static:" + h->file());
    }
    track(head);
    track(merged);
    for (const edge& e : edges_at(merged)) {
        g_.edges.erase(e);
        sources_of_[e.to.id].erase(e.from.id);
        const edge renamed(e.from == merged ? head : e.from, e.to == merged ? head : e.to);
        if (g_.edges.insert(renamed).second) sources_of_[renamed.to.id].insert(renamed.from.id);
    }
}

std::vector<edge> unit_extraction::edges_at(const node& n) const {
    std::vector<edge> touching;
    for (auto it = g_.edges.lower_bound(edge::first_from(n.id));
         it != g_.edges.end() && it->from.id == n.id; ++it)
        touching.push_back(*it);
    auto sources = sources_of_.find(n.id);
    if (sources != sources_of_.end())
        for (int from : sources->second)
            if (from != n.id) {
                auto e = g_.edges.find(edge::key(from, n.id));
                if (e != g_.edges.end()) touching.push_back(*e);
            }
    std::sort(touching.begin(), touching.end());
    return touching;
}

namespace {
bool identifier_char(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Whether `text` first names the tag of `forward` ("struct X;\n") inside
// parentheses (a prototype's parameter list, where the tag would have
// prototype scope) rather than at file scope, which declares it.
bool tag_first_named_in_parentheses(const std::string& text, const std::string& forward) {
    const std::string tag = forward.substr(0, forward.size() - 2);
    for (std::size_t at = text.find(tag); at != std::string::npos; at = text.find(tag, at + 1)) {
        const std::size_t after = at + tag.size();
        if ((at > 0 && identifier_char(text[at - 1])) ||
            (after < text.size() && identifier_char(text[after])))
            continue;
        return text.find('(') < at;
    }
    return false;
}
} // namespace

// An aggregate that the head uses but that is not read with it is declared
// ahead of the head's text ("struct list;"), so that a prototype naming it
// does not give the tag prototype scope. The dependency stays: users of the
// head may need the complete type without naming it (a member of a returned
// pointer, a structure passed by value), and definitions need it anyway.
// An aggregate the block's units need no more than the tag of (their edges
// were dropped while loading) is declared the same way; a typedef or an
// aggregate needs that only where it first names the tag inside parentheses
// (a function pointer's parameters), since elsewhere naming it declares it.
void unit_extraction::forward_declarations(const node& head) {
    const bool type_like = head.is_aggr() || head.object->name.compare(0, 5, "type:") == 0;
    std::vector<node> aggregates;
    // What a definition uses is always written before it: it needs no
    // forward declaration of what it needs whole.
    if (!type_like && !head.is_define())
        for (const edge& e : edges_at(head))
            if (e.to == head && e.from.is_aggr() && !closed_.count(e.from) &&
                !anonymous_name(e.from.object->name)) // an unnamed one cannot be declared
                aggregates.push_back(e.from);
    std::string& text = g_.unit_texts[head.id];
    node_set block = closed_;
    block.insert(head);
    node_set tag_only;
    for (const node& m : block) {
        auto found = g_.tag_only_aggregates.find(m.id);
        if (found == g_.tag_only_aggregates.end()) continue;
        for (const node& a : found->second)
            if (!block.count(a) &&
                (!type_like ||
                 tag_first_named_in_parentheses(text, graph::get_forward_type(a.object->name))))
                tag_only.insert(a);
    }
    for (const node& a : tag_only)
        if (std::find(aggregates.begin(), aggregates.end(), a) == aggregates.end())
            aggregates.push_back(a);
    for (const node& a : aggregates)
        text = graph::get_forward_type(a.object->name) + text;
}
