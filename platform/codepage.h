// Conversion of byte text in a Windows code page to UTF-16: MultiByteToWideChar on Windows,
// glibc's iconv (with the usual Windows code page numbers mapped to iconv names) elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>

namespace q7 {

// The system's default "ANSI" code page (CP_ACP). The portable build takes it to be 1252.
inline constexpr uint32_t kAnsiCodePage = 0;
inline constexpr uint32_t kUtf8CodePage = 65001;

// Number of UTF-16 units that bytes[0, size) give in codePage; 0 when the code page is not
// available or cannot convert them. Undecodable bytes are replaced, never dropped silently:
// each gives U+FFFD (or what the platform's own table gives for it).
size_t measureMultiByte(uint32_t codePage, const char* bytes, size_t size);

// Converts bytes[0, size) into out[0, capacity) and returns the number of units written, at most
// capacity; 0 when the code page is not available. Give it the capacity measureMultiByte asked for.
size_t convertMultiByte(uint32_t codePage, const char* bytes, size_t size, char16_t* out, size_t capacity);

} // namespace q7
