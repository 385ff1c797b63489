// Runs independent commands N at a time, advancing the progress display as each
// ends. Used for the compile, link-free and measuring steps whose per-command
// timings the report needs.
#pragma once

#include "process.h"
#include "progress.h"

#include <functional>
#include <vector>

std::vector<process_result> run_all(const std::vector<process_request>& requests, int jobs,
                                    progress& shown);

// Calls work(0) ... work(count - 1), N at a time on threads of their own; each
// call must touch only what belongs to its index.
void for_each_parallel(size_t count, int jobs, const std::function<void(size_t)>& work);
