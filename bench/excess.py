#!/usr/bin/env python3
"""excess.py RUN_DIR...: where a restructured unit's text exceeds its lower bound.

For every unit of an hdrslim run (RUN_DIR/work/units/<i>.after.marked.i, the
rewritten unit preprocessed with line markers, against <i>.bound.c, the
lowerbound program's text) every non-blank line is keyed by the file and line
its markers give it. Lines of the rewritten text whose key the bound's text
lacks are excess; they are summed per declaration (the marker that opens the
block holding them) over all units and runs, and the largest are printed:
excess lines, units, file:line and the declaration's first line.
Units whose bound did not compile are left out, as in the report.
"""
import collections
import os
import re
import sys

MARKER = re.compile(r'^#\s*(\d+)\s+"([^"]*)"')


def own_name(name):
    """The rewritten source's own text is marked with <unit>.cpp.c or
    <unit>.cpp.new.c in some runs; the bound's with the original source."""
    return re.sub(r"\.cpp(\.new)?\.c$", ".c", name)


def keyed_lines(path):
    """Yields (file, line, block start, text) for every non-blank line."""
    name, line, block = None, 0, None
    with open(path, errors="replace") as f:
        for raw in f:
            m = MARKER.match(raw)
            if m:
                line, name = int(m.group(1)), own_name(m.group(2))
                block = (name, line)
                continue
            if raw.strip():
                yield name, line, block, raw.strip()
            line += 1


def unit_excess(after, bound):
    """Lines of `after` that `bound` lacks: matched by file and line first, then
    by their text (a file included inside a unit's text, such as a table or a
    jump table, is marked with the including file in one and the included one
    in the other)."""
    bound_lines = list(keyed_lines(bound))
    have = collections.Counter((n, l) for n, l, _, _ in bound_lines)
    texts = collections.Counter(" ".join(t.split()) for _, _, _, t in bound_lines)
    unmatched = []
    for n, l, block, text in keyed_lines(after):
        if have[(n, l)] > 0:
            have[(n, l)] -= 1
        else:
            unmatched.append((block, text))
    out = []
    for block, text in unmatched:
        key = " ".join(text.split())
        if texts[key] > 0:
            texts[key] -= 1
        else:
            out.append((block, text))
    return out


def main(runs):
    total = collections.Counter()
    units = collections.defaultdict(set)
    first = {}
    per_run = {}
    for run in runs:
        udir = os.path.join(run, "work", "units")
        excess_run = 0
        for f in sorted(os.listdir(udir)):
            if not f.endswith(".after.marked.i"):
                continue
            i = f.split(".")[0]
            bound = os.path.join(udir, i + ".bound.c")
            log = os.path.join(udir, i + ".bound-compile.log")
            if not os.path.exists(bound) or (os.path.exists(log) and os.path.getsize(log) > 0):
                continue
            for block, text in unit_excess(os.path.join(udir, f), bound):
                key = (block[0].replace(run, ""), block[1]) if block else ("?", 0)
                total[key] += 1
                units[key].add((run, i))
                first.setdefault(key, text)
                excess_run += 1
        per_run[run] = excess_run
    for run, n in per_run.items():
        print(f"{run}: {n} excess lines")
    limit = int(os.environ.get("EXCESS_TOP", "60"))
    for key, n in total.most_common(limit):
        print(f"{n:6d} {len(units[key]):3d}  {key[0]}:{key[1]}  {first[key][:90]}")


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    main(sys.argv[1:])
