// The extractor's single writer of facts (the line format is contract/fact_line.h),
// and the rewriting of the main files' names to their preprocessed copies.
#pragma once

#include "contract/fact_kind.h"

#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// Where output_line writes facts and warnings (standard output and standard
// error until set otherwise).
void set_fact_streams(std::ostream& facts, std::ostream& warnings);

// Writes the fact "kind subject object" (kind one of fact_kind) unless subject
// or object is empty or subject equals object. Subject and object pass through
// replace_filename. A subject or object holding white space would split into
// more fields for the reader: such a fact is dropped with a warning on the
// warning stream (once per distinct text).
void output_line(int kind, std::string_view subject, std::string_view object);

// The main files of the compilations in the dump (names of the scope
// compilation nodes); output_line rewrites them (and only them) to their
// preprocessed copies.
void set_main_files(std::vector<std::string> names);

// Rewrites each whole file name of `main_files` that ends in ".c" (at the start
// of the text or after ":", and at its end or before ":" or "#") to the
// preprocessed copy ".cpp.c". A file a unit includes keeps its name, whatever
// its extension: only the unit's own main file has a ".cpp.c" copy. Names that
// already end in ".cpp.c" stay.
std::string replace_filename(std::string_view s, const std::vector<std::string>& main_files);

// The definition_uses and declaration_uses facts written since the last
// finish_output, as (kind, subject, object) before file-name rewriting.
struct use_fact {
    int kind;
    std::string subject, object;
    bool operator<(const use_fact& o) const {
        return kind != o.kind         ? kind < o.kind
               : subject != o.subject ? subject < o.subject
                                      : object < o.object;
    }
};
const std::set<use_fact>& written_uses();

// Flushes the fact stream and forgets the warnings given.
void finish_output();
