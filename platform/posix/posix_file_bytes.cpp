// Files through POSIX descriptors; paths are UTF-16 in the program and UTF-8 on disk.
#include "platform/file_bytes.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace q7 {

namespace {

// UTF-16 to UTF-8 (at most three bytes per unit; a pair gives four); a lone surrogate becomes
// U+FFFD. False for an embedded NUL, which no file name can hold.
// Writes into out, which has room for 3 * in.size() bytes and a NUL; returns the length.
bool toUtf8(std::u16string_view in, char* out, size_t& length) {
  char* o = out;
  for (size_t i = 0; i < in.size(); ++i) {
    uint32_t c = in[i];
    if (c == 0) return false;
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (in[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      *o++ = char(c);
    } else if (c < 0x800) {
      *o++ = char(0xC0 | (c >> 6));
      *o++ = char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      *o++ = char(0xE0 | (c >> 12));
      *o++ = char(0x80 | ((c >> 6) & 0x3F));
      *o++ = char(0x80 | (c & 0x3F));
    } else {
      *o++ = char(0xF0 | (c >> 18));
      *o++ = char(0x80 | ((c >> 12) & 0x3F));
      *o++ = char(0x80 | ((c >> 6) & 0x3F));
      *o++ = char(0x80 | (c & 0x3F));
    }
  }
  *o = 0;
  length = size_t(o - out);
  return true;
}

} // namespace

ReadOnlyFile::~ReadOnlyFile() {
  if (handle_ >= 0) ::close(int(handle_));
}

bool ReadOnlyFile::open(std::u16string_view path) {
  if (handle_ >= 0 || path.empty()) return false;
  // Short paths (nearly all) are converted on the stack.
  char small[1024];
  std::string large;
  char* name = small;
  if (3 * path.size() + 1 > sizeof small) {
    large.resize(3 * path.size() + 1);
    name = large.data();
  }
  size_t length = 0;
  if (!toUtf8(path, name, length)) return false;
  const int fd = ::open(name, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  handle_ = fd;
  size_ = uint64_t(st.st_size);
  return true;
}

bool ReadOnlyFile::read(void* into, size_t count) {
  if (handle_ < 0) return false;
  auto* p = static_cast<char*>(into);
  while (count > 0) {
    const ssize_t got = ::read(int(handle_), p, count);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    p += got;
    count -= size_t(got);
  }
  return true;
}

} // namespace q7
