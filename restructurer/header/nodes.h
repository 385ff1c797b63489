// The node classes: program units, header files (or groups of nodes that become
// one header) and implementation files.
#pragma once

#include "codegen/pragma_state.h"
#include "header/handle.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

class Node {
  public:
    explicit Node(std::string name) : name(std::move(name)) {}
    virtual ~Node() = default;
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    virtual bool is_program_unit() const = 0;
    virtual bool is_implement() const = 0;
    virtual bool is_header() const = 0;
    virtual bool is_define() const = 0;
    virtual bool is_static() const = 0;
    // Counts this node (and, for composites, its members) under a statistics
    // kind: "define", "declare", "file" or "set".
    virtual int count_node(const std::string& kind) = 0;
    virtual std::string file() const = 0;
    virtual std::string get_filename() const = 0;
    virtual std::string toString() const { return name; }
    virtual bool is_aggr() const = 0;
    virtual bool is_func_define() const = 0;

    std::string name;
};

class CompositeNode : public Node {
  public:
    using Node::Node;
    bool is_program_unit() const override { return false; }
    int count_node(const std::string&) override { return 0; }
};

class Header : public CompositeNode {
  public:
    using CompositeNode::CompositeNode;
    bool is_implement() const override { return false; }
    bool is_header() const override { return true; }
    bool is_define() const override;
    bool is_static() const override { return false; }
    int count_node(const std::string& kind) override;
    std::string file() const override { return ""; }
    std::string get_filename() const override;
    std::string toString() const override { return "set of :" + name; }
    bool is_aggr() const override { return false; }
    bool is_func_define() const override { return false; }

    std::set<node> members;
    int units_before = 0;
    int units_after = 0;
};

class Implement : public CompositeNode {
  public:
    explicit Implement(std::string path) : CompositeNode(path), module(get_module(path)) {}
    bool is_implement() const override { return true; }
    bool is_header() const override { return false; }
    bool is_define() const override;
    bool is_static() const override { return false; }
    int count_node(const std::string& kind) override;
    std::string file() const override { return name; }
    std::string get_filename() const override;
    std::string toString() const override { return "file:" + name; }
    bool is_aggr() const override { return false; }
    bool is_func_define() const override { return false; }

    // The directory part of a path, "." when it has none.
    static std::string get_module(const std::string& path);

    std::vector<node> members;
    std::string module;
};

class ProgramUnit : public Node {
  public:
    using Node::Node;
    bool is_program_unit() const override { return true; }
    bool is_implement() const override { return false; }
    bool is_header() const override { return false; }
    bool is_define() const override { return !declaration; }
    bool is_static() const override { return static_unit; }
    int count_node(const std::string& kind) override;
    std::string file() const override { return file_name; }
    std::string get_filename() const override { return ""; }
    std::string toString() const override;
    bool is_aggr() const override { return aggr; }
    bool is_func_define() const override { return func_define; }

    bool aggr = false;
    bool func_define = false;
    bool static_unit = false;
    bool declaration = false;
    std::string file_name;
    int begin = 0;
    int end = 0;
    std::string start_file;
    int new_begin = 0;
    int new_end = 0;
    pragma_wrap pragmas; // the state pragmas in effect where the unit stands
};

// The program unit behind a handle, or null when it is something else.
ProgramUnit* as_unit(const node& n);
Header* as_header(const node& n);
Implement* as_implement(const node& n);

// Node objects live until the process ends: they are created here, kept in a
// process-wide store and never deleted before exit, so handles stay valid.
template <class T, class... Args> T* make_node(Args&&... args);

namespace detail {
Node* keep_node(std::unique_ptr<Node> object);
}

template <class T, class... Args> T* make_node(Args&&... args) {
    auto object = std::make_unique<T>(std::forward<Args>(args)...);
    T* raw = object.get();
    detail::keep_node(std::move(object));
    return raw;
}
