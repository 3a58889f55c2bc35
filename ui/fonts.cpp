#include "ui/fonts.h"

#include <algorithm>
#include <string>
#include <vector>

namespace q7 {

namespace {

int CALLBACK noteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0; // one is enough
}

} // namespace

bool fontInstalled(std::wstring_view face) {
  if (face.empty() || face.size() >= LF_FACESIZE) return false;
  // Asked on every paint of every caption: the system's font list is enumerated once per face.
  // Windows only ever ask from their own thread.
  struct Known {
    std::wstring face;
    bool installed;
  };
  static thread_local std::vector<Known> known;
  for (const Known& k : known)
    if (k.face == face) return k.installed;
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  std::copy(face.begin(), face.end(), lf.lfFaceName);
  bool found = false;
  win32::WindowDc screen(nullptr);
  EnumFontFamiliesExW(screen.get(), &lf, noteFound, reinterpret_cast<LPARAM>(&found), 0);
  known.push_back({std::wstring(face), found});
  return found;
}

win32::UniqueGdi<HFONT> createSkinFont(std::wstring_view face, int height, int weight) {
  LOGFONTW lf{};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  // An empty face name with the Swiss family asks for the system's sans-serif face.
  if (fontInstalled(face)) std::copy(face.begin(), face.end(), lf.lfFaceName);
  return win32::UniqueGdi<HFONT>(CreateFontIndirectW(&lf));
}

} // namespace q7
