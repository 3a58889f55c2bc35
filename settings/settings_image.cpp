#include "settings/settings_image.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace q7 {

namespace {
// calloc rather than new: the system hands out zeroed pages and touches them only when written.
SettingsBlock* zeroBlock() {
  void* memory = std::calloc(1, sizeof(SettingsBlock));
  if (!memory) throw std::bad_alloc();
  return static_cast<SettingsBlock*>(memory);
}
} // namespace

void SettingsImage::FreeBlock::operator()(SettingsBlock* block) const { std::free(block); }

SettingsImage::SettingsImage() : working_(zeroBlock()), saved_(zeroBlock()) {}

ProfileRecord& SettingsImage::profile(int p) { return working_->profiles[safeProfileIndex(static_cast<uint32_t>(p))]; }

KeyRecord& SettingsImage::key(int p, int k) { return profile(p).Button[(k >= 0 && k < kKeyCount) ? k : 0]; }

void SettingsImage::commitSaved() { std::memcpy(saved_.get(), working_.get(), sizeof(SettingsBlock)); }

bool SettingsImage::hasUnsavedChanges() const {
  return std::memcmp(working_.get(), saved_.get(), sizeof(SettingsBlock)) != 0;
}

void SettingsImage::resetWorking() { std::memset(working_.get(), 0, sizeof(SettingsBlock)); }

void SettingsImage::headerRead() { std::memcpy(&saved_->header, &working_->header, sizeof(SettingsHeader)); }

void SettingsImage::beginPartialRead(int p) {
  p = safeProfileIndex(static_cast<uint32_t>(p));
  std::memcpy(&saved_->profiles[p], &working_->profiles[p], sizeof(ProfileRecord));
  std::lock_guard lock(readMutex_);
  for (int i = 0; i < kProfileCount; ++i) read_[i] = i == p;
  allRead_ = false;
}

void SettingsImage::profileRead(int p) {
  p = safeProfileIndex(static_cast<uint32_t>(p));
  std::memcpy(&saved_->profiles[p], &working_->profiles[p], sizeof(ProfileRecord));
  std::lock_guard lock(readMutex_);
  read_[p] = true;
}

void SettingsImage::readComplete(const WholeKeyArrays& arrays) {
  {
    std::lock_guard lock(readMutex_);
    std::memcpy(WholeKeyColorStatus, arrays.status, sizeof WholeKeyColorStatus);
    std::memcpy(WholeKeyColor, arrays.colour, sizeof WholeKeyColor);
    for (bool& r : read_) r = true;
    allRead_ = true;
  }
  readDone_.notify_all();
}

bool SettingsImage::isRead(int p) const {
  std::lock_guard lock(readMutex_);
  return read_[safeProfileIndex(static_cast<uint32_t>(p))];
}

bool SettingsImage::allRead() const {
  std::lock_guard lock(readMutex_);
  return allRead_;
}

void SettingsImage::waitUntilRead() const {
  std::unique_lock lock(readMutex_);
  readDone_.wait(lock, [this] { return allRead_; });
}

} // namespace q7
