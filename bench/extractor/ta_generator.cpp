#include "ta_generator.h"

#include <string>
#include <vector>

namespace {

class writer {
  public:
    writer(std::ostream& out, unsigned seed) : out_(out), state_(seed | 1u) {}

    long node(const char* kind, const std::string& attrs) {
        long id = next_id_++;
        out_ << "$INSTANCE " << id << ' ' << kind << " x { " << attrs << " }\n";
        return id;
    }
    void edge(const char* kind, long from, long to) {
        out_ << '(' << kind << ' ' << from << ' ' << to << ") {}\n";
    }
    void son(long from, long to) { edge("cArcSon", from, to); }
    unsigned pick(unsigned n) { // small deterministic generator
        state_ = state_ * 1103515245u + 12345u;
        return (state_ >> 16) % n;
    }
    std::string pos() {
        line_ += 1 + pick(3);
        return "beg = " + std::to_string(line_) + "." + std::to_string(1 + pick(8)) +
               " end = " + std::to_string(line_ + pick(4)) + "." + std::to_string(1 + pick(40));
    }

  private:
    std::ostream& out_;
    unsigned state_;
    long next_id_ = 1000;
    long line_ = 1;
};

std::string named(const std::string& name) {
    return "name = \"" + name + "\"";
}

struct header_units {
    std::vector<long> aliases, pointers, enums;
    std::vector<std::string> functions, enumerators, externs;
};

// One header's declarations, `count` groups of them.
void fill_header(writer& w, long scope, const std::string& tag, int count, long int_type,
                 header_units& units) {
    for (int j = 0; j < count; ++j) {
        std::string n = tag + "_" + std::to_string(j);
        long e = w.node("cEnumType", named("e_" + n) + " " + w.pos());
        w.son(scope, e);
        for (int k = 0; k < 4; ++k) {
            std::string en = "E_" + n + "_" + std::to_string(k);
            w.son(e, w.node("cEnumerator", named(en) + " " + w.pos()));
            units.enumerators.push_back(en);
        }
        long s = w.node("cAggrType", named("s_" + n) + " type = struct " + w.pos());
        w.son(scope, s);
        long t = w.node("cAliasType", named("t_" + n) + " " + w.pos());
        w.son(scope, t);
        w.edge("cInstance", t, s);
        long p = w.node("cPtrType", named("t_" + n + " *"));
        w.edge("cInstance", p, t);
        const long member_types[] = {
            int_type, e,
            units.pointers.empty() ? p : units.pointers[w.pick(units.pointers.size())]};
        for (int m = 0; m < 3; ++m) {
            long o =
                w.node("cObject", named("m" + std::to_string(m)) + " visb = public " + w.pos());
            w.son(s, o);
            w.edge("cInstance", o, member_types[m]);
        }
        long f = w.node("cFunction", named("f_" + n) + " " + w.pos());
        w.son(scope, f);
        for (int a = 0; a < 2; ++a) {
            long par = w.node("cFormalFctParam", named("a" + std::to_string(a)) + " " + w.pos());
            w.son(f, par);
            w.edge("cInstance", par, a == 0 ? p : int_type);
        }
        long x = w.node("cObject", named("x_" + n) + " extern = True " + w.pos());
        w.son(scope, x);
        w.edge("cInstance", x, t);
        units.aliases.push_back(t);
        units.pointers.push_back(p);
        units.enums.push_back(e);
        units.functions.push_back("f_" + n);
        units.externs.push_back("x_" + n);
    }
}

void function_body(writer& w, long function, long int_type, const header_units& u) {
    long body = w.node("cBlock", w.pos());
    w.son(function, body);
    for (int i = 0; i < 3; ++i) {
        long local = w.node("cObject", named("l" + std::to_string(i)) + " " + w.pos());
        w.son(body, local);
        w.edge("cInstance", local, i == 0 ? int_type : u.aliases[w.pick(u.aliases.size())]);
    }
    long cond = w.node("cIf", w.pos());
    w.son(body, cond);
    long inner = w.node("cBlock", w.pos());
    w.son(cond, inner);
    long call = w.node("cNameRef", named(u.functions[w.pick(u.functions.size())]) + " " + w.pos());
    w.son(inner, call);
    long loop = w.node("cForLoop", w.pos());
    w.son(body, loop);
    long tmp = w.node("cObject", named("it") + " " + w.pos());
    w.son(loop, tmp);
    w.edge("cInstance", tmp, u.pointers[w.pick(u.pointers.size())]);
    long ext = w.node("cNameRef", named(u.externs[w.pick(u.externs.size())]) + " " + w.pos());
    w.son(loop, ext);
    long ret = w.node("cReturn", w.pos());
    w.son(body, ret);
    long sub = w.node("cBinaryOperator", "op = array-ref " + w.pos());
    w.edge("cArcOpd", ret, sub);
    long array = w.node("cNameRef", named("table") + " " + w.pos());
    long index =
        w.node("cNameRef", named(u.enumerators[w.pick(u.enumerators.size())]) + " " + w.pos());
    w.edge("cArcOpd", sub, array);
    w.edge("cArcOpd", sub, index);
}

} // namespace

void generate_ta(std::ostream& out, int scale, unsigned seed) {
    writer w(out, seed);
    out << "$FACT TUPLE\n";
    long compil = w.node("cScopeCompil", named("gen.c"));
    long main_file = w.node("cScopeFile", named("gen.c"));
    w.son(compil, main_file);
    long int_type = w.node("cBuiltInType", named("int"));
    header_units units;
    // Headers nest four deep, then start a new chain from the main file.
    const int headers = 8 * scale, groups = 40;
    long parent = main_file;
    for (int h = 0; h < headers; ++h) {
        long scope = w.node("cScopeFile", named("inc/h" + std::to_string(h) + ".h"));
        w.son(h % 4 == 0 ? main_file : parent, scope);
        fill_header(w, scope, "h" + std::to_string(h), groups, int_type, units);
        parent = scope;
    }
    long table = w.node("cObject", named("table") + " " + w.pos());
    w.son(main_file, table);
    w.edge("cInstance", table, int_type);
    for (int g = 0; g < 20 * scale; ++g) {
        long v = w.node("cObject", named("g" + std::to_string(g)) + " " + w.pos());
        w.son(main_file, v);
        w.edge("cInstance", v, units.enums[w.pick(units.enums.size())]);
        long init = w.node("cInitList", w.pos());
        w.edge("cArcInitVal", v, init);
        w.son(init, w.node("cNameRef", named(units.enumerators[w.pick(units.enumerators.size())]) +
                                           " " + w.pos()));
    }
    for (std::size_t f = 0; f < units.functions.size(); ++f) {
        long def = w.node("cFunction", named(units.functions[f]) + " " + w.pos());
        w.son(main_file, def);
        long par = w.node("cFormalFctParam", named("a0") + " " + w.pos());
        w.son(def, par);
        w.edge("cInstance", par, units.pointers[f]);
        function_body(w, def, int_type, units);
    }
}

void generate_scope_chain_ta(std::ostream& out, int depth) {
    auto id = [](const char* prefix, int i) { return std::string(prefix) + std::to_string(i); };
    out << "$INSTANCE C cScopeCompil x { name = \"main.c\" }\n";
    out << "$INSTANCE F0 cScopeFile x { name = \"main.c\" }\n(cArcSon C F0) {}\n";
    for (int i = 1; i <= depth; ++i) {
        out << "$INSTANCE " << id("F", i) << " cScopeFile x { name = \"h" << i << ".h\" }\n";
        out << "(cArcSon " << id("F", i - 1) << ' ' << id("F", i) << ") {}\n";
        out << "$INSTANCE " << id("f", i) << " cFunction x { name = \"f" << i
            << "\" beg = 1.1 end = 1.10 }\n";
        out << "$INSTANCE " << id("b", i) << " cBlock x { beg = 1.11 end = 1.20 }\n";
        out << "(cArcSon " << id("F", i) << ' ' << id("f", i) << ") {}\n";
        out << "(cArcSon " << id("f", i) << ' ' << id("b", i) << ") {}\n";
    }
}
