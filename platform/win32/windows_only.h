// Included first by every Windows-only header: the portable build must never see them.
#pragma once
#ifndef _WIN32
#error "This header belongs to the Windows build only."
#endif
#include <windows.h>
