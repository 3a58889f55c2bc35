// A library that loads but exports none of the hook library's entry points.
#include "platform/win32/windows_only.h"

extern "C" __declspec(dllexport) int unrelatedExport() { return 7; }
