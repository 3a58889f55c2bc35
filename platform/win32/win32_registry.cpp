#include "platform/win32/win32_registry.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/handles.h"

namespace q7::win32 {

namespace {

std::wstring zeroEnded(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }

class Win32Key final : public RegistryKey {
public:
  explicit Win32Key(HKEY key) : key_(key) {}

  bool read(std::u16string_view name, void* slot, size_t size) override {
    const std::wstring n = zeroEnded(name);
    DWORD got = static_cast<DWORD>(size);
    // Read into a scratch buffer first so that a missing value leaves the slot untouched and a
    // failed read never leaves half-written bytes.
    if (scratch_.size() < size) scratch_.resize(size);
    LONG rc = RegQueryValueExW(key_.get(), n.c_str(), nullptr, nullptr, scratch_.data(), &got);
    if (rc == ERROR_MORE_DATA) {
      // Longer than the slot: take it whole, keep the slot's width.
      DWORD need = 0;
      if (RegQueryValueExW(key_.get(), n.c_str(), nullptr, nullptr, nullptr, &need) != ERROR_SUCCESS) return false;
      scratch_.resize(std::max<size_t>(need, size));
      got = need;
      rc = RegQueryValueExW(key_.get(), n.c_str(), nullptr, nullptr, scratch_.data(), &got);
      if (got > size) got = static_cast<DWORD>(size);
    }
    if (rc != ERROR_SUCCESS) return false;
    std::memcpy(slot, scratch_.data(), got);
    std::memset(static_cast<uint8_t*>(slot) + got, 0, size - got);
    return true;
  }

  void write(std::u16string_view name, const void* data, size_t size) override {
    const std::wstring n = zeroEnded(name);
    RegSetValueExW(key_.get(), n.c_str(), 0, REG_BINARY, static_cast<const BYTE*>(data), static_cast<DWORD>(size));
  }

private:
  UniqueKey key_;
  std::vector<BYTE> scratch_;
};

} // namespace

std::unique_ptr<RegistryKey> Win32Registry::open(std::u16string_view path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, zeroEnded(path).c_str(), 0, kRegistryAccess, &key) != ERROR_SUCCESS)
    return nullptr;
  return std::make_unique<Win32Key>(key);
}

std::unique_ptr<RegistryKey> Win32Registry::create(std::u16string_view path) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, zeroEnded(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      kRegistryAccess, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return nullptr;
  return std::make_unique<Win32Key>(key);
}

} // namespace q7::win32
