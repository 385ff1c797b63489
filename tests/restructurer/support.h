// Helpers shared by the restructurer tests: temporary directories, captured
// standard output, switch sets, and small node factories.
#pragma once

#include "header/graph.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace test_support {

// A fresh directory under /tmp, removed with its contents at scope end.
class temp_dir {
  public:
    temp_dir() {
        char pattern[] = "/tmp/restructurer_test_XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~temp_dir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }
    // Writes `text` to path()/relative, creating parent directories.
    std::string write(const std::string& relative, const std::string& text) const {
        const std::string full = path_ + "/" + relative;
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        std::ofstream(full) << text;
        return full;
    }
    std::string mkdir(const std::string& relative) const {
        const std::string full = path_ + "/" + relative;
        std::filesystem::create_directories(full);
        return full;
    }

  private:
    std::string path_;
};

// Collects everything written to std::cout while it lives.
class captured_stdout {
  public:
    captured_stdout() : saved_(std::cout.rdbuf(text_.rdbuf())) {}
    ~captured_stdout() { std::cout.rdbuf(saved_); }
    std::string text() const { return text_.str(); }

  private:
    std::ostringstream text_;
    std::streambuf* saved_;
};

// Turns on exactly the given switches for the lifetime of the object.
class switches {
  public:
    switches(std::initializer_list<std::string> names) {
        std::string text;
        for (const std::string& name : names)
            text += name + "\n";
        const std::string file = dir_.write("GRAPH", text);
        graph::config = tailor::Tailor(file.c_str());
    }
    ~switches() { graph::config = tailor::Tailor(); }

  private:
    temp_dir dir_;
};

// Clears the process-wide option sets around a test.
struct clean_options {
    clean_options() { reset(); }
    ~clean_options() { reset(); }
    static void reset() {
        graph::include_dirs.clear();
        graph::user_modules.clear();
    }
};

inline node unit(int id, const std::string& name, bool definition = false, int begin = 0,
                 int end = 0, const std::string& file = "") {
    auto* u = make_node<ProgramUnit>(name);
    u->declaration = !definition;
    u->begin = begin;
    u->end = end;
    u->file_name = file;
    return node(id, u);
}

template <class Handles> std::vector<int> ids(const Handles& handles) {
    std::vector<int> result;
    for (const node& n : handles)
        result.push_back(n.id);
    return result;
}

inline std::string current_dir() {
    char* here = getcwd(nullptr, 0);
    std::string result = here;
    std::free(here);
    return result;
}

// Runs a test body inside a fresh working directory.
class in_temp_dir {
  public:
    in_temp_dir() : saved_(current_dir()) {
        if (chdir(dir_.path().c_str()) != 0) std::abort();
    }
    ~in_temp_dir() {
        if (chdir(saved_.c_str()) != 0) std::abort();
    }
    const temp_dir& dir() const { return dir_; }

  private:
    temp_dir dir_;
    std::string saved_;
};

inline std::string read_file(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The (from, to) numbers of a set of edges, in edge order.
using arc_list = std::vector<std::pair<int, int>>;
inline arc_list arcs(const edge_set& edges) {
    arc_list result;
    for (const edge& e : edges)
        result.emplace_back(e.from.id, e.to.id);
    return result;
}

} // namespace test_support
