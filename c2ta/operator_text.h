// The operator of a unary or binary expression, read from the source text
// between (or around) its operands; libclang's C interface does not expose it.
#pragma once

#include <clang-c/Index.h>

#include <string>

// "+", "<<=", ... or "binary" when the text is not plain (for example when the
// operator comes from a macro expansion).
std::string binary_operator_text(CXTranslationUnit unit, CXCursor lhs, CXCursor rhs);
// "++", "&", "sizeof", ... or "unary" when the text is not plain.
std::string unary_operator_text(CXTranslationUnit unit, CXCursor expression, CXCursor operand);
