// A typedef that defines a named structure or union in its own statement,
// `typedef struct S {...} T, *TP;`, cut into the structure's definition
// `struct S {...};` and the typedef `typedef struct S T, *TP;`. A unit that
// needs only the type name then gets the one line instead of the body.
#pragma once

#include <string>
#include <vector>

struct typedef_statement {
    std::string aggregate;          // "struct:S"
    std::string definition;         // what came before, and `struct S {...};`
    std::string type_names;         // `typedef struct S T, *TP;`
    std::vector<std::string> names; // "type:T", "type:TP"
    std::string whole;              // the statement as written
};

// True when `text` (forward declarations such as `struct X;` may come first)
// is one such statement whose declarators are plain names, pointers and
// qualifiers. Anything else stays whole: attributes after the body (they shape
// the structure), arrays (`typedef struct S {...} A[1];` needs the structure
// complete), directives, more text after the `;`, an unnamed structure.
bool split_typedef_statement(const std::string& text, typedef_statement& out);
