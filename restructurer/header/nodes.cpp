#include "header/nodes.h"

#include "contract/unit_files.h"

#include <deque>

namespace detail {
Node* keep_node(std::unique_ptr<Node> object) {
    static std::deque<std::unique_ptr<Node>> store;
    store.push_back(std::move(object));
    return store.back().get();
}
} // namespace detail

ProgramUnit* as_unit(const node& n) {
    return n.object && n.object->is_program_unit() ? static_cast<ProgramUnit*>(n.object) : nullptr;
}

Header* as_header(const node& n) {
    return n.object && n.object->is_header() ? static_cast<Header*>(n.object) : nullptr;
}

Implement* as_implement(const node& n) {
    return n.object && n.object->is_implement() ? static_cast<Implement*>(n.object) : nullptr;
}

namespace {
// Sum of count_node over member handles, skipping handles without object.
template <class Members> int count_members(const Members& members, const std::string& kind) {
    int sum = 0;
    for (const node& m : members)
        if (m.object) sum += m.object->count_node(kind);
    return sum;
}

} // namespace

bool Header::is_define() const {
    for (const node& m : members)
        if (m.is_define() || m.is_implement()) return true;
    return false;
}

int Header::count_node(const std::string& kind) {
    return (kind == "set" ? 1 : 0) + count_members(members, kind);
}

std::string Header::get_filename() const {
    if (members.size() == 1 && members.begin()->is_implement())
        return members.begin()->object->get_filename();
    // "<id>" stands for a header the restructurer makes up; it is named by
    // its node number once the number is known (graph::get_filename).
    return members.empty() ? "" : "<id>";
}

bool Implement::is_define() const {
    for (const node& m : members)
        if (m.is_define() || m.is_static()) return true;
    return false;
}

int Implement::count_node(const std::string& kind) {
    return (kind == "file" ? 1 : 0) + count_members(members, kind);
}

std::string Implement::get_filename() const {
    return rewritten_copy_of(name);
}

std::string Implement::get_module(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

int ProgramUnit::count_node(const std::string& kind) {
    if (kind == "declare") return declaration ? 1 : 0;
    if (kind == "define") return declaration ? 0 : 1;
    return 0;
}

std::string ProgramUnit::toString() const {
    std::string tail = ":" + file_name + "[" + std::to_string(begin) + "," + std::to_string(end) +
                       "]=>[" + std::to_string(new_begin) + "," + std::to_string(new_end) + "]";
    // A file name with a blank ends the label at that blank.
    if (file_name.find(' ') != std::string::npos) tail = tail.substr(0, tail.find(' '));
    return name + (declaration ? "dcl" : "def") + tail;
}
