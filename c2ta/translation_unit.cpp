#include "translation_unit.h"

#include "clang_text.h"

#include <vector>

namespace {

// Errors that leave the unit's own declarations as the compiler sees them:
// - errors inside system headers: GCC's headers hold code for GCC alone (the
//   intrinsics of <emmintrin.h> call GCC's builtins). A declaration there that
//   clang cannot read is still declared; when the unit's own code needs what
//   failed, the error shows in the unit's own code, which fails the unit;
// - an attribute clang reads otherwise than GCC (`malloc (release, 1)` takes no
//   arguments in clang 14): clang drops the attribute and keeps the declaration.
bool tolerable(CXDiagnostic diagnostic) {
    if (clang_Location_isInSystemHeader(clang_getDiagnosticLocation(diagnostic))) return true;
    std::string text = take_text(clang_getDiagnosticSpelling(diagnostic));
    return text.find("' attribute ") != std::string::npos &&
           (text.find("takes no arguments") != std::string::npos ||
            text.find("requires") != std::string::npos ||
            text.find("argument") != std::string::npos);
}

} // namespace

parsed_unit::parsed_unit(const std::string& input, const std::vector<std::string>& arguments,
                         std::ostream& errors) {
    index_ = clang_createIndex(0, 0);
    std::vector<const char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(argument.c_str());
    CXErrorCode code = clang_parseTranslationUnit2(index_, input.c_str(), argv.data(),
                                                   static_cast<int>(argv.size()), nullptr, 0,
                                                   CXTranslationUnit_None, &unit_);
    if (code != CXError_Success || unit_ == nullptr) {
        errors << "c2ta: cannot parse " << input << " (libclang error " << code << ")\n";
        return;
    }
    ok_ = true;
    unsigned tolerated = 0;
    unsigned count = clang_getNumDiagnostics(unit_);
    for (unsigned i = 0; i < count; ++i) {
        CXDiagnostic diagnostic = clang_getDiagnostic(unit_, i);
        CXDiagnosticSeverity severity = clang_getDiagnosticSeverity(diagnostic);
        if (severity == CXDiagnostic_Error && tolerable(diagnostic)) {
            ++tolerated;
        } else if (severity >= CXDiagnostic_Error) {
            errors << take_text(clang_formatDiagnostic(diagnostic,
                                                       clang_defaultDiagnosticDisplayOptions()))
                   << '\n';
            ok_ = false;
        }
        clang_disposeDiagnostic(diagnostic);
    }
    if (ok_ && tolerated > 0)
        errors << "c2ta: " << input << ": " << tolerated
               << " error(s) in system headers or attributes passed over\n";
}

parsed_unit::~parsed_unit() {
    if (unit_ != nullptr) clang_disposeTranslationUnit(unit_);
    if (index_ != nullptr) clang_disposeIndex(index_);
}
