#include "driver.h"

#include "bookkeeping.h"
#include "parsing.h"
#include "tables.h"

int run_extractor(const std::vector<std::string>& args, std::istream& std_in, std::ostream& out,
                  std::ostream& err) {
    int status = parsing(args, std_in, err);
    if (status != 0) {
        cleanup();
        return status;
    }
    bookkeeping_nodes();
    bookkeeping_edges();
    bookkeeping_scopes();
    (void)out;
    cleanup();
    return 0;
}
