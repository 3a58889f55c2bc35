// The phases of the program's start, timed from the process's creation, for the start benchmark:
// with the environment variable Q7_START_TRACE naming a file, the program appends one line per
// phase ("phase milliseconds") to it once its first complete paint is done. Without it, marks cost
// one clock read.
#pragma once

namespace q7::start_trace {

// Records that the named phase (a literal) has ended now; after finish, appends it to the file at once.
void mark(const char* phase);
// Writes the marks to the file, once; later calls do nothing.
void finish();

} // namespace q7::start_trace
