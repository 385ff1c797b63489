// `hdrslim run`: from a C project to a restructured, compiled, measured copy of it
// with a report. Returns the exit status: 0 when every unit went through and the
// checks passed, 1 when something failed (the report says what), 2 for bad input.
#pragma once

#include "run_options.h"

int run_pipeline(const run_options& options);
