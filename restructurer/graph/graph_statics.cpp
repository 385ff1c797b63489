// Process-wide state of the restructurer. Defined together, in this order, so
// that the switch file is read before anything else is set up.
#include "header/graph.h"

tailor::Tailor graph::config("GRAPH");
std::set<std::string> graph::user_modules;
std::set<std::string> graph::include_dirs;
char graph::buf[10000];
std::map<std::string, std::string> graph::main_file_of;
