#include "parser.h"

#include "tables.h"

#include <unordered_set>

namespace {

// Fields of the attribute block, by attribute name. Unknown names (including
// "value") are ignored.
enum class field { none, beg, end, type, op, visb, name, extern_, static_, complete };

field field_of(std::string_view n) {
    switch (n.size()) {
    case 2:
        return n == "op" ? field::op : field::none;
    case 3:
        return n == "beg" ? field::beg : n == "end" ? field::end : field::none;
    case 4:
        return n == "type"   ? field::type
               : n == "visb" ? field::visb
               : n == "name" ? field::name
                             : field::none;
    case 6:
        return n == "extern" ? field::extern_ : n == "static" ? field::static_ : field::none;
    case 8:
        return n == "complete" ? field::complete : field::none;
    default:
        return field::none;
    }
}

std::string_view* slot(attributes& a, field f) {
    switch (f) {
    case field::beg:
        return &a.beg;
    case field::end:
        return &a.end;
    case field::type:
        return &a.type;
    case field::op:
        return &a.op;
    case field::visb:
        return &a.visb;
    case field::name:
        return &a.name;
    case field::extern_:
        return &a.extern_;
    case field::static_:
        return &a.static_;
    case field::complete:
        return &a.complete;
    case field::none:
        break;
    }
    return nullptr;
}

bool starts_record(token_kind k) {
    return k == token_kind::instance || k == token_kind::lparen;
}

class parser {
  public:
    parser(std::istream& in, std::ostream& diagnostics, bool stop_at_error)
        : scan_(in), diag_(diagnostics), stop_(stop_at_error) {}

    parse_result run() {
        advance();
        while (tok_.kind != token_kind::end) {
            bool ok = false;
            if (tok_.kind == token_kind::instance)
                ok = node_record();
            else if (tok_.kind == token_kind::lparen)
                ok = edge_record();
            if (ok) {
                ++result_.records;
                continue;
            }
            report();
            if (stop_) break;
            recover();
        }
        result_.read_failed = scan_.read_failed();
        return result_;
    }

  private:
    void advance() { tok_ = scan_.next(); }

    // Copies the current token's text if it is a word, then advances.
    bool take_word(std::string& out) {
        if (tok_.kind != token_kind::word) return false;
        out.assign(tok_.text.data(), tok_.text.size());
        advance();
        return true;
    }
    bool take(token_kind k) {
        if (tok_.kind != k) return false;
        advance();
        return true;
    }

    // "{" (word "=" word)* "}" into attrs. The leftmost occurrence of an
    // attribute wins, as when the list is evaluated from its end.
    bool block(attributes& attrs) {
        if (!take(token_kind::lbrace)) return false;
        attrs = attributes{};
        unsigned assigned = 0;
        while (!take(token_kind::rbrace)) {
            if (!take_word(attr_name_) || !take(token_kind::equals)) return false;
            if (tok_.kind != token_kind::word) return false;
            field f = field_of(attr_name_);
            unsigned bit = 1u << static_cast<unsigned>(f);
            if (f != field::none && !(assigned & bit)) {
                assigned |= bit;
                std::string_view v = tok_.text;
                if (f == field::name)
                    v = v.size() < 2 ? std::string_view() : v.substr(1, v.size() - 2);
                *slot(attrs, f) = the_texts.store(v);
            }
            advance();
        }
        return true;
    }

    bool node_record() {
        advance(); // "$INSTANCE"
        if (!take_word(id_) || !take_word(kind_) || !take_word(ignored_)) return false;
        if (!block(attrs_)) return false;
        node_info& n = the_nodes[the_nodes.intern(id_)];
        n.kind = kind_text(kind_);
        n.file_scope = no_node;
        n.counter = 0;
        n.attrs = attrs_;
        return true;
    }

    bool edge_record() {
        advance(); // "("
        if (!take_word(kind_) || !take_word(id_) || !take_word(target_)) return false;
        if (!take(token_kind::rparen) || !block(attrs_)) return false;
        the_edges.push_back(
            {edge_kinds.intern(kind_), the_nodes.intern(id_), the_nodes.intern(target_)});
        return true;
    }

    // Kinds repeat on every record; each distinct kind text is stored once.
    std::string_view kind_text(const std::string& kind) {
        auto it = kinds_.find(kind);
        if (it != kinds_.end()) return *it;
        return *kinds_.insert(the_texts.store(kind)).first;
    }

    void report() {
        ++result_.errors;
        diag_ << "\nparse error at line " << tok_.line << "\n";
    }

    // Skips to the next token that can start a record. The offending token
    // itself is kept when it can.
    void recover() {
        while (tok_.kind != token_kind::end && !starts_record(tok_.kind))
            advance();
    }

    ta_scanner scan_;
    std::ostream& diag_;
    bool stop_;
    token tok_;
    parse_result result_;
    std::string id_, kind_, ignored_, target_, attr_name_;
    std::unordered_set<std::string_view> kinds_;
    attributes attrs_;
};

} // namespace

parse_result parse_ta(std::istream& in, std::ostream& diagnostics, bool stop_at_error) {
    parse_result r = parser(in, diagnostics, stop_at_error).run();
    freeze_tables();
    return r;
}
