// Running other programs: the compiler, the tools of the pipeline, make, bear and
// the user's own build and check commands. Every child runs with its standard
// input closed, in a given directory, with its output sent to files.
#pragma once

#include <string>
#include <vector>

struct process_result {
    int status = -1;      // exit status, or 128 + signal number
    double seconds = 0.0; // wall time
    bool started = false; // false when the program could not be run at all
    bool ok() const { return started && status == 0; }
};

struct process_request {
    std::vector<std::string> argv;
    std::string cwd;      // empty: the current directory
    std::string out_file; // empty: /dev/null
    std::string err_file; // empty: /dev/null; may equal out_file
};

// Runs the request and waits for it.
process_result run_process(const process_request& request);

// Runs `command` with /bin/sh -c.
process_result run_shell(const std::string& command, const std::string& cwd,
                         const std::string& log_file);

// Quotes one word for /bin/sh.
std::string shell_quote(const std::string& word);
std::string shell_join(const std::vector<std::string>& words);
