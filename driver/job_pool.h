// Runs independent commands N at a time, advancing the progress display as each
// ends. Used for the compile, link-free and measuring steps whose per-command
// timings the report needs.
#pragma once

#include "process.h"
#include "progress.h"

#include <vector>

std::vector<process_result> run_all(const std::vector<process_request>& requests, int jobs,
                                    progress& shown);
