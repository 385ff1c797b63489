// The kinds of fact, the number that starts each fact line. The extractor writes
// every kind but definition_uses_definition; the restructurer reads them all and
// writes them back with "-g".
#pragma once

namespace fact_kind {
// "file:F N:0": N entities lie directly in file F.
constexpr int file_units = -2;
// "file:F file:G": file F includes file G.
constexpr int inclusion = -1;
// "unit location": a function with a body or a variable that is not extern.
constexpr int definition = 0;
// "unit location": a prototype, an extern variable, a typedef, an enumeration,
// a structure or a union.
constexpr int declaration = 1;
// "user used": a definition uses the declaration of a unit.
constexpr int definition_uses = 2;
// "user used": a definition uses the definition of a unit.
constexpr int definition_uses_definition = 3;
// "user used": a declaration or type uses the declaration of a unit.
constexpr int declaration_uses = 4;
// "user used": a definition needs no more of a structure, union or typedef
// than the structure's tag (it names it only behind pointers, in prototypes
// or extern declarations).
constexpr int definition_uses_tag = 5;
// "user used": the same for a declaration or type.
constexpr int declaration_uses_tag = 6;
} // namespace fact_kind
