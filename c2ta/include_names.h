// The name the compiler's line markers give an included file. GCC names a file
// by the directory it was found in joined with the name the #include spelled:
// for "b.h" included by src/a.c and found beside it, src/b.h; for <sub/b.h>
// found through -Iinclude/, include/sub/b.h. libclang 14 names a file by the
// last path it was opened through, which differs when one file is reached by
// two paths (include/a.h and src/../include/a.h), so the name is rebuilt here
// by the compiler's search order.
#pragma once

#include <clang-c/Index.h>

#include <string>
#include <vector>

class include_names {
  public:
    // flags: the unit's preprocessing flags (-iquote, -I, -isystem, -idirafter
    // give the search directories).
    explicit include_names(const std::vector<std::string>& flags);

    // The name of file as included by an #include of spelled ("quoted" for the
    // "..." form) in the file the markers call includer; fallback when no
    // search directory holds that very file (a system directory, a computed
    // include).
    std::string name(const std::string& includer, const std::string& spelled, bool quoted,
                     CXFile file, const std::string& fallback) const;

  private:
    std::vector<std::string> quote_dirs_;
    std::vector<std::string> bracket_dirs_;
    std::vector<std::string> after_dirs_;
};

// The text between the quotes or brackets of the #include whose file name
// starts at site, and whether it is the quoted form; false when the directive
// does not spell a name there.
bool read_include_spelling(CXTranslationUnit unit, CXSourceLocation site, std::string& spelled,
                           bool& quoted);
