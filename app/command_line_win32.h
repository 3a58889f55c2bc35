// The command line in the Windows program: the arguments of the process, the system's registry,
// files and windows, the mutex as the lock, and the answer written to the standard handles.
#pragma once

#include <string>
#include <vector>

namespace q7 {

// The process's arguments after the program's own name.
std::vector<std::u16string> processArguments();
// Runs the command of args (not empty), writes its message and returns the process exit code.
int runCommandLineProcess(const std::vector<std::u16string>& args);

} // namespace q7
