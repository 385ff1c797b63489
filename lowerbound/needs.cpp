#include "needs.h"

#include <cctype>
#include <map>
#include <string>

namespace {

constexpr size_t nowhere = static_cast<size_t>(-1);

std::string take(CXString s) {
    const char* c = clang_getCString(s);
    std::string text = c ? c : "";
    clang_disposeString(s);
    return text;
}

size_t offset_of(CXSourceLocation location) {
    CXFile file = nullptr;
    unsigned line = 0, column = 0, offset = 0;
    clang_getFileLocation(location, &file, &line, &column, &offset);
    return file ? offset : nowhere;
}

size_t start_of(CXCursor c) {
    return offset_of(clang_getRangeStart(clang_getCursorExtent(c)));
}

bool is_record(CXCursorKind k) {
    return k == CXCursor_StructDecl || k == CXCursor_UnionDecl;
}

bool at_file_scope(CXCursor c) {
    return clang_getCursorKind(clang_getCursorSemanticParent(c)) == CXCursor_TranslationUnit;
}

std::vector<CXCursor> children_of(CXCursor c) {
    std::vector<CXCursor> children;
    clang_visitChildren(
        c,
        [](CXCursor child, CXCursor, CXClientData data) {
            static_cast<std::vector<CXCursor>*>(data)->push_back(child);
            return CXChildVisit_Continue;
        },
        &children);
    return children;
}

// One declaration of a function or variable at file scope.
struct declaration {
    size_t offset = 0;
    int statement = -1;
    bool definition = false;
    bool in_main = false;
    bool function = false;
    bool external = false; // external linkage
    bool prototype = true; // a function declared with its parameter types
    // Kinds of the attributes spelled in this declaration's own statement
    // (those a redeclaration inherits point back to where they were spelled).
    std::set<int> attributes;
};

class analysis {
  public:
    analysis(CXTranslationUnit unit, const preprocessed_text& text,
             const std::vector<statement>& statements, const warning_needs& warnings)
        : unit_(unit), text_(text), statements_(statements), warnings_(warnings),
          cursors_(statements.size()), reducible_(statements.size(), true) {
        result_.statements.assign(statements.size(), keep::none);
        result_.forward_tags.resize(statements.size());
    }

    needed_text run() {
        collect_top_level();
        add_roots();
        while (!work_.empty()) {
            int s = work_.back();
            work_.pop_back();
            process(s);
        }
        return result_;
    }

  private:
    bool in_main(int s) const { return text_.from_main_file(statements_[s].begin); }

    bool inside_body(int s, size_t offset) const {
        for (const auto& [begin, end] : statements_[s].bodies)
            if (offset >= begin && offset < end) return true;
        return false;
    }

    void collect_top_level() {
        clang_visitChildren(
            clang_getTranslationUnitCursor(unit_),
            [](CXCursor c, CXCursor, CXClientData data) {
                static_cast<analysis*>(data)->top_level(c);
                return CXChildVisit_Continue;
            },
            this);
        for (size_t s = 0; s < statements_.size(); ++s)
            if (statements_[s].other_braces || statements_[s].directive) reducible_[s] = false;
    }

    void top_level(CXCursor c) {
        size_t offset = start_of(c);
        if (offset == nowhere) return;
        int s = statement_at(statements_, offset);
        if (s < 0) return;
        cursors_[s].push_back(c);
        CXCursorKind k = clang_getCursorKind(c);
        if (!is_record(k) && k != CXCursor_TypedefDecl) reducible_[s] = false;
        if (k == CXCursor_FunctionDecl || k == CXCursor_VarDecl) {
            declaration d;
            d.offset = offset;
            d.statement = s;
            d.definition = clang_isCursorDefinition(c);
            d.in_main = in_main(s);
            d.function = k == CXCursor_FunctionDecl;
            d.external = clang_getCursorLinkage(c) == CXLinkage_External;
            if (d.function) d.prototype = written_with_prototype(c);
            for (const CXCursor& child : children_of(c)) {
                size_t at = start_of(child);
                if (clang_isAttribute(clang_getCursorKind(child)) && at != nowhere &&
                    at >= statements_[s].begin && at < statements_[s].end)
                    d.attributes.insert(clang_getCursorKind(child));
            }
            const std::string usr = take(clang_getCursorUSR(c));
            declarations_[usr].push_back(d);
            if (d.function) function_named_.emplace(take(clang_getCursorSpelling(c)), usr);
            // A definition with external linkage in a header is part of the
            // unit's object whether or not the unit refers to it.
            bool inline_function = k == CXCursor_FunctionDecl && clang_Cursor_isFunctionInlined(c);
            if (d.definition && !d.in_main && !inline_function &&
                clang_getCursorLinkage(c) == CXLinkage_External)
                roots_.push_back(s);
        }
    }

    // Whether a function declaration spells its parameter types: not "f()" nor
    // an old-style definition "f(a, b) int a; char *b; {...}", whose
    // parameters are declared after the parenthesis. Calls through a
    // declaration without a prototype compile differently (argument
    // promotions, the vector register count of variadic calls).
    bool written_with_prototype(CXCursor function) const {
        const std::string& s = text_.text();
        size_t i = offset_of(clang_getCursorLocation(function));
        if (i == nowhere) return true;
        while (i < s.size() && (isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_'))
            ++i;
        while (i < s.size() && (isspace(static_cast<unsigned char>(s[i])) || s[i] == ')'))
            ++i;
        if (i >= s.size() || s[i] != '(') return true; // declared through a typedef
        size_t close = i;
        for (int depth = 0; close < s.size(); ++close) {
            if (s[close] == '(') ++depth;
            if (s[close] == ')' && --depth == 0) break;
        }
        if (s.find_first_not_of(" \t\n", i + 1) == close) return false;
        for (const CXCursor& child : children_of(function))
            if (clang_getCursorKind(child) == CXCursor_ParmDecl) {
                size_t at = offset_of(clang_getCursorLocation(child));
                if (at != nowhere && at > close) return false;
            }
        return true;
    }

    void add_roots() {
        for (size_t s = 0; s < statements_.size(); ++s) {
            const statement& st = statements_[s];
            if (in_main(static_cast<int>(s))) {
                result_.statements[s] = keep::whole;
                if (!st.directive) work_.push_back(static_cast<int>(s));
            } else if (st.directive && keeps_layout_or_linkage(st)) {
                result_.statements[s] = keep::whole;
            }
        }
        for (int s : roots_)
            need(s, keep::whole);
        // A header's declaration of what the unit itself declares may give it
        // attributes (visibility, aliases, sections) that change the object,
        // unless the unit's own declarations spell them too.
        for (const auto& [usr, declarations] : declarations_) {
            bool declared_here = false;
            std::set<int> spelled_here;
            for (const declaration& d : declarations)
                if (d.in_main) {
                    declared_here = true;
                    spelled_here.insert(d.attributes.begin(), d.attributes.end());
                }
            if (!declared_here) continue;
            prototype_for_warnings(declarations);
            array_size_for_definition(declarations);
            for (const declaration& d : declarations)
                for (int kind : d.attributes)
                    if (!d.in_main && !spelled_here.count(kind)) {
                        need(d.statement, keep::whole);
                        break;
                    }
        }
    }

    // The first prototype in a header of a function the unit defines, when the
    // unit's warnings ask for one before the definition and the unit's own file
    // has none there.
    void prototype_for_warnings(const std::vector<declaration>& declarations) {
        const declaration* definition = nullptr;
        for (const declaration& d : declarations)
            if (d.in_main && d.definition && d.function) definition = &d;
        if (!definition) return;
        bool wanted = (warnings_.prototype_before_definition && definition->external) ||
                      (warnings_.prototype_before_old_style && !definition->prototype);
        if (!wanted) return;
        for (const declaration& d : declarations)
            if (d.in_main && d.prototype && d.offset < definition->offset) return;
        for (const declaration& d : declarations)
            if (!d.in_main && d.prototype && d.offset < definition->offset) {
                need(d.statement, keep::whole);
                return;
            }
    }

    // A variable the unit defines as an array of unknown size (`int a[] = {1};`)
    // takes its size from a header's earlier declaration (`extern int a[10];`):
    // the object is that large only after that declaration.
    void array_size_for_definition(const std::vector<declaration>& declarations) {
        for (const declaration& d : declarations) {
            if (!d.in_main || !d.definition || d.function || array_brackets(d) != 1) continue;
            for (const declaration& h : declarations)
                if (!h.in_main && h.offset < d.offset && array_brackets(h) == 2) {
                    need(h.statement, keep::whole);
                    return;
                }
        }
    }

    // The first array brackets of a variable's declarator, before any
    // initializer: 0 none, 1 empty ("[]"), 2 with a size.
    int array_brackets(const declaration& d) const {
        const std::string& t = text_.text();
        const size_t end = statements_[d.statement].end;
        for (size_t i = d.offset; i < end && t[i] != '=' && t[i] != ';'; ++i) {
            if (t[i] != '[') continue;
            const size_t next = t.find_first_not_of(" \t\n", i + 1);
            return next < end && t[next] == ']' ? 1 : 2;
        }
        return 0;
    }

    // #pragma lines of headers that change layout or linkage; the others
    // (diagnostics, system_header) are left out.
    bool keeps_layout_or_linkage(const statement& st) const {
        std::string line = text_.text().substr(st.begin, st.end - st.begin);
        for (const char* word : {"pack", "visibility", "weak", "redefine_extname"})
            if (line.find(word) != std::string::npos) return true;
        return false;
    }

    void need(int s, keep level) {
        if (s < 0 || in_main(s)) return;
        if (level == keep::forward && !reducible_[s]) level = keep::whole;
        if (level <= result_.statements[s]) return;
        result_.statements[s] = level;
        work_.push_back(s);
    }

    int statement_of(CXCursor c) const {
        size_t offset = start_of(c);
        return offset == nowhere ? -1 : statement_at(statements_, offset);
    }

    // The whole definition of a struct, union or enum.
    void need_complete(CXCursor tag) {
        CXCursor definition = clang_getCursorDefinition(tag);
        if (clang_Cursor_isNull(definition)) return;
        need(statement_of(definition), keep::whole);
    }

    // Only a declaration of a struct or union tag, in force before its first use:
    // its first declaration, cut down to the tag, or "struct S;" where that
    // declaration cannot be cut down.
    void need_declared(CXCursor tag) {
        CXCursor first = clang_getCanonicalCursor(tag);
        size_t offset = start_of(first);
        if (offset == nowhere) return;
        int s = statement_at(statements_, offset);
        if (s < 0 || in_main(s)) return;
        std::string name = take(clang_getCursorSpelling(first));
        bool named = !name.empty() && name.find(' ') == std::string::npos;
        if (!named) {
            need_complete(tag);
        } else if (reducible_[s] && !inside_body(s, offset)) {
            need(s, keep::forward);
        } else if (result_.statements[s] == keep::none) {
            result_.forward_tags[s].insert(
                (clang_getCursorKind(first) == CXCursor_UnionDecl ? "union " : "struct ") + name);
        }
    }

    // A reference to a function or variable at `use`: a declaration of it before
    // the use, and its definition when a header holds it (static and inline
    // functions).
    void need_declaration(CXCursor target, size_t use) {
        need_declaration(take(clang_getCursorUSR(target)), use);
    }
    void need_declaration(const std::string& usr, size_t use) {
        auto found = declarations_.find(usr);
        if (found == declarations_.end()) return;
        const declaration* header_definition = nullptr;
        bool declared_before = false;
        for (const declaration& d : found->second) {
            if (d.definition && !d.in_main && !header_definition) header_definition = &d;
            if (d.in_main && d.offset < use && d.prototype) declared_before = true;
        }
        if (header_definition) {
            need(header_definition->statement, keep::whole);
            if (header_definition->offset < use) declared_before = true;
        }
        if (declared_before) return;
        for (const declaration& d : found->second)
            if (!d.in_main && d.offset < use) {
                need(d.statement, keep::whole);
                return;
            }
    }

    // Objects, members and values of a struct or union type need it complete,
    // arrays of it too.
    void need_complete_type(CXType type) {
        CXType t = clang_getCanonicalType(type);
        for (int depth = 0; depth < 64; ++depth) {
            if (t.kind == CXType_ConstantArray || t.kind == CXType_IncompleteArray ||
                t.kind == CXType_VariableArray || t.kind == CXType_DependentSizedArray)
                t = clang_getCanonicalType(clang_getArrayElementType(t));
            else if (t.kind == CXType_Atomic)
                t = clang_getCanonicalType(clang_Type_getValueType(t));
            else
                break;
        }
        if (t.kind == CXType_Record || t.kind == CXType_Enum)
            need_complete(clang_getTypeDeclaration(t));
    }

    // Any array in a declarator needs its element type complete, even behind a
    // pointer; pointers and function types otherwise do not. Named types stop
    // the walk: their own declaration answers for them.
    void need_array_elements(CXType t, int depth = 0) {
        if (depth > 32) return;
        switch (t.kind) {
        case CXType_Pointer:
        case CXType_BlockPointer:
            need_array_elements(clang_getPointeeType(t), depth + 1);
            break;
        case CXType_ConstantArray:
        case CXType_IncompleteArray:
        case CXType_VariableArray:
        case CXType_DependentSizedArray:
            need_complete_type(clang_getArrayElementType(t));
            need_array_elements(clang_getArrayElementType(t), depth + 1);
            break;
        case CXType_FunctionProto:
        case CXType_FunctionNoProto: {
            need_array_elements(clang_getResultType(t), depth + 1);
            int n = clang_getNumArgTypes(t);
            for (int i = 0; i < n; ++i)
                need_array_elements(clang_getArgType(t, i), depth + 1);
            break;
        }
        case CXType_Elaborated:
            need_array_elements(clang_Type_getNamedType(t), depth + 1);
            break;
        case CXType_Attributed:
            need_array_elements(clang_Type_getModifiedType(t), depth + 1);
            break;
        case CXType_Atomic:
            need_complete_type(clang_Type_getValueType(t));
            break;
        case CXType_Unexposed: {
            CXType canonical = clang_getCanonicalType(t);
            if (canonical.kind != CXType_Unexposed) need_array_elements(canonical, depth + 1);
            break;
        }
        default:
            break;
        }
    }

    std::vector<std::string> spellings(CXSourceRange range) {
        CXToken* tokens = nullptr;
        unsigned count = 0;
        clang_tokenize(unit_, range, &tokens, &count);
        std::vector<std::string> words;
        for (unsigned i = 0; i < count; ++i)
            words.push_back(take(clang_getTokenSpelling(unit_, tokens[i])));
        clang_disposeTokens(unit_, tokens, count);
        return words;
    }

    // The struct or union a pointer expression points to, or a null cursor.
    static CXCursor pointee_record(CXCursor expression) {
        CXType t = clang_getCanonicalType(clang_getCursorType(expression));
        if (t.kind != CXType_Pointer) return clang_getNullCursor();
        CXType pointee = clang_getCanonicalType(clang_getPointeeType(t));
        return pointee.kind == CXType_Record ? clang_getTypeDeclaration(pointee)
                                             : clang_getNullCursor();
    }

    // Pointer arithmetic (p + n, p - q, p += n, ++p, p--) needs the size of
    // what the pointer points to.
    void pointer_arithmetic(CXCursor c, CXCursorKind k) {
        std::vector<CXCursor> operands = children_of(c);
        if (k == CXCursor_UnaryOperator && operands.size() == 1) {
            CXCursor record = pointee_record(operands[0]);
            if (clang_Cursor_isNull(record)) return;
            CXSourceRange whole = clang_getCursorExtent(c);
            CXSourceRange inner = clang_getCursorExtent(operands[0]);
            for (CXSourceRange part :
                 {clang_getRange(clang_getRangeStart(whole), clang_getRangeStart(inner)),
                  clang_getRange(clang_getRangeEnd(inner), clang_getRangeEnd(whole))})
                for (const std::string& word : spellings(part))
                    if (word == "++" || word == "--") return need_complete(record);
        } else if (operands.size() == 2) {
            CXCursor record = pointee_record(operands[0]);
            if (clang_Cursor_isNull(record)) record = pointee_record(operands[1]);
            if (clang_Cursor_isNull(record)) return;
            CXSourceRange between =
                clang_getRange(clang_getRangeEnd(clang_getCursorExtent(operands[0])),
                               clang_getRangeStart(clang_getCursorExtent(operands[1])));
            for (const std::string& word : spellings(between))
                if (word == "+" || word == "-" || word == "+=" || word == "-=")
                    return need_complete(record);
        }
    }

    // sizeof and _Alignof of a type name need the type complete unless it is a
    // pointer; of an expression, the expression's own type answers.
    void size_of_type(CXCursor c) {
        std::vector<CXCursor> operands = children_of(c);
        for (const CXCursor& operand : operands)
            if (clang_isExpression(clang_getCursorKind(operand))) return;
        std::vector<std::string> words = spellings(clang_getCursorExtent(c));
        if (words.empty() ||
            (words[0] != "sizeof" && words[0] != "_Alignof" && words[0] != "__alignof__" &&
             words[0] != "__alignof" && words[0] != "alignof"))
            return;
        for (const std::string& word : words)
            if (word == "*") return;
        for (const CXCursor& operand : operands)
            if (clang_getCursorKind(operand) == CXCursor_TypeRef)
                need_complete_type(clang_getCursorType(operand));
    }

    void apply(CXCursor c, CXCursor parent) {
        CXCursorKind k = clang_getCursorKind(c);
        switch (k) {
        case CXCursor_DeclRefExpr: {
            CXCursor target = clang_getCursorReferenced(c);
            CXCursorKind tk = clang_getCursorKind(target);
            if (tk == CXCursor_EnumConstantDecl)
                need_complete(clang_getCursorSemanticParent(target));
            else if ((tk == CXCursor_FunctionDecl || tk == CXCursor_VarDecl) &&
                     at_file_scope(target))
                need_declaration(target, start_of(c));
            break;
        }
        case CXCursor_MemberRefExpr:
        case CXCursor_MemberRef: {
            CXCursor field = clang_getCursorReferenced(c);
            if (clang_getCursorKind(field) == CXCursor_FieldDecl)
                need_complete(clang_getCursorSemanticParent(field));
            break;
        }
        case CXCursor_TypeRef: {
            CXCursor target = clang_getCursorReferenced(c);
            CXCursorKind tk = clang_getCursorKind(target);
            if (tk == CXCursor_TypedefDecl)
                need(statement_of(target), keep::forward);
            else if (is_record(tk))
                need_declared(target);
            else if (tk == CXCursor_EnumDecl)
                need_complete(target);
            break;
        }
        case CXCursor_FieldDecl:
            need_complete_type(clang_getCursorType(c));
            need_array_elements(clang_getCursorType(c));
            break;
        case CXCursor_VarDecl:
            if (clang_isCursorDefinition(c)) need_complete_type(clang_getCursorType(c));
            need_array_elements(clang_getCursorType(c));
            break;
        case CXCursor_ParmDecl:
            if (clang_getCursorKind(parent) == CXCursor_FunctionDecl &&
                clang_isCursorDefinition(parent))
                need_complete_type(clang_getCursorType(c));
            need_array_elements(clang_getCursorType(c));
            break;
        case CXCursor_FunctionDecl:
            if (clang_isCursorDefinition(c))
                need_complete_type(clang_getResultType(clang_getCursorType(c)));
            need_array_elements(clang_getCursorType(c));
            break;
        case CXCursor_TypedefDecl:
            need_array_elements(clang_getTypedefDeclUnderlyingType(c));
            break;
        case CXCursor_BinaryOperator:
        case CXCursor_CompoundAssignOperator:
        case CXCursor_UnaryOperator:
            pointer_arithmetic(c, k);
            break;
        case CXCursor_UnaryExpr:
            size_of_type(c);
            break;
        default:
            break;
        }
        if (clang_isExpression(k)) need_complete_type(clang_getCursorType(c));
    }

    struct visit_state {
        analysis* self;
        int statement;
        bool cut; // the statement is kept without its bodies
    };

    // A deallocator named in an attribute, `__attribute__((__malloc__(fclose,
    // 1)))`: libclang shows no reference to it, but the declaration must see
    // one of it before.
    void attribute_functions(int s) {
        const std::string& t = text_.text();
        const statement& st = statements_[s];
        for (const char* word : {"__malloc__", "malloc"}) {
            const std::string w(word);
            for (size_t at = t.find(w, st.begin); at != std::string::npos && at < st.end;
                 at = t.find(w, at + w.size())) {
                auto is_name = [](char c) {
                    return isalnum(static_cast<unsigned char>(c)) || c == '_';
                };
                if ((at > 0 && is_name(t[at - 1])) || is_name(t[at + w.size()])) continue;
                size_t i = t.find_first_not_of(" \t\n", at + w.size());
                if (i >= st.end || t[i] != '(') continue;
                i = t.find_first_not_of(" \t\n", i + 1);
                size_t end = i;
                while (end < st.end && is_name(t[end]))
                    ++end;
                if (end == i) continue;
                auto named = function_named_.find(t.substr(i, end - i));
                if (named != function_named_.end()) need_declaration(named->second, at);
            }
        }
    }

    void process(int s) {
        attribute_functions(s);
        visit_state state{this, s, result_.statements[s] == keep::forward};
        for (const CXCursor& c : cursors_[s]) {
            apply(c, clang_getTranslationUnitCursor(unit_));
            clang_visitChildren(
                c,
                [](CXCursor child, CXCursor parent, CXClientData data) {
                    auto* v = static_cast<visit_state*>(data);
                    if (v->cut) {
                        size_t offset = start_of(child);
                        if (offset != nowhere && v->self->inside_body(v->statement, offset))
                            return CXChildVisit_Continue;
                    }
                    v->self->apply(child, parent);
                    return CXChildVisit_Recurse;
                },
                &state);
        }
    }

    CXTranslationUnit unit_;
    const preprocessed_text& text_;
    const std::vector<statement>& statements_;
    warning_needs warnings_;
    std::vector<std::vector<CXCursor>> cursors_;
    std::vector<bool> reducible_;
    std::map<std::string, std::vector<declaration>> declarations_;
    std::map<std::string, std::string> function_named_; // a function's name -> its USR
    std::vector<int> roots_;
    std::vector<int> work_;
    needed_text result_;
};

} // namespace

warning_needs warnings_in(const std::vector<std::string>& arguments) {
    warning_needs w;
    for (const std::string& a : arguments) {
        if (a == "-Wmissing-prototypes" || a == "-Wmissing-declarations" ||
            a == "-Werror=missing-prototypes" || a == "-Werror=missing-declarations")
            w.prototype_before_definition = true;
        if (a == "-Wno-missing-prototypes" || a == "-Wno-missing-declarations")
            w.prototype_before_definition = false;
        if (a == "-Wstrict-prototypes" || a == "-Werror=strict-prototypes")
            w.prototype_before_old_style = true;
        if (a == "-Wno-strict-prototypes") w.prototype_before_old_style = false;
    }
    return w;
}

needed_text find_needed(CXTranslationUnit unit, const preprocessed_text& text,
                        const std::vector<statement>& statements, const warning_needs& warnings) {
    return analysis(unit, text, statements, warnings).run();
}
