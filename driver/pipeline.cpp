#include "pipeline.h"

#include "build_capture.h"
#include "build_compiles.h"
#include "build_outputs.h"
#include "check_compare.h"
#include "compile_db.h"
#include "fresh_file.h"
#include "header_coupling.h"
#include "include_pinning.h"
#include "interrupt_marker.h"
#include "job_pool.h"
#include "line_markers.h"
#include "lower_bound_step.h"
#include "output_dir.h"
#include "progress.h"
#include "project_copy.h"
#include "restructure_step.h"
#include "run_report.h"
#include "source_form_report.h"
#include "source_form_step.h"
#include "text_measure.h"
#include "toolchain.h"
#include "unit_configurations.h"
#include "unit_jobs.h"

#include "contract/fact_line.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>
#include <tuple>

namespace fs = std::filesystem;

namespace {

// Everything one run carries from phase to phase.
struct run_state {
    run_options options;
    toolchain tools;
    output_dir out;
    progress shown;
    std::vector<compile_unit> units;
    std::vector<bool> has_facts;
    captured_build build;
    bool build_captured = false;
    std::vector<build_step> rebuild_steps; // what the rebuild ran
    std::string rebuild_log;               // the log of the rebuild's last build
    restructure_result restructured;
    std::vector<unit_bound> bounds;
    bool bounds_measured = false; // beside the restructurer
    // Each unit's original text with line markers, once the measure's
    // preprocessing of the original sources has run ("" before).
    std::vector<std::string> marked_before;
    run_report report;
    // Units the rebuild made again (unit, not compiled once put back, log).
    std::vector<std::tuple<size_t, bool, std::string>> regenerated;
    source_form_summary source;
    std::chrono::steady_clock::time_point phase_start;

    explicit run_state(const run_options& o) : options(o), shown(progress::for_stderr(o.quiet)) {}

    void begin(const std::string& phase, int total, const std::string& log = "") {
        phase_start = std::chrono::steady_clock::now();
        set_interrupt_phase(phase);
        shown.start_phase(phase, total, log);
    }
    void end(const std::string& phase) {
        shown.finish_phase();
        report.phase_seconds.emplace_back(
            phase,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - phase_start).count());
    }
};

void print_failures(const std::vector<unit_failure>& failures) {
    if (failures.empty()) return;
    std::printf("\nfailures:\n");
    for (const unit_failure& f : failures)
        std::printf("  %s (%s): %s\n    hint: %s\n    log: %s\n", f.unit.c_str(), f.step.c_str(),
                    f.message.c_str(), f.hint.c_str(), f.log.c_str());
}

// Stops the run. The failures of units found so far are shown: they are often
// why the run cannot go on (no unit left to restructure).
int fail(run_state& run, const std::string& phase, const std::string& message) {
    std::fflush(stdout);
    print_failures(run.report.failures);
    std::fflush(stdout);
    run.shown.message("hdrslim: " + message);
    if (!run.out.root.empty()) {
        run.out.mark("failed during " + phase + ": " + message);
        run.shown.message("hdrslim: " + run.out.root + " is incomplete (failed during " + phase +
                          ")");
    }
    return 1;
}

bool write_file(const std::string& path, const std::string& text) {
    std::string part = path + ".part";
    if (!write_fresh(part, text)) return false;
    std::error_code ec;
    fs::rename(part, path, ec);
    return !ec;
}

std::vector<std::string> with(std::vector<std::string> words,
                              const std::vector<std::string>& more) {
    words.insert(words.end(), more.begin(), more.end());
    return words;
}

std::vector<std::string> compile_argv(const compile_unit& unit,
                                      const std::vector<std::string>& extra) {
    return with(with({unit.compiler}, unit.flags), extra);
}

std::string unit_file(const run_state& run, size_t i, const std::string& suffix) {
    return run.out.work + "/units/" + std::to_string(i) + suffix;
}

std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// ---- phases ----

void report_cleaned(run_state& run, const std::vector<std::string>& removed) {
    run.report.cleaned_outputs = static_cast<int>(removed.size());
    if (removed.empty()) return;
    std::string names;
    for (size_t i = 0; i < removed.size() && i < 3; ++i)
        names += (i ? ", " : "") + removed[i];
    run.shown.message("hdrslim: the project holds outputs of an earlier build; removed " +
                      std::to_string(removed.size()) + " from the copy so that its build " +
                      "compiles everything (" + names + (removed.size() > 3 ? ", ..." : "") + ")");
}

bool load_units(run_state& run, std::string& error) {
    compile_db_result units;
    if (!run.options.build_command.empty()) {
        run.begin("build", 0, run.out.work + "/build.log");
        run.build = capture_build(run.options.build_command, run.out.tree, run.out.work, "build");
        run.end("build");
        if (!run.build.result.ok()) {
            error = "the build command failed (status " + std::to_string(run.build.result.status) +
                    "); see " + run.out.work + "/build.log";
            return false;
        }
        run.build_captured = true;
        units = read_compile_db(run.build.compile_db, run.out.tree, run.out.tree);
    } else {
        std::string db = find_compile_db(run.options);
        if (db.empty()) {
            error = "no compile_commands.json found; give --build \"CMD\" to make one with the "
                    "project's build";
            return false;
        }
        units = read_compile_db(db, run.out.project, run.out.tree);
    }
    if (!units.error.empty()) {
        error = units.error;
        return false;
    }
    for (const std::string& line : skipped_summary(units.skipped))
        run.shown.message("hdrslim: skipped " + line);
    if (units.units.empty()) {
        error = "the compile commands name no C source inside the project";
        return false;
    }
    run.units = units.units;
    return true;
}

std::string run_check(run_state& run, const std::string& when, const std::string& dir) {
    if (run.options.check_command.empty()) return "not run";
    if (!fs::is_directory(dir)) return "failed";
    run.begin("check " + when, 0, run.out.work + "/check-" + when + ".log");
    process_result result =
        run_shell(run.options.check_command, dir, run.out.work + "/check-" + when + ".log");
    run.end("check " + when);
    if (!result.ok())
        run.shown.message("hdrslim: the check command failed " + when + " restructuring; see " +
                          run.out.work + "/check-" + when + ".log");
    return result.ok() ? "passed" : "failed";
}

void extract_facts(run_state& run) {
    // Fact files separate their fields with blanks, so a unit whose path holds
    // one cannot be described; it is built from its original source.
    std::vector<compile_unit> describable;
    std::vector<size_t> index;
    for (size_t i = 0; i < run.units.size(); ++i) {
        if (fits_fact_line(run.units[i].source)) {
            describable.push_back(run.units[i]);
            index.push_back(i);
        } else {
            run.report.failures.push_back(
                {run.units[i].name, "facts",
                 "its path holds white space, which fact files cannot carry; the unit is "
                 "not restructured",
                 "rename the file (or its directory) without blanks", ""});
        }
    }
    run.begin("units", static_cast<int>(describable.size()));
    std::vector<bool> ok;
    // Each unit's files are named by its place among all units, as the later
    // phases look for them.
    std::vector<unit_failure> failures = run_unit_jobs(
        describable, index, run.tools, run.out.work + "/units", run.options.jobs, run.shown, ok);
    run.end("units");
    run.has_facts.assign(run.units.size(), false);
    for (size_t k = 0; k < index.size(); ++k)
        run.has_facts[index[k]] = ok[k];
    run.report.failures.insert(run.report.failures.end(), failures.begin(), failures.end());
}

// The preprocessing of each original source that the measure reads: plain
// (`-E -P`) for its size, and with line markers and the headers it read where
// the units phase left none (the unit was not described). Sets marked_before.
std::vector<process_request> before_requests(run_state& run) {
    std::vector<process_request> requests;
    run.marked_before.assign(run.units.size(), "");
    for (size_t i = 0; i < run.units.size(); ++i) {
        const compile_unit& unit = run.units[i];
        run.marked_before[i] = unit.preprocessed();
        if (!fs::exists(unit.preprocessed()) || !fs::exists(unit_file(run, i, ".before.d"))) {
            run.marked_before[i] = unit_file(run, i, ".before.marked.i");
            requests.push_back({compile_argv(unit, {"-E", "-MD", "-MF",
                                                    unit_file(run, i, ".before.d"), unit.source}),
                                unit.directory, run.marked_before[i], ""});
        }
        requests.push_back({compile_argv(unit, {"-E", "-P", unit.source}), unit.directory,
                            unit_file(run, i, ".before.i"), ""});
    }
    return requests;
}

// The lower bounds' compiles and the measure's preprocessing of the original
// sources need nothing but the units phase's files; they run beside the
// restructurer, which keeps a single core busy, so that the other cores work
// too (with one job they wait for their phases). They take every job: once the
// restructurer is done, they go on on all cores. A unit that loses its facts
// afterwards (fit_configurations) loses its bound again.
class work_beside_restructurer {
  public:
    explicit work_beside_restructurer(run_state& run) : run_(run) {
        const int jobs = run.options.jobs;
        if (jobs < 2) return;
        before_ = before_requests(run);
        worker_ = std::thread([this, jobs]() {
            progress silent(progress::style::quiet);
            bounds_ = measure_lower_bounds(run_.units, run_.has_facts, run_.tools.lowerbound,
                                           run_.out.work + "/units", run_.out.tree, jobs, silent);
            run_all(before_, jobs, silent);
        });
    }
    ~work_beside_restructurer() { finish(); }
    // Waits for the work; what it waited is a phase of its own.
    void finish() {
        if (!worker_.joinable()) return;
        run_.begin("bound and measure beside restructure", 0);
        worker_.join();
        run_.end("bound and measure beside restructure");
        run_.bounds = bounds_;
        run_.bounds_measured = true;
    }

  private:
    run_state& run_;
    std::thread worker_;
    std::vector<process_request> before_;
    std::vector<unit_bound> bounds_;
};

bool restructure(run_state& run, std::string& error) {
    std::vector<compile_unit> with_facts;
    for (size_t i = 0; i < run.units.size(); ++i)
        if (run.has_facts[i]) with_facts.push_back(run.units[i]);
    if (with_facts.empty()) {
        error = "no unit has facts; nothing to restructure";
        return false;
    }
    work_beside_restructurer beside(run);
    run.begin("restructure", 0, run.out.work + "/restructure/restructurer.log");
    run.restructured = run_restructurer(run.tools.restructurer, with_facts, run.out.tree,
                                        run.out.work + "/restructure");
    run.end("restructure");
    beside.finish();
    if (!run.restructured.run.ok()) {
        error = "the restructurer failed (status " + std::to_string(run.restructured.run.status) +
                "); see " + run.restructured.log;
        return false;
    }
    run.report.new_headers = static_cast<int>(run.restructured.new_headers.size());
    return true;
}

// Rewrites the include lines of the new headers and the rewritten sources to
// absolute paths, and their line markers to standard #line directives, so that
// they compile with nothing but the project's own flags, whatever those demand.
void pin_restructured_includes(run_state& run) {
    std::vector<std::string> dirs;
    for (const std::string& flag : run.restructured.include_flags)
        dirs.push_back(flag.substr(2));
    for (const std::string& header : run.restructured.new_headers) {
        pin_file_includes(header, dirs);
        standardize_file_line_markers(header);
    }
    for (const compile_unit& unit : run.units)
        if (fs::exists(unit.rewritten())) {
            pin_file_includes(unit.rewritten(), dirs);
            standardize_file_line_markers(unit.rewritten());
        }
}

// A source compiled with other flags too (a library's and a program's -D flags)
// is preprocessed in each configuration; where the text differs from the first
// one's, from which it was restructured, its rewritten source keeps the original
// text for the others under a condition on their macros. When no macro tells
// them apart, the source is not rewritten.
void fit_configurations(run_state& run) {
    std::vector<process_request> requests;
    std::vector<std::pair<size_t, size_t>> what; // unit, configuration (0: the first)
    for (size_t i = 0; i < run.units.size(); ++i) {
        const compile_unit& unit = run.units[i];
        if (unit.variants.empty() || !fs::exists(unit.rewritten())) continue;
        for (size_t k = 0; k <= unit.variants.size(); ++k) {
            const compile_variant v =
                k == 0 ? compile_variant{unit.directory, unit.compiler, unit.flags}
                       : unit.variants[k - 1];
            std::string out = unit_file(run, i, ".config" + std::to_string(k) + ".i");
            requests.push_back({with(with({v.compiler}, v.flags), {"-E", "-P", unit.source}),
                                v.directory, out, out + ".log"});
            what.emplace_back(i, k);
        }
    }
    if (requests.empty()) return;
    run.begin("configurations", static_cast<int>(requests.size()));
    std::vector<process_result> results = run_all(requests, run.options.jobs, run.shown);
    run.end("configurations");
    for (size_t r = 0; r < results.size();) {
        const size_t i = what[r].first;
        compile_unit& unit = run.units[i];
        const std::string first = results[r].ok() ? read_text(requests[r].out_file) : "";
        std::vector<std::map<std::string, std::string>> differing;
        for (++r; r < results.size() && what[r].first == i; ++r) {
            if (results[r].ok() && read_text(requests[r].out_file) == first) continue;
            const compile_variant& v = unit.variants[what[r].second - 1];
            differing.push_back(command_line_macros(v.flags));
        }
        if (differing.empty()) continue;
        std::optional<std::string> guard =
            configuration_guard(command_line_macros(unit.flags), differing);
        if (guard &&
            write_file(unit.rewritten(), guarded_source(*guard, read_text(unit.rewritten()),
                                                        read_text(unit.source)))) {
            run.shown.message("hdrslim: " + unit.name + " is compiled in " +
                              std::to_string(differing.size() + 1) +
                              " configurations with other text; its rewritten source serves the "
                              "first (#if " +
                              *guard + "), the others compile its original text");
            continue;
        }
        std::error_code ec;
        fs::remove(unit.rewritten(), ec);
        run.has_facts[i] = false;
        run.report.failures.push_back(
            {unit.name, "restructure",
             "it is compiled in " + std::to_string(differing.size() + 1) +
                 " configurations whose preprocessed text differs, and no -D or -U flag tells "
                 "them apart; one rewritten source cannot serve them all, so it keeps its "
                 "original text",
             "compile it once, or give each configuration a macro of its own", ""});
    }
}

// "the text of func:gen (/dir/sub/gen.y:1) was found nowhere in <path>", the
// first three units named, the others counted.
std::string lost_text_message(const std::vector<std::string>& units, const std::string& path) {
    std::string named;
    for (size_t k = 0; k < units.size() && k < 3; ++k) {
        const std::string& u = units[k];
        const std::size_t blank = u.find(' ');
        named += (k ? ", " : "") + (blank == std::string::npos
                                        ? u
                                        : u.substr(0, blank) + " (" + u.substr(blank + 1) + ")");
    }
    if (units.size() > 3) named += " and " + std::to_string(units.size() - 3) + " more";
    return "the text of " + named + " was found nowhere in " + path +
           "; the rewritten source lacks it";
}

// Whether each unit was restructured: a rewritten source that lacks text of its
// unit is that unit's failure, never a success.
void mark_restructured(run_state& run) {
    for (size_t i = 0; i < run.units.size(); ++i) {
        const compile_unit& unit = run.units[i];
        auto lost = run.restructured.lost_texts.find(unit.preprocessed());
        const bool written = fs::exists(unit.rewritten());
        run.report.units[i].restructured = written && lost == run.restructured.lost_texts.end();
        if (run.report.units[i].restructured) continue;
        if (written && lost != run.restructured.lost_texts.end())
            run.report.failures.push_back(
                {unit.name, "restructure", lost_text_message(lost->second, unit.preprocessed()),
                 "a fault of hdrslim: the facts place these units where the preprocessed "
                 "source has no text for them; please report it with the .rsf and .cpp.c",
                 run.restructured.log});
        else if (run.has_facts[i])
            run.report.failures.push_back(
                {unit.name, "restructure", "no rewritten source was written for this unit",
                 "the restructurer's log tells which units it wrote", run.restructured.log});
    }
}

// The compile status and time of every original and every rewritten source with
// the unit's own flags. The project's builds compile them already: a unit's
// figures come from the build's own compile of its original and the rebuild's of
// its rewritten source. Only what they did not compile, or what failed in the
// rebuild (whose log mixes all units), is compiled here, one at a time per job.
void compile_units(run_state& run) {
    std::vector<std::optional<unit_compile>> before, after;
    if (run.build_captured) {
        before = compiles_in_build(run.build.steps, run.out.tree, run.units, run.out.tree);
        after = compiles_in_build(run.rebuild_steps, run.out.after, run.units, run.out.tree);
    }
    before.resize(run.units.size());
    after.resize(run.units.size());
    std::vector<process_request> requests;
    std::vector<std::pair<size_t, bool>> what; // unit, rewritten?
    std::string objects = run.out.work + "/objects/";
    std::error_code ec;
    fs::create_directories(objects, ec);
    for (size_t i = 0; i < run.units.size(); ++i) {
        const compile_unit& unit = run.units[i];
        unit_report& u = run.report.units[i];
        std::string n = std::to_string(i);
        if (before[i] && before[i]->ok) {
            u.compile_before = before[i]->seconds;
        } else {
            requests.push_back(
                {compile_argv(unit, {"-c", unit.source, "-o", objects + n + ".before.o"}),
                 unit.directory, "", unit_file(run, i, ".compile-before.log")});
            what.emplace_back(i, false);
        }
        if (!u.restructured) continue;
        // A regenerated source was not compiled from its rewritten text.
        if (after[i] && after[i]->ok && !u.regenerated) {
            u.compile_after = after[i]->seconds;
            u.compiled = true;
            continue;
        }
        requests.push_back(
            {compile_argv(unit, {"-c", unit.rewritten(), "-o", objects + n + ".after.o"}),
             unit.directory, "", unit_file(run, i, ".compile.log")});
        what.emplace_back(i, true);
    }
    run.report.compiled_again = static_cast<int>(requests.size());
    run.begin("compile", static_cast<int>(requests.size()));
    std::vector<process_result> results = run_all(requests, run.options.jobs, run.shown);
    run.end("compile");
    for (size_t k = 0; k < results.size(); ++k) {
        auto [i, rewritten] = what[k];
        unit_report& u = run.report.units[i];
        if (!rewritten) {
            u.compile_before = results[k].seconds;
            continue;
        }
        u.compile_after = results[k].seconds;
        u.compiled = results[k].ok();
        if (!u.compiled)
            run.report.failures.push_back({u.name, "compile", log_excerpt(requests[k].err_file),
                                           hint_for("compile"), requests[k].err_file});
    }
}

// What the project's own build links or archives: the products of its link and
// archive steps that exist once it has run (configure tests are gone by then).
std::vector<std::string> build_products(const run_state& run) {
    std::vector<std::string> products;
    for (const build_step& step : run.build.steps) {
        if (step.what == build_step::kind::compile || step.output.empty()) continue;
        fs::path product = (fs::path(step.cwd) / step.output).lexically_normal();
        std::string rel = product.lexically_relative(run.out.tree).string();
        if (fs::exists(product) && rel.rfind("..", 0) != 0 &&
            std::find(products.begin(), products.end(), rel) == products.end())
            products.push_back(rel);
    }
    return products;
}

// Why a program or library may be missing after the rebuild: units that did not
// compile are named; when every unit compiled, none of them is blamed.
std::string link_hint(const run_state& run) {
    std::vector<std::string> failed;
    for (const unit_report& u : run.report.units)
        if (u.restructured && !u.compiled) failed.push_back(u.name);
    if (failed.empty())
        return "every rewritten unit compiled on its own; the first error in the log tells "
               "what stopped the build";
    std::string names;
    for (size_t i = 0; i < failed.size() && i < 3; ++i)
        names += (i ? ", " : "") + failed[i];
    if (failed.size() > 3) names += " and " + std::to_string(failed.size() - 3) + " more";
    return "it may need a unit that did not compile (" + names + "); see the log";
}

fs::path after_path(const run_state& run, const compile_unit& unit) {
    return fs::path(run.out.after) / fs::path(unit.source).lexically_relative(run.out.tree);
}

// Puts the rewritten source of `unit` in the rebuilt copy as a new file (so it
// is newer than anything a build made before); a failure is recorded. With
// `ahead`, its modification time is set that far past the clock: a build whose
// configure step writes the generator's inputs afresh each time (vim's
// auto/pathdef.c is made from auto/config.mk) would otherwise find them newer
// and make the source again once more.
void place_rewritten(run_state& run, const compile_unit& unit,
                     std::chrono::seconds ahead = std::chrono::seconds(0)) {
    fs::path target = after_path(run, unit);
    std::error_code ec;
    // A source the build generates has no folder in a fresh copy until the
    // build makes it; its rewritten form is put there all the same, as a new
    // file (never through whatever stands at that name).
    fs::create_directories(target.parent_path(), ec);
    if (!remove_entry(target.string())) ec = std::make_error_code(std::errc::is_a_directory);
    if (!ec) fs::copy_file(unit.rewritten(), target, ec);
    if (!ec && ahead.count() > 0)
        fs::last_write_time(target, fs::file_time_type::clock::now() + ahead, ec);
    if (ec)
        run.report.failures.push_back(
            {unit.name, "rebuild", "cannot put the rewritten source in place: " + ec.message(),
             "see whether " + target.parent_path().string() + " can be written", target.string()});
}

// The restructured units whose source in the rebuilt copy is no longer the
// rewritten text.
std::vector<size_t> sources_made_again(const run_state& run) {
    std::vector<size_t> again;
    for (size_t i = 0; i < run.units.size(); ++i) {
        const compile_unit& unit = run.units[i];
        if (!run.report.units[i].restructured) continue;
        if (!fs::exists(after_path(run, unit)) ||
            read_text(unit.rewritten()) != read_text(after_path(run, unit).string()))
            again.push_back(i);
    }
    return again;
}

// True when a step names `source` among its arguments (taken in its directory).
bool names_source(const std::vector<build_step>& steps, const fs::path& source) {
    std::error_code ec;
    const fs::path wanted = fs::weakly_canonical(source, ec);
    for (const build_step& step : steps)
        for (const std::string& arg : step.argv)
            if (fs::path(arg).filename() == source.filename() &&
                fs::weakly_canonical(fs::path(step.cwd) / arg, ec) == wanted)
                return true;
    return false;
}

// A source the build made again over the rewritten one even after it was put
// back (`again`, built a second time in `again_steps`), or that the second
// build did not compile, is not what the rebuilt programs were compiled from:
// the rebuild proves nothing about it. Its failure is reported once it was
// compiled apart (report_regenerated_sources), so that the hint can say whether
// its rewritten source compiles.
void find_regenerated_sources(run_state& run, const std::vector<size_t>& again,
                              const std::vector<build_step>& again_steps, const std::string& log) {
    const std::vector<size_t> still = sources_made_again(run);
    for (size_t i = 0; i < run.units.size(); ++i) {
        const bool made_again = std::find(still.begin(), still.end(), i) != still.end();
        const bool put_back = std::find(again.begin(), again.end(), i) != again.end();
        const bool not_compiled =
            !made_again && put_back && !names_source(again_steps, after_path(run, run.units[i]));
        if (!made_again && !not_compiled) continue;
        run.report.units[i].regenerated = true;
        ++run.report.regenerated;
        run.regenerated.push_back({i, not_compiled, log});
    }
}

void report_regenerated_sources(run_state& run) {
    for (const auto& [i, not_compiled, log] : run.regenerated) {
        const compile_unit& unit = run.units[i];
        run.report.failures.push_back(
            {unit.name, "rebuild",
             std::string("the project's build made this source again over the rewritten one (it "
                         "is generated)") +
                 (not_compiled ? " and, once it was put back, did not compile it" : "") +
                 ", so the rebuilt programs were not compiled from the rewritten source",
             "the rewritten source is " + unit.rewritten() +
                 (run.report.units[i].compiled ? " and compiles on its own" : "") +
                 "; to build with it, restructure the generator's inputs or build the "
                 "generated source without regenerating it",
             log});
    }
}

// Builds a fresh copy of the project whose sources are the rewritten ones with the
// project's own build command, so that its own compile, link and archive steps
// make the programs and libraries exactly as they make the originals.
void build_after(run_state& run) {
    if (!run.build_captured) return;
    std::string error;
    run.begin("rebuild", 0, run.out.work + "/build-after.log");
    if (!copy_project(run.out.project, run.out.after, error)) {
        run.report.failures.push_back({"(project)", "rebuild", error, "check the disk space", ""});
        run.end("rebuild");
        return;
    }
    clean_build_outputs(run.out.after, run.out.project);
    for (const compile_unit& unit : run.units)
        if (fs::exists(unit.rewritten())) place_rewritten(run, unit);
    std::string log = run.out.work + "/build-after.log";
    captured_build rebuilt =
        capture_build(run.options.build_command, run.out.after, run.out.work, "build-after");
    process_result result = rebuilt.result;
    double seconds = result.seconds;
    // A build that makes a source from others (an amalgamation, a `gen.c:
    // gen.c.in stamp` rule) makes it again in the fresh copy, over the rewritten
    // one, when something it is made from is missing there (a stamp file) or
    // newer (written by a configure step). As after editing a generated file,
    // the rewritten source is put back, newer than everything the build made
    // and than what its configure step writes again (a day ahead of the clock;
    // make warns of the skew), and the build runs once more: make then compiles
    // it instead of making it again. Whatever the second build does not compile
    // from the rewritten text is reported below.
    std::vector<size_t> again = sources_made_again(run);
    std::vector<build_step> again_steps;
    if (!again.empty()) {
        std::string names;
        for (size_t k = 0; k < again.size(); ++k) {
            place_rewritten(run, run.units[again[k]], std::chrono::hours(24));
            if (k < 3) names += (k ? ", " : "") + run.units[again[k]].name;
        }
        run.shown.message("hdrslim: the build made " + std::to_string(again.size()) +
                          " rewritten source" + (again.size() > 1 ? "s" : "") + " again (" + names +
                          (again.size() > 3 ? ", ..." : "") + "); put back and built once more");
        log = run.out.work + "/build-again.log";
        captured_build second =
            capture_build(run.options.build_command, run.out.after, run.out.work, "build-again");
        result = second.result;
        seconds += result.seconds;
        again_steps = second.steps;
    }
    run.end("rebuild");
    run.report.build_seconds_before = run.build.result.seconds;
    // The second build's compiles come first: they are those of the sources
    // put back.
    run.rebuild_steps = again_steps;
    run.rebuild_steps.insert(run.rebuild_steps.end(), rebuilt.steps.begin(), rebuilt.steps.end());
    run.rebuild_log = log;
    run.report.build_seconds_after = seconds;
    run.report.build_after_ok = result.ok();
    run.report.links_known = true;
    find_regenerated_sources(run, again, again_steps, log);
    if (!result.ok())
        run.report.failures.push_back({"(project)", "rebuild",
                                       "the project's build failed on the rewritten sources",
                                       "the first error in the log names the unit", log});
}

// Whether the rebuild made every program and library the build made; a missing
// one is blamed on the units that did not compile, so this follows compile_units.
void check_links(run_state& run) {
    if (!run.report.links_known) return;
    const std::string& log = run.rebuild_log;
    for (const std::string& product : build_products(run)) {
        ++run.report.link_steps;
        if (fs::exists(fs::path(run.out.after) / product))
            ++run.report.links_ok;
        else
            run.report.failures.push_back(
                {product, "link", "the rebuilt project lacks it", link_hint(run), log});
    }
}

// The top-level declarations of a new header and the files they came from (the
// names of its line directives).
new_header_report describe_new_header(const std::string& path, const run_state& run) {
    new_header_report h;
    h.name = fs::path(path).lexically_relative(run.out.root).string();
    std::ifstream in(path);
    std::string line;
    int depth = 0;
    while (std::getline(in, line)) {
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos) continue;
        if (line[first] == '#') {
            if (line.compare(first, 6, "#line ") == 0) {
                size_t open = line.find('"'), close = line.rfind('"');
                if (open != std::string::npos && close > open) {
                    fs::path file(line.substr(open + 1, close - open - 1));
                    fs::path rel = file.lexically_relative(run.out.tree);
                    std::string name =
                        !rel.empty() && *rel.begin() != ".." ? rel.string() : file.string();
                    if (std::find(h.origins.begin(), h.origins.end(), name) == h.origins.end())
                        h.origins.push_back(name);
                }
            }
            continue;
        }
        for (char c : line) {
            if (c == '{' || c == '(') ++depth;
            if (c == '}' || c == ')') --depth;
        }
        size_t last = line.find_last_not_of(" \t");
        if (depth == 0 && (line[last] == ';' || line[last] == '}')) ++h.declarations;
    }
    std::sort(h.origins.begin(), h.origins.end());
    return h;
}

// A check that passes both times but prints something else after restructuring
// has found a change in behaviour: a failure, shown by its first differing line.
void compare_check_output(run_state& run) {
    if (run.report.check_after.rfind("not run", 0) == 0) return;
    std::string before = run.out.work + "/check-before.log";
    std::string after = run.out.work + "/check-after.log";
    std::string difference =
        first_output_difference(read_text(before), run.out.tree, read_text(after), run.out.after);
    run.report.check_same_output = difference.empty();
    if (!difference.empty() && run.report.check_before == "passed" &&
        run.report.check_after == "passed")
        run.report.failures.push_back(
            {"(project)", "check",
             "the check passed before and after but printed different output; " + difference,
             "compare the two logs: the restructured program behaves differently", after});
}

// The lower bound of every unit that has its preprocessed text.
void measure_bounds(run_state& run) {
    if (!run.bounds_measured) {
        run.begin("bound", 0);
        run.bounds = measure_lower_bounds(run.units, run.has_facts, run.tools.lowerbound,
                                          run.out.work + "/units", run.out.tree, run.options.jobs,
                                          run.shown);
        run.end("bound");
    }
    for (size_t i = 0; i < run.units.size(); ++i) {
        if (!run.has_facts[i]) run.bounds[i] = unit_bound();
        unit_report& u = run.report.units[i];
        u.bound_computed = run.bounds[i].computed;
        u.bound_compiles = run.bounds[i].compiles;
        u.bound = run.bounds[i].size;
        u.bound_log = run.bounds[i].log;
    }
}

// What the measure finds in one unit's texts.
struct unit_measure {
    text_size before, after;
    int headers_read_before = 0, headers_read_after = 0;
    text_origins origin_before, origin_after;
    std::set<std::string> declaring_before, declaring_after;
};

// Sizes of the original and rewritten text (`cc -E -P`), the headers each
// preprocessing read and where their lines come from. The original text with
// its line markers and the headers it read are those of the units phase
// (<unit>.cpp.c and N.before.d), not made again; a unit without them (it was not
// described) is preprocessed for them (before_requests). `beside` another
// phase, it shows no progress and its time is the other phase's.
void measure(run_state& run, bool beside = false) {
    progress silent(progress::style::quiet);
    progress& shown = beside ? silent : run.shown;
    // The original sources were preprocessed beside the restructurer, unless
    // there was one job.
    std::vector<process_request> requests;
    if (run.marked_before.empty()) requests = before_requests(run);
    const std::vector<std::string>& marked_before = run.marked_before;
    for (size_t i = 0; i < run.units.size(); ++i) {
        const compile_unit& unit = run.units[i];
        if (!run.report.units[i].restructured) continue;
        std::vector<std::string> flags = with(run.restructured.include_flags, {});
        requests.push_back(
            {compile_argv(unit, with(flags, {"-E", "-P", "-MD", "-MF",
                                             unit_file(run, i, ".after.d"), unit.rewritten()})),
             unit.directory, unit_file(run, i, ".after.i"), ""});
        requests.push_back({compile_argv(unit, with(flags, {"-E", unit.rewritten()})),
                            unit.directory, unit_file(run, i, ".after.marked.i"), ""});
    }
    if (!beside) run.begin("measure", static_cast<int>(requests.size()));
    run_all(requests, run.options.jobs, shown);

    // Each unit's texts are read on the jobs' threads; the totals are summed after.
    std::vector<unit_measure> found(run.units.size());
    for_each_parallel(run.units.size(), run.options.jobs, [&](size_t i) {
        const compile_unit& unit = run.units[i];
        unit_measure& m = found[i];
        m.before = measure_file(unit_file(run, i, ".before.i"));
        m.headers_read_before = static_cast<int>(
            headers_read(unit_file(run, i, ".before.d"), unit.directory, run.out.tree).size());
        m.origin_before = read_origins(marked_before[i], run.out.tree);
        m.declaring_before = headers_declaring_in(unit.preprocessed(), run.out.tree);
        if (!run.report.units[i].restructured) return;
        m.after = measure_file(unit_file(run, i, ".after.i"));
        m.headers_read_after = static_cast<int>(
            headers_read(unit_file(run, i, ".after.d"), unit.directory, run.out.tree).size());
        m.origin_after = read_origins(unit_file(run, i, ".after.marked.i"), run.out.tree);
        m.declaring_after =
            headers_declaring_in(unit_file(run, i, ".after.marked.i"), run.out.tree);
    });
    if (!beside) run.end("measure");

    std::map<std::string, header_report> headers;
    std::map<std::string, int> new_header_units;
    auto origins_of = [](const text_origins& o) {
        origin_lines lines;
        lines.own = o.own;
        lines.project = o.project;
        lines.system = o.system;
        return lines;
    };
    for (size_t i = 0; i < run.units.size(); ++i) {
        unit_report& u = run.report.units[i];
        const unit_measure& m = found[i];
        u.before = m.before;
        u.headers_read_before = m.headers_read_before;
        u.origin_before = origins_of(m.origin_before);
        for (const std::string& h : m.declaring_before)
            headers[h].units_before++;
        if (i < run.bounds.size())
            for (const std::string& h : run.bounds[i].headers)
                headers[h].units_bound++;
        if (!u.restructured) {
            // The unit is built from its original source.
            u.after = u.before;
            u.origin_after = u.origin_before;
            u.headers_read_after = u.headers_read_before;
            for (const std::string& h : m.declaring_before)
                headers[h].units_after++;
            continue;
        }
        u.after = m.after;
        u.headers_read_after = m.headers_read_after;
        u.origin_after = origins_of(m.origin_after);
        for (const std::string& h : m.origin_after.new_headers)
            new_header_units[fs::path(h).lexically_normal().string()]++;
        for (const std::string& h : m.declaring_after)
            headers[h].units_after++;
    }
    for (auto& [path, h] : headers) {
        h.name = fs::path(path).lexically_relative(run.out.tree).string();
        run.report.headers.push_back(h);
    }
    for (const std::string& path : run.restructured.new_headers) {
        new_header_report h = describe_new_header(path, run);
        h.units = new_header_units[fs::path(path).lexically_normal().string()];
        run.report.new_header_list.push_back(h);
    }
}

// The source form (unless --form measured): written from the original files
// beside the measured form, built with the project's build, checked and measured.
void build_source_form(run_state& run) {
    source_form_summary& s = run.source;
    s.project = run.out.project;
    std::vector<bool> restructured;
    for (const unit_report& u : run.report.units)
        restructured.push_back(u.restructured);
    // The measure runs beside the writing of the source form, which keeps a
    // single core busy; it reads and sets nothing the writing touches. With
    // one job it comes first.
    std::thread beside;
    if (run.options.jobs > 1)
        beside = std::thread([&run]() { measure(run, true); });
    else
        measure(run);
    run.begin("source form", 0);
    source_form_step step =
        write_source_step(run.out.project, run.out.tree, run.out.root, run.units, restructured,
                          run.restructured.new_headers);
    run.end("source form");
    if (beside.joinable()) {
        run.begin("measure beside source form", 0);
        beside.join();
        run.end("measure beside source form");
    }
    s.written = step.written;
    s.error = step.error;
    s.dir = step.dir;
    s.patch = step.patch;
    s.git_prefix = step.git_prefix;
    s.new_headers = step.files.added;
    s.no_longer_included = step.files.no_longer_included;
    if (!step.written) {
        run.report.failures.push_back({"(project)", "source form", step.error,
                                       "check the disk space and the output directory", ""});
        return;
    }
    run.report.source_dir = step.dir;
    run.report.patch = step.patch;
    if (run.build_captured) {
        std::string log = run.out.work + "/build-source.log";
        run.begin("build source form", 0, log);
        process_result built = run_shell(run.options.build_command, step.dir, log);
        run.end("build source form");
        s.build = built.ok() ? "passed" : "failed";
        if (!built.ok())
            run.report.failures.push_back({"(project)", "source form",
                                           "the project's build failed on the source form",
                                           "the first error in the log names the file", log});
        else if (!run.options.check_command.empty()) {
            std::string check_log = run.out.work + "/check-source.log";
            run.begin("check source form", 0, check_log);
            process_result checked = run_shell(run.options.check_command, step.dir, check_log);
            run.end("check source form");
            s.check = checked.ok() ? "passed" : "failed";
            std::string difference =
                first_output_difference(read_text(run.out.work + "/check-before.log"), run.out.tree,
                                        read_text(check_log), step.dir);
            s.same_output = difference.empty();
            if (!checked.ok() || !difference.empty())
                run.report.failures.push_back(
                    {"(project)", "source form",
                     checked.ok() ? "the check printed different output; " + difference
                                  : "the check failed on the source form",
                     "compare the check logs", check_log});
        }
    }
    std::vector<process_request> requests;
    for (size_t i = 0; i < run.units.size(); ++i) {
        if (!run.report.units[i].restructured) continue;
        const compile_unit& unit = run.units[i];
        requests.push_back(
            {with(with({unit.compiler}, flags_in(unit.flags, run.out.tree, step.dir)),
                  {"-E", flags_in({unit.source}, run.out.tree, step.dir)[0]}),
             flags_in({unit.directory}, run.out.tree, step.dir)[0],
             unit_file(run, i, ".source.marked.i"), ""});
    }
    run.begin("measure source form", static_cast<int>(requests.size()));
    run_all(requests, run.options.jobs, run.shown);
    run.end("measure source form");
    for (size_t i = 0; i < run.units.size(); ++i) {
        const unit_report& u = run.report.units[i];
        source_unit_figures f;
        f.name = u.name;
        f.measured = u.restructured;
        if (f.measured) {
            // Declarations of headers written into the source count as the
            // headers' text, as in the measured form.
            header_lines_in_source lines;
            lines.source = flags_in({run.units[i].source}, run.out.tree, step.dir)[0];
            auto copied = step.files.header_text_lines.find(
                fs::path(lines.source).lexically_relative(step.dir).string());
            if (copied != step.files.header_text_lines.end())
                std::tie(lines.first, lines.last) = copied->second;
            text_origins o = read_origins(unit_file(run, i, ".source.marked.i"), step.dir, lines);
            f.project_before = u.origin_before.project;
            f.system_before = u.origin_before.system;
            f.project_measured = u.origin_after.project;
            f.system_measured = u.origin_after.system;
            f.project_source = o.project;
            f.system_source = o.system;
            f.own_measured = u.origin_after.own;
            f.own_source = o.own;
        }
        s.units.push_back(f);
    }
}

bool write_report(run_state& run) {
    const std::string& root = run.out.root;
    std::string markdown = report_markdown(run.report);
    std::string json = report_json(run.report);
    if (run.options.source_form) {
        markdown += source_form_markdown(run.source);
        json = with_source_form(json, run.source);
    }
    bool ok = write_file(root + "/report.md", markdown) &&
              (!run.options.source_form ||
               write_file(root + "/source_form.json", source_form_json(run.source))) &&
              write_file(root + "/report.json", json) &&
              write_file(root + "/report.svg", report_svg(run.report));
    std::printf("%s", report_table(run.report).c_str());
    print_failures(run.report.failures);
    std::printf("\nreport: %s/report.md (also report.json, report.svg)\n", root.c_str());
    if (run.options.source_form) std::printf("%s", source_form_terminal(run.source).c_str());
    return ok;
}

// True when the project holds a C file. Links to directories are not followed
// (they may loop); one is taken to hold what the project needs.
bool holds_c_source(const std::string& dir) {
    std::error_code ec;
    for (fs::recursive_directory_iterator
             it(dir, fs::directory_options::skip_permission_denied, ec),
         end;
         !ec && it != end; it.increment(ec)) {
        if (it->is_symlink(ec) && it->is_directory(ec)) return true;
        if (it->path().extension() == ".c" && it->is_regular_file(ec)) return true;
    }
    return false;
}

// The project's own compile_commands.json must name a C source of the project.
bool check_compile_db(const run_options& options, std::string& error) {
    std::error_code ec;
    std::string dir = fs::canonical(options.project_dir, ec).string();
    std::string db = find_compile_db(options);
    compile_db_result units = read_compile_db(db, dir, dir);
    if (!units.error.empty()) {
        error = units.error;
        return false;
    }
    if (units.units.empty()) {
        error = db + " names no C source inside the project";
        return false;
    }
    return true;
}

// Missing and unusable inputs are found before anything is written or run.
bool check_inputs(const run_options& options, std::string& error) {
    std::error_code ec;
    if (!fs::exists(options.project_dir, ec)) {
        error = "project directory " + options.project_dir + " does not exist";
        return false;
    }
    if (!fs::is_directory(options.project_dir, ec)) {
        error = "the project " + options.project_dir + " is not a directory";
        return false;
    }
    // Every file the pipeline writes lies below the output directory, and fact
    // files separate their fields with blanks.
    std::string out = fs::absolute(options.out_dir).string();
    if (!fits_fact_line(out)) {
        error = "the output directory " + out +
                " holds white space, which fact files cannot carry; choose another with --out";
        return false;
    }
    if (options.build_command.empty() && find_compile_db(options).empty()) {
        error = "no compile_commands.json in " +
                (options.db_dir.empty() ? options.project_dir + " nor in its build/ folder"
                                        : options.db_dir) +
                "; give --build \"CMD\" to make one with the project's build, or -p DIR";
        return false;
    }
    if (!holds_c_source(options.project_dir)) {
        error = "the project " + options.project_dir + " holds no C source (no .c file)";
        return false;
    }
    return !options.build_command.empty() || check_compile_db(options, error);
}

} // namespace

int run_pipeline(const run_options& options) {
    run_state run(options);
    std::string error;
    if (!check_inputs(options, error)) {
        std::fprintf(stderr, "hdrslim: %s\n%s", error.c_str(), run_usage);
        return 2;
    }
    if (!find_toolchain(run.tools, error)) return fail(run, "set-up", error);
    run.begin("copy", 0);
    if (!prepare_output_dir(options.project_dir, options.out_dir, run.out, error)) {
        run.shown.message("hdrslim: " + error);
        return 2;
    }
    // Only a build run by hdrslim needs the outputs of an earlier one gone; compile
    // commands from a file may name the project's own build folder.
    if (!options.build_command.empty())
        report_cleaned(run, clean_build_outputs(run.out.tree, run.out.project));
    run.end("copy");
    for (const std::string& note : run.out.copy_notes)
        run.shown.message("hdrslim: " + note);
    if (!load_units(run, error)) return fail(run, "reading the compile commands", error);
    run.report.project = run.out.project;
    run.report.out = run.out.root;
    run.report.build_command = options.build_command;
    run.report.check_command = options.check_command;
    for (const compile_unit& unit : run.units) {
        unit_report u;
        u.name = unit.name;
        run.report.units.push_back(u);
    }

    // The check runs against built trees; the options make sure there is a build.
    run.report.check_before = run_check(run, "before", run.out.tree);
    extract_facts(run);
    if (!restructure(run, error)) return fail(run, "restructure", error);
    pin_restructured_includes(run);
    fit_configurations(run);
    mark_restructured(run);
    build_after(run);
    compile_units(run);
    report_regenerated_sources(run);
    check_links(run);
    // Without the project's build, or when it failed on the rewritten sources,
    // there is no rebuilt copy to check.
    if (!run.build_captured)
        run.report.check_after = "not run";
    else if (!run.report.build_after_ok)
        run.report.check_after =
            options.check_command.empty() ? "not run" : "not run (the rebuild failed)";
    else
        run.report.check_after = run_check(run, "after", run.out.after);
    compare_check_output(run);
    measure_bounds(run);
    // The source form's phase measures the measured form beside its writing.
    if (options.source_form)
        build_source_form(run);
    else
        measure(run);
    if (!write_report(run))
        return fail(run, "report", "cannot write the report into " + run.out.root);

    bool clean = run.report.failures.empty() && run.report.check_after != "failed" &&
                 (run.report.check_after != "passed" || run.report.check_same_output);
    run.out.mark(clean ? "complete" : "complete, with failures (see report.md)");
    return clean ? 0 : 1;
}
