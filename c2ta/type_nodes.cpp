#include "type_nodes.h"

#include "clang_text.h"
#include "decl_nodes.h"
#include "ta_graph.h"

#include <sstream>
#include <vector>

namespace {

constexpr std::size_t name_limit = 99;

// "const unsigned int" -> "unsigned int": qualifiers do not make a new type node.
std::string unqualified(const std::string& spelling) {
    std::istringstream words(spelling);
    std::string word;
    std::string result;
    while (words >> word) {
        if (word == "const" || word == "volatile" || word == "restrict" || word == "__restrict")
            continue;
        if (!result.empty()) result += ' ';
        result += word;
    }
    return result;
}

bool is_array(CXTypeKind kind) {
    return kind == CXType_ConstantArray || kind == CXType_IncompleteArray ||
           kind == CXType_VariableArray || kind == CXType_DependentSizedArray;
}

} // namespace

std::string fit_name(std::string name) {
    if (name.size() > name_limit) name.resize(name_limit);
    return name;
}

bool has_file_location(CXCursor decl) {
    CXFile file = nullptr;
    clang_getExpansionLocation(clang_getCursorLocation(decl), &file, nullptr, nullptr, nullptr);
    return file != nullptr;
}

CXCursor type_nodes::tag_declaration(CXType type) {
    CXCursor decl = clang_getTypeDeclaration(type);
    CXCursor definition = clang_getCursorDefinition(decl);
    return clang_Cursor_isNull(definition) ? clang_getCanonicalCursor(decl) : definition;
}

int type_nodes::node_for(CXType type) {
    if (type.kind == CXType_Invalid) return -1;
    auto found = by_type_.find(type.data[0]);
    if (found != by_type_.end()) return found->second;
    int node = compute(type);
    by_type_.emplace(type.data[0], node);
    return node;
}

int type_nodes::compute(CXType type) {
    switch (type.kind) {
    case CXType_Elaborated:
        return node_for(clang_Type_getNamedType(type));
    case CXType_Attributed:
        return node_for(clang_Type_getModifiedType(type));
    case CXType_Atomic:
        return node_for(clang_Type_getValueType(type));
    case CXType_Typedef: {
        CXCursor decl = clang_getTypeDeclaration(type);
        return has_file_location(decl) ? decls_.node_for(decl) : built_in(type_spelling(type));
    }
    case CXType_Record:
    case CXType_Enum: {
        CXCursor decl = tag_declaration(type);
        return has_file_location(decl) ? decls_.node_for(decl) : built_in(type_spelling(type));
    }
    case CXType_Pointer:
    case CXType_BlockPointer:
        return derived("cPtrType", type_spelling(type), node_for(clang_getPointeeType(type)));
    case CXType_FunctionProto:
    case CXType_FunctionNoProto:
        return function_type(type);
    default:
        break;
    }
    if (is_array(type.kind))
        return derived("cPtrType", type_spelling(type), node_for(clang_getArrayElementType(type)));
    CXType canonical = clang_getCanonicalType(type);
    if (canonical.kind != type.kind && canonical.kind != CXType_Invalid) return node_for(canonical);
    return built_in(type_spelling(type));
}

int type_nodes::pointer_to(CXType pointee) {
    return derived("cPtrType", type_spelling(pointee) + " *", node_for(pointee));
}

// Pointer and array types with the same spelling and target share one node.
// The name is the type's spelling, which is what a cast names.
int type_nodes::derived(const char* kind, const std::string& spelling, int target) {
    std::string shape = std::string(kind) + '|' + spelling + '|' + std::to_string(target);
    auto found = by_shape_.find(shape);
    if (found != by_shape_.end()) return found->second;
    int node = graph_.add_node(kind);
    graph_.set(node, "name", fit_name(spelling));
    if (target >= 0) graph_.add_edge("cInstance", node, target);
    by_shape_.emplace(shape, node);
    return node;
}

int type_nodes::function_type(CXType type) {
    std::string shape = "F|";
    std::vector<int> parts{node_for(clang_getResultType(type))};
    int count = clang_getNumArgTypes(type);
    for (int i = 0; i < count; ++i)
        parts.push_back(node_for(clang_getArgType(type, static_cast<unsigned>(i))));
    for (int part : parts)
        shape += std::to_string(part) + ',';
    if (clang_isFunctionTypeVariadic(type)) shape += "...";
    auto found = by_shape_.find(shape);
    if (found != by_shape_.end()) return found->second;
    int node = graph_.add_node("cFctType");
    graph_.set(node, "name", "(anonymous)");
    for (int part : parts)
        if (part >= 0) graph_.add_edge("cInstance", node, part);
    by_shape_.emplace(shape, node);
    return node;
}

int type_nodes::built_in(const std::string& spelling) {
    std::string name = unqualified(spelling);
    std::string shape = "B|" + name;
    auto found = by_shape_.find(shape);
    if (found != by_shape_.end()) return found->second;
    int node = graph_.add_node("cBuiltInType");
    graph_.set(node, "name", fit_name(name));
    by_shape_.emplace(shape, node);
    return node;
}
