// The registry interface over the real HKEY_CURRENT_USER.
#pragma once

#include "platform/win32/windows_only.h"

#include "platform/registry.h"

namespace q7::win32 {

class Win32Registry final : public Registry {
public:
  std::unique_ptr<RegistryKey> open(std::u16string_view path) override;
  std::unique_ptr<RegistryKey> create(std::u16string_view path) override;
  uint32_t lastError() const override { return lastError_; }

private:
  uint32_t lastError_ = 0;
};

} // namespace q7::win32
