#!/usr/bin/env python3
"""csmith_split.py PROGRAM.c DIR: splits one csmith program into a project of two
units sharing one header: DIR/shared.h (types, extern declarations of the
globals, prototypes), DIR/a.c (the globals' definitions and the first half of
the functions) and DIR/b.c (the other functions and main). Globals and
functions lose their `static` so that the units can share them; the program
computes the same checksum."""
import sys

SECTIONS = {
    "/* --- Struct/Union Declarations --- */": "types",
    "/* --- GLOBAL VARIABLES --- */": "globals",
    "/* --- FORWARD DECLARATIONS --- */": "prototypes",
    "/* --- FUNCTIONS --- */": "functions",
}


def strip_static(line):
    return line[len("static "):] if line.startswith("static ") else line


def declaration_of(definition):
    """`int32_t g_1[2] = {1, 2};` -> `extern int32_t g_1[2];`"""
    text = definition.split(";")[0]
    text = text.split(" = ")[0]
    return "extern " + text.strip() + ";\n"


def main():
    program, out = sys.argv[1], sys.argv[2]
    parts = {"preamble": [], "types": [], "globals": [], "prototypes": [],
             "functions": [], "main": []}
    section = "preamble"
    with open(program) as f:
        for line in f:
            marker = line.strip()
            if marker in SECTIONS:
                section = SECTIONS[marker]
                continue
            if line.startswith("int main ("):
                section = "main"
            parts[section].append(line)

    # Globals: one statement per definition, possibly over several lines.
    definitions, current = [], ""
    for line in parts["globals"]:
        current += line
        if line.split("/*")[0].rstrip().endswith(";"):
            definitions.append(strip_static(current))
            current = ""
        elif not current.strip():
            current = ""

    functions, current = [], []
    for line in parts["functions"]:
        if line.startswith("static ") and current:
            functions.append(current)
            current = []
        current.append(strip_static(line))
    if current:
        functions.append(current)
    half = (len(functions) + 1) // 2

    with open(out + "/shared.h", "w") as h:
        h.write("#ifndef SHARED_H\n#define SHARED_H\n")
        h.writelines(line for line in parts["preamble"] if line.startswith("#"))
        h.write("static long __undefined;\n")
        h.writelines(parts["types"])
        h.writelines(declaration_of(d) for d in definitions)
        h.writelines(strip_static(line) for line in parts["prototypes"])
        h.write("#endif\n")
    with open(out + "/a.c", "w") as a:
        a.write('#include "shared.h"\n')
        a.writelines(definitions)
        for function in functions[:half]:
            a.writelines(function)
    with open(out + "/b.c", "w") as b:
        b.write('#include "shared.h"\n')
        for function in functions[half:]:
            b.writelines(function)
        b.writelines(parts["main"])


if __name__ == "__main__":
    main()
