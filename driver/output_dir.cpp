#include "output_dir.h"

#include "fresh_file.h"
#include "interrupt_marker.h"
#include "project_copy.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

const char* const output_marker_name = ".hdrslim-output";

namespace {

bool is_within(const fs::path& inner, const fs::path& outer) {
    auto mismatch = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
    return mismatch.first == outer.end();
}

// An existing output directory is emptied only when an earlier run made it.
bool clear_earlier_output(const fs::path& out, std::string& error) {
    std::error_code ec;
    if (!fs::exists(out, ec)) return true;
    if (!fs::is_directory(out, ec)) {
        error = "output path " + out.string() + " exists and is not a directory";
        return false;
    }
    if (fs::is_empty(out, ec)) return true;
    if (!fs::exists(out / output_marker_name, ec)) {
        error = "output directory " + out.string() +
                " exists and was not made by hdrslim; choose another with --out";
        return false;
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(out, ec))
        fs::remove_all(entry.path(), ec);
    if (ec) {
        error = "cannot empty " + out.string() + ": " + ec.message();
        return false;
    }
    return true;
}

} // namespace

void output_dir::mark(const std::string& state) const {
    write_fresh((fs::path(root) / output_marker_name).string(),
                "hdrslim output of " + project + "\nstate: " + state + "\n");
}

bool prepare_output_dir(const std::string& project, const std::string& out, output_dir& dir,
                        std::string& error) {
    std::error_code ec;
    if (!fs::is_directory(project, ec)) {
        error = fs::exists(project, ec) ? "the project " + project + " is not a directory"
                                        : "project directory " + project + " does not exist";
        return false;
    }
    fs::path from = fs::canonical(project, ec);
    fs::path to = fs::weakly_canonical(fs::absolute(out), ec);
    if (is_within(to, from) || is_within(from, to)) {
        error = "output directory " + to.string() + " and project " + from.string() +
                " must not contain each other";
        return false;
    }
    if (!clear_earlier_output(to, error)) return false;
    dir.root = to.string();
    dir.tree = (to / "tree").string();
    dir.work = (to / "work").string();
    dir.after = (to / "after").string();
    dir.project = from.string();
    fs::create_directories(dir.work, ec);
    if (ec) {
        error = "cannot create " + dir.work + ": " + ec.message();
        return false;
    }
    dir.mark("running");
    watch_interrupts((to / output_marker_name).string(), "hdrslim output of " + dir.project + "\n");
    set_interrupt_phase("copy");
    if (copy_project(from.string(), dir.tree, error, &dir.copy_notes)) return true;
    dir.mark("failed during copy: " + error);
    return false;
}
