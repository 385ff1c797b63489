#include "parsing.h"

#include "parser.h"

#include <cerrno>
#include <cstring>
#include <fstream>

int parsing(const std::vector<std::string>& args, std::istream& std_in, std::ostream& err) {
    if (args.empty()) {
        parse_result r = parse_ta(std_in, err, true);
        if (r.read_failed) {
            err << "extractor: cannot read standard input\n";
            return input_error_status;
        }
        return r.errors ? 1 : 0;
    }
    const std::string& file = args.front();
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        err << "extractor: cannot open " << file << ": " << std::strerror(errno) << "\n";
        return input_error_status;
    }
    errno = 0;
    parse_result r = parse_ta(in, err, false);
    if (r.read_failed) {
        err << "extractor: cannot read " << file << (errno ? ": " : "")
            << (errno ? std::strerror(errno) : "") << "\n";
        return input_error_status;
    }
    return 0;
}
