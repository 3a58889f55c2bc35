#include "ui/skin.h"

#include "platform/win32/shell.h"

#include <ole2.h>
#include <olectl.h>

#include <cstdlib>
#include <optional>

#include "ui/button_look.h"
#include "ui/skin_path.h"

namespace q7 {

namespace {

// Far above any skin picture; a larger file is not a picture of ours.
constexpr LONGLONG kMaxSkinFileBytes = 64LL << 20;

std::wstring g_baseFolder;

} // namespace

BITMAPINFO topDownDib(int width, int height, int bitsPerPixel) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(bitsPerPixel);
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

std::vector<uint32_t> pixelsOf(const SkinBitmap& picture) {
  if (!picture || picture.width() <= 0 || picture.height() <= 0) return {};
  std::vector<uint32_t> pixels(static_cast<size_t>(picture.width()) * picture.height());
  BITMAPINFO info = topDownDib(picture.width(), picture.height(), 32);
  win32::UniqueDc dc(CreateCompatibleDC(nullptr));
  if (!dc ||
      GetDIBits(dc.get(), picture.get(), 0, picture.height(), pixels.data(), &info, DIB_RGB_COLORS) != picture.height())
    return {};
  return pixels;
}

SkinBitmap::SkinBitmap(HBITMAP bitmap) {
  if (!bitmap) return;
  bitmap_ = std::make_shared<win32::UniqueGdi<HBITMAP>>(bitmap);
  BITMAP info{};
  if (GetObjectW(bitmap, sizeof info, &info) == sizeof info) {
    width_ = heldWidth_ = info.bmWidth;
    height_ = heldHeight_ = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
  }
}

SkinBitmap SkinBitmap::part(SkinBitmap part, int x, int y, int width, int height) {
  part.x_ = x;
  part.y_ = y;
  part.width_ = width;
  part.height_ = height;
  return part;
}

SkinImage::SkinImage(std::unique_ptr<Gdiplus::Bitmap> image) : image_(std::move(image)) {}

SkinBitmap loadSkinBitmap(const std::wstring& path) {
  win32::UniqueFile file(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > kMaxSkinFileBytes) return {};
  const DWORD bytes = static_cast<DWORD>(size.QuadPart);

  win32::UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!block) return {};
  void* data = GlobalLock(block.get());
  if (!data) return {};
  DWORD read = 0;
  const BOOL ok = ReadFile(file.get(), data, bytes, &read, nullptr);
  GlobalUnlock(block.get());
  if (!ok || read != bytes) return {};

  IStream* rawStream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(block.get(), TRUE, &rawStream))) return {};
  block.release(); // freed with the stream
  win32::UniqueCom<IStream> stream(rawStream);

  IPicture* rawPicture = nullptr;
  if (FAILED(OleLoadPicture(stream.get(), static_cast<LONG>(bytes), FALSE, IID_IPicture,
                            reinterpret_cast<void**>(&rawPicture))) ||
      !rawPicture)
    return {};
  win32::UniqueCom<IPicture> picture(rawPicture);
  SHORT type = PICTYPE_UNINITIALIZED;
  OLE_HANDLE handle = 0;
  if (FAILED(picture.get()->get_Type(&type)) || type != PICTYPE_BITMAP || FAILED(picture.get()->get_Handle(&handle)) ||
      !handle)
    return {};
  // The picture's bitmap dies with the picture: keep a copy, as a DIB section so that no colour is
  // rounded to the screen's depth.
  HBITMAP own = static_cast<HBITMAP>(
      CopyImage(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  return SkinBitmap(own);
}

SkinImage loadSkinImage(const std::wstring& path) {
  std::unique_ptr<Gdiplus::Bitmap> image(Gdiplus::Bitmap::FromFile(path.c_str()));
  if (!image || image->GetLastStatus() != Gdiplus::Ok || image->GetWidth() == 0) return {};
  return SkinImage(std::move(image));
}

namespace {

// Whether the piece (x, y, width, height) of the picture lies inside the bitmap it holds.
bool held(const SkinBitmap& source, int x, int y, int width, int height) {
  const POINT o = source.origin();
  return x >= o.x && y >= o.y && x + width <= o.x + source.heldWidth() && y + height <= o.y + source.heldHeight();
}

} // namespace

void paintSkinFace(HDC dc, const SkinBitmap& picture, int width, int height) {
  paintSkinPiece(dc, &picture, 0, 0, width, height);
}

void paintSkinPiece(HDC dc, const SkinBitmap* source, int x, int y, int width, int height) {
  if (!source || !*source || !held(*source, x, y, width, height)) {
    win32::UniqueGdi<HBRUSH> face(CreateSolidBrush(kPlainFaceColour));
    const RECT all{0, 0, width, height};
    FillRect(dc, &all, face.get());
    if (!source || !*source) return;
  }
  win32::UniqueDc from(CreateCompatibleDC(dc));
  if (!from) return;
  win32::Selection s(from.get(), source->get());
  const POINT o = source->origin();
  BitBlt(dc, 0, 0, width, height, from.get(), x - o.x, y - o.y, SRCCOPY);
}

SkinBitmap cutBitmap(const SkinBitmap& source, int left, int top, int right, int bottom) {
  if (!source || right <= left || bottom <= top) return {};
  const int w = right - left, h = bottom - top;
  win32::WindowDc screen(nullptr);
  SkinBitmap piece(CreateCompatibleBitmap(screen.get(), w, h));
  win32::UniqueDc from(CreateCompatibleDC(screen.get())), to(CreateCompatibleDC(screen.get()));
  if (!piece || !from || !to) return {};
  win32::Selection a(from.get(), source.get()), b(to.get(), piece.get());
  win32::UniqueGdi<HBRUSH> face(CreateSolidBrush(kPlainFaceColour));
  const RECT all{0, 0, w, h};
  FillRect(to.get(), &all, face.get());
  const POINT o = source.origin();
  BitBlt(to.get(), 0, 0, w, h, from.get(), left - o.x, top - o.y, SRCCOPY);
  return piece;
}

SkinImage cutImage(const SkinImage& source, int x, int y, int width, int height) {
  if (!source || width <= 0 || height <= 0 || x < 0 || y < 0 || x > source.width() - width ||
      y > source.height() - height)
    return {};
  std::unique_ptr<Gdiplus::Bitmap> piece(source.get()->Clone(x, y, width, height, source.get()->GetPixelFormat()));
  if (!piece || piece->GetLastStatus() != Gdiplus::Ok) return {};
  return SkinImage(std::move(piece));
}

SkinImage cutImage(const SkinBitmap& source, int x, int y, int width, int height) {
  const SkinBitmap piece = cutBitmap(source, x, y, x + width, y + height);
  if (!piece) return {};
  // The graphics library copies the pixels: the device bitmap goes when this returns.
  std::unique_ptr<Gdiplus::Bitmap> image(Gdiplus::Bitmap::FromHBITMAP(piece.get(), nullptr));
  if (!image || image->GetLastStatus() != Gdiplus::Ok) return {};
  return SkinImage(std::move(image));
}

namespace {

// A file's last write time; nothing when it does not exist.
std::optional<ULONGLONG> writeTime(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

// A 24-bit top-down DIB section of width x height, as the decoder gives pictures.
SkinBitmap dibSection(int width, int height) {
  BITMAPINFO info = topDownDib(width, height, 24);
  void* bits = nullptr;
  return SkinBitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
}

} // namespace

SkinBitmap resampled(SkinBitmap picture, int width, int height, Resample how) {
  if (!picture || width <= 0 || height <= 0 || (picture.width() == width && picture.height() == height)) return picture;
  SkinBitmap target = dibSection(width, height);
  if (!target) return picture;
  win32::UniqueDc from(CreateCompatibleDC(nullptr)), to(CreateCompatibleDC(nullptr));
  if (!from || !to) return picture;
  bool drawn = false;
  {
    win32::Selection a(from.get(), picture.get()), b(to.get(), target.get());
    // Halftone averages the source pixels under each target pixel (and interpolates when
    // enlarging); a mask keeps its two colours pixel by pixel.
    SetStretchBltMode(to.get(), how == Resample::Smooth ? HALFTONE : COLORONCOLOR);
    SetBrushOrgEx(to.get(), 0, 0, nullptr);
    drawn = StretchBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, picture.width(), picture.height(), SRCCOPY);
  }
  return drawn ? std::move(target) : std::move(picture);
}

SkinBitmap loadScaledSkin(std::wstring_view name, Scale scale, Resample how) {
  const std::wstring base = skinFile(name);
  int drawnFor = kBaseDpi;
  SkinBitmap picture;
  if (const SkinSet* set = skinSetFor(scale.dpi)) {
    std::wstring scaledName = win32::widen(set->folder) + L"\\";
    scaledName.append(name);
    const std::wstring path = skinFile(scaledName);
    const std::optional<ULONGLONG> scaledTime = writeTime(path), baseTime = writeTime(base);
    if (scaledTime && (!baseTime || *scaledTime >= *baseTime)) {
      picture = loadSkinBitmap(path);
      drawnFor = set->dpi;
    }
  }
  if (!picture) {
    picture = loadSkinBitmap(base);
    drawnFor = kBaseDpi;
  }
  if (!picture || drawnFor == scale.dpi) return picture;
  const auto at = [&](int v) {
    return static_cast<int>((static_cast<long long>(v) * scale.dpi + drawnFor / 2) / drawnFor);
  };
  const int width = at(picture.width()), height = at(picture.height());
  return resampled(std::move(picture), width, height, how);
}

std::wstring skinFile(std::wstring_view name) {
  const std::wstring folder = g_baseFolder.empty() ? win32::programFolder() : g_baseFolder;
  const std::u16string path =
      skinPath(std::u16string_view(win32::u16(folder.c_str()), folder.size()),
               std::u16string_view(reinterpret_cast<const char16_t*>(name.data()), name.size()));
  return std::wstring(win32::wide(path.c_str()), path.size());
}

void setSkinBaseFolder(std::wstring folder) { g_baseFolder = std::move(folder); }

} // namespace q7
