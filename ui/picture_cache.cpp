#include "ui/picture_cache.h"

#include <objbase.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>

#include "ui/mask_runs.h"
#include "ui/picture_cache_rules.h"
#include "ui/region.h"

namespace q7 {

namespace {

FileStamp stampOf(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return {};
  return {true, (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime,
          (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow};
}

// The stamps of the two files that loadScaledSkin chooses between.
PictureStamps stampsOf(const char* name, Scale scale) {
  PictureStamps s;
  const std::wstring file = win32::widen(std::string_view(name));
  s.base = stampOf(skinFile(file));
  if (const SkinSet* set = skinSetFor(scale.dpi))
    s.scaled = stampOf(skinFile(win32::widen(set->folder) + L"\\" + file));
  return s;
}

struct FamilyStamps {
  PictureStamps normal, over, down, mask;
  bool operator==(const FamilyStamps&) const = default;
};

FamilyStamps familyStamps(const SkinFamily& f, Scale scale) {
  return {stampsOf(f.normal, scale), stampsOf(f.over, scale), stampsOf(f.down, scale), stampsOf(f.mask, scale)};
}

bool changed(const FamilyStamps& a, const FamilyStamps& b) {
  return needsDecode(a.normal, b.normal) || needsDecode(a.over, b.over) || needsDecode(a.down, b.down) ||
         needsDecode(a.mask, b.mask);
}

// The part of a picture as a bitmap of its own (24 bits a pixel), placed where it lies.
SkinBitmap keepPart(const SkinBitmap& whole, const Rect& part) {
  if (!whole || part.empty()) return {};
  if (part == Rect{0, 0, whole.width(), whole.height()}) return whole;
  BITMAPINFO info = topDownDib(part.width(), part.height(), 24);
  void* bits = nullptr;
  SkinBitmap held(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  win32::UniqueDc from(CreateCompatibleDC(nullptr)), to(CreateCompatibleDC(nullptr));
  if (!held || !from || !to) return whole;
  {
    win32::Selection a(from.get(), whole.get()), b(to.get(), held.get());
    if (!BitBlt(to.get(), 0, 0, part.width(), part.height(), from.get(), part.left, part.top, SRCCOPY)) return whole;
  }
  return SkinBitmap::part(std::move(held), part.left, part.top, whole.width(), whole.height());
}

FamilyPictures decode(const SkinFamily& f, Scale scale) {
  FamilyPictures p;
  const SkinBitmap mask = loadScaledSkin(win32::widen(std::string_view(f.mask)), scale, Resample::Nearest);
  Rect box;
  if (mask) {
    const std::vector<uint32_t> pixels = pixelsOf(mask);
    box = maskBounds(pixels, mask.width(), mask.height(), 0xFFFFFF);
    if (win32::UniqueGdi<HRGN> region = regionFromMask(mask, kMaskKeyColour))
      p.shape = std::make_shared<const win32::UniqueGdi<HRGN>>(std::move(region));
  }
  const auto load = [&](const char* name, Size* size) {
    const SkinBitmap whole = loadScaledSkin(win32::widen(std::string_view(name)), scale);
    if (size && whole) *size = {whole.width(), whole.height()};
    return keepPart(whole, keptPart(box, static_cast<bool>(mask), {whole.width(), whole.height()}));
  };
  p.normal = load(f.normal, &p.size);
  p.over = load(f.over, nullptr);
  p.down = load(f.down, nullptr);
  return p;
}

// A family at a DPI in the skin folder in use (tests and benchmarks read other folders).
using Key = std::tuple<std::wstring, std::string, std::string, std::string, int>;
Key keyOf(const SkinFamily& f, Scale scale) {
  return {skinFile(win32::widen(std::string_view(f.normal))), f.over, f.down, f.mask, scale.dpi};
}

struct Entry {
  FamilyStamps stamps;
  FamilyPictures pictures;
};

// Keyed by the family's files and the DPI. Never destroyed: the prefetch thread may still be
// running while the process ends.
struct Cache {
  std::mutex lock;
  std::map<Key, Entry> entries;
  std::atomic<bool> prefetching{false};
};
Cache& cache() {
  static Cache* c = new Cache;
  return *c;
}

// The cached pictures while their files are as they were; otherwise decoded now and cached.
FamilyPictures lookUp(const SkinFamily& f, Scale scale) {
  const FamilyStamps now = familyStamps(f, scale);
  Cache& c = cache();
  {
    std::lock_guard<std::mutex> hold(c.lock);
    auto found = c.entries.find(keyOf(f, scale));
    if (found != c.entries.end() && !changed(found->second.stamps, now)) return found->second.pictures;
  }
  Entry fresh{now, decode(f, scale)};
  std::lock_guard<std::mutex> hold(c.lock);
  c.entries.insert_or_assign(keyOf(f, scale), fresh);
  return fresh.pictures;
}

} // namespace

FamilyPictures familyPictures(const SkinFamily& family, Scale scale) { return lookUp(family, scale); }

win32::UniqueGdi<HRGN> copyShape(const FamilyPictures& pictures) {
  if (!pictures.shape || !*pictures.shape) return {};
  win32::UniqueGdi<HRGN> copy(CreateRectRgn(0, 0, 0, 0));
  if (!copy || CombineRgn(copy.get(), pictures.shape->get(), nullptr, RGN_COPY) == ERROR) return {};
  return copy;
}

void prefetchFamilies(std::vector<const SkinFamily*> families, Scale scale) {
  Cache& c = cache();
  if (c.prefetching.exchange(true)) return; // one prefetch at a time
  try {
    std::thread([families = std::move(families), scale] {
      SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_IDLE);
      // The picture decoder is a COM object.
      const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
      for (const SkinFamily* f : families)
        if (f) lookUp(*f, scale);
      if (com) CoUninitialize();
      cache().prefetching = false;
    }).detach();
  } catch (...) {
    c.prefetching = false; // no thread: every dialog decodes its own pictures
  }
}

bool prefetchDone() { return !cache().prefetching; }

size_t cachedPictureBytes() {
  Cache& c = cache();
  std::lock_guard<std::mutex> hold(c.lock);
  size_t bytes = 0;
  for (const auto& [key, e] : c.entries)
    for (const SkinBitmap* b : {&e.pictures.normal, &e.pictures.over, &e.pictures.down})
      if (*b) bytes += dibPixelBytes({b->heldWidth(), b->heldHeight()}, 24);
  return bytes;
}

void clearPictureCache() {
  Cache& c = cache();
  std::lock_guard<std::mutex> hold(c.lock);
  c.entries.clear();
}

} // namespace q7
