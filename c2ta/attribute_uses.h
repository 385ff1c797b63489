// Names a declaration uses inside its GNU attributes, which libclang does not
// expose: the deallocator of `__attribute__((__malloc__ (fclose, 1)))`, the
// function of `__attribute__((cleanup (free_buffer)))`.
#pragma once

#include <clang-c/Index.h>

#include <string>
#include <vector>

// The identifiers in the argument lists of the `__attribute__((...))` written
// in decl's text before its body or initializer, in text order. The first
// argument of format/format_arg (an archetype such as printf) and the
// arguments of mode (a machine mode) name nothing and are left out.
std::vector<std::string> attribute_argument_names(CXTranslationUnit unit, CXCursor decl);
