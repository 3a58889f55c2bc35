#include "platform/win32/win32_registry.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/handles.h"

namespace q7::win32 {

namespace {

std::wstring zeroEnded(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }

// A zero-ended copy of a short name on the stack; the store reads and writes thousands of them.
class WideName {
public:
  explicit WideName(std::u16string_view s) {
    if (s.size() < kInline) {
      std::copy(s.begin(), s.end(), inline_);
      inline_[s.size()] = 0;
    } else {
      long_ = zeroEnded(s);
    }
  }
  const wchar_t* c_str() const { return long_.empty() ? inline_ : long_.c_str(); }

private:
  static constexpr size_t kInline = 64;
  wchar_t inline_[kInline];
  std::wstring long_;
};

class Win32Key final : public RegistryKey {
public:
  explicit Win32Key(HKEY key) : key_(key) {}

  bool read(std::u16string_view name, void* slot, size_t size) override {
    const WideName n(name);
    auto* out = static_cast<BYTE*>(slot);
    DWORD got = static_cast<DWORD>(size);
    const LONG rc = RegQueryValueExW(key_.get(), n.c_str(), nullptr, nullptr, out, &got);
    if (rc == ERROR_SUCCESS) {
      std::memset(out + got, 0, size - got); // shorter than the slot
      return true;
    }
    if (rc != ERROR_MORE_DATA) return false; // missing: the slot stays as it was
    // Longer than the slot: take it whole into scratch space, keep the slot's width.
    DWORD need = 0;
    if (RegQueryValueExW(key_.get(), n.c_str(), nullptr, nullptr, nullptr, &need) != ERROR_SUCCESS) return false;
    std::vector<BYTE> scratch(need);
    got = need;
    if (RegQueryValueExW(key_.get(), n.c_str(), nullptr, nullptr, scratch.data(), &got) != ERROR_SUCCESS) return false;
    const size_t taken = std::min<size_t>(got, size);
    std::memcpy(out, scratch.data(), taken);
    std::memset(out + taken, 0, size - taken);
    return true;
  }

  uint32_t write(std::u16string_view name, const void* data, size_t size) override {
    const WideName n(name);
    return static_cast<uint32_t>(
        RegSetValueExW(key_.get(), n.c_str(), 0, REG_BINARY, static_cast<const BYTE*>(data), static_cast<DWORD>(size)));
  }

  uint32_t remove(std::u16string_view name) override {
    const WideName n(name);
    const LONG rc = RegDeleteValueW(key_.get(), n.c_str());
    return rc == ERROR_FILE_NOT_FOUND ? 0 : static_cast<uint32_t>(rc);
  }

private:
  UniqueKey key_;
};

} // namespace

std::unique_ptr<RegistryKey> Win32Registry::open(std::u16string_view path) {
  HKEY key = nullptr;
  if (const LONG rc = RegOpenKeyExW(HKEY_CURRENT_USER, zeroEnded(path).c_str(), 0, kRegistryAccess, &key);
      rc != ERROR_SUCCESS) {
    lastError_ = static_cast<uint32_t>(rc);
    return nullptr;
  }
  return std::make_unique<Win32Key>(key);
}

std::unique_ptr<RegistryKey> Win32Registry::create(std::u16string_view path) {
  HKEY key = nullptr;
  if (const LONG rc = RegCreateKeyExW(HKEY_CURRENT_USER, zeroEnded(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      kRegistryAccess, nullptr, &key, nullptr);
      rc != ERROR_SUCCESS) {
    lastError_ = static_cast<uint32_t>(rc);
    return nullptr;
  }
  return std::make_unique<Win32Key>(key);
}

} // namespace q7::win32
