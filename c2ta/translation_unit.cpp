#include "translation_unit.h"

#include "clang_text.h"

#include <vector>

ParsedUnit::ParsedUnit(const std::string& input, const std::vector<std::string>& arguments,
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
    unsigned count = clang_getNumDiagnostics(unit_);
    for (unsigned i = 0; i < count; ++i) {
        CXDiagnostic diagnostic = clang_getDiagnostic(unit_, i);
        if (clang_getDiagnosticSeverity(diagnostic) >= CXDiagnostic_Error) {
            errors << take_text(clang_formatDiagnostic(diagnostic,
                                                       clang_defaultDiagnosticDisplayOptions()))
                   << '\n';
            ok_ = false;
        }
        clang_disposeDiagnostic(diagnostic);
    }
}

ParsedUnit::~ParsedUnit() {
    if (unit_ != nullptr) clang_disposeTranslationUnit(unit_);
    if (index_ != nullptr) clang_disposeIndex(index_);
}
