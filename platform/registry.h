// The per-user registry as the settings store sees it: keys under HKEY_CURRENT_USER opened with
// one access mask, binary values read into and written from caller buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace q7 {

// KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY: the mask every key of the store is opened with.
constexpr uint32_t kRegistryAccess = 0x2001F;

class RegistryKey {
public:
  virtual ~RegistryKey() = default; // closes the key

  // Reads a value of any type into slot[0, size): a longer value is cut to the slot, a shorter
  // one leaves the rest of the slot zero. A missing value leaves the slot as it was and gives false.
  virtual bool read(std::u16string_view name, void* slot, size_t size) = 0;
  // Writes a REG_BINARY value of exactly size bytes: 0 when written, otherwise the system's error code.
  virtual uint32_t write(std::u16string_view name, const void* data, size_t size) = 0;
  // Removes a value: 0 when it is gone (or was never there), otherwise the system's error code.
  // A store that cannot remove values answers 50 (ERROR_NOT_SUPPORTED).
  virtual uint32_t remove(std::u16string_view) { return 50; }
};

class Registry {
public:
  virtual ~Registry() = default;
  // Opens HKCU\path with kRegistryAccess; null when it cannot be opened.
  virtual std::unique_ptr<RegistryKey> open(std::u16string_view path) = 0;
  // Creates (or opens) HKCU\path with kRegistryAccess; null when that fails too.
  virtual std::unique_ptr<RegistryKey> create(std::u16string_view path) = 0;

  // The system's error code of the last open or create that failed (0 when it cannot be told).
  virtual uint32_t lastError() const { return 0; }

  std::unique_ptr<RegistryKey> openOrCreate(std::u16string_view path) {
    auto key = open(path);
    return key ? std::move(key) : create(path);
  }
};

} // namespace q7
