// Edge facts: which program units each unit uses. fact_kind::definition_uses is
// a use by a definition (function body, global variable), declaration_uses a use
// by a declaration (prototype, extern variable, typedef, enum, aggregate,
// function type).
#pragma once

#include "tables.h"

#include <string_view>

// with_bodies: uses by function definitions; otherwise by prototypes, by the
// declarations that contain function declarators, and by function types.
void generate_func_edges(bool with_bodies);
// definitions: uses by variable definitions and code; otherwise by aggregates,
// type declarations and extern variables.
void generate_var_edges(bool definitions);
// Uses of enumerations: by code naming an enumerator (array_refs false), by
// arrays subscripted with an enumerator (array_refs true).
void generate_enum_edges(bool array_refs);
// Uses of functions, variables and typedefs named in code.
void generate_nameref_edges();
// Uses by typedefs.
void generate_type_edges();

// fact_kind::*_uses_tag facts: uses that need no more than a structure's tag
// (see tag_only_edges.cpp); also the *_uses facts of structures needed complete
// that no other pass writes. Runs last: it reads the uses written before.
void generate_tag_only_edges();

// declaration_uses facts from the named type id (unit kind `kind`) to every named type
// reachable through its members.
void fields_uses_types(std::string_view kind, nid id);
