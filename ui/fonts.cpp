#include "ui/fonts.h"

#include <algorithm>

namespace q7 {

namespace {

int CALLBACK noteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0; // one is enough
}

} // namespace

bool fontInstalled(std::wstring_view face) {
  if (face.empty() || face.size() >= LF_FACESIZE) return false;
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  std::copy(face.begin(), face.end(), lf.lfFaceName);
  bool found = false;
  win32::WindowDc screen(nullptr);
  EnumFontFamiliesExW(screen.get(), &lf, noteFound, reinterpret_cast<LPARAM>(&found), 0);
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
