// A registry whose opens of some keys wait at a gate until the test lets them through: a read on
// another thread can then be held half-way for as long as the test needs.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string_view>

#include "platform/registry.h"

namespace q7::test {

class GatedRegistry final : public Registry {
public:
  // Opens and creates of a path for which gated is true wait until release.
  GatedRegistry(Registry& inner, std::function<bool(std::u16string_view)> gated)
      : inner_(inner), gated_(std::move(gated)) {}

  void release() {
    {
      std::lock_guard lock(mutex_);
      open_ = true;
    }
    opened_.notify_all();
  }
  std::unique_ptr<RegistryKey> open(std::u16string_view path) override {
    pass(path);
    return inner_.open(path);
  }
  std::unique_ptr<RegistryKey> create(std::u16string_view path) override {
    pass(path);
    return inner_.create(path);
  }
  uint32_t lastError() const override { return inner_.lastError(); }

private:
  void pass(std::u16string_view path) {
    if (!gated_(path)) return;
    std::unique_lock lock(mutex_);
    opened_.wait(lock, [this] { return open_; });
  }

  Registry& inner_;
  std::function<bool(std::u16string_view)> gated_;
  mutable std::mutex mutex_;
  std::condition_variable opened_;
  bool open_ = false;
};

} // namespace q7::test
