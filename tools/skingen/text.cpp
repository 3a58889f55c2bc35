#include "tools/skingen/text.h"

#include <stb/stb_truetype.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace q7::skin {

class Font {
public:
  static std::unique_ptr<Font> load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return nullptr;
    auto font = std::unique_ptr<Font>(new Font);
    font->path = path;
    font->data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    const auto* bytes = font->data.data();
    const int offset = stbtt_GetFontOffsetForIndex(bytes, 0); // the first face of a collection
    if (offset < 0 || !stbtt_InitFont(&font->info, bytes, offset)) return nullptr;
    return font;
  }

  bool has(int codepoint) const { return stbtt_FindGlyphIndex(&info, codepoint) != 0; }
  float scale(float pixelHeight) const { return stbtt_ScaleForPixelHeight(&info, pixelHeight); }

  std::string path;
  std::vector<unsigned char> data;
  stbtt_fontinfo info{};

private:
  Font() = default;
};

namespace {

std::vector<int> codepoints(std::u16string_view text) {
  std::vector<int> out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
      out.push_back(0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::unique_ptr<Font> firstOf(const std::vector<std::string>& candidates) {
  for (const std::string& path : candidates)
    if (auto font = Font::load(path)) return font;
  return nullptr;
}

} // namespace

Face::Face(const std::vector<std::string>& candidates, const std::vector<std::vector<std::string>>& fallbacks) {
  if (auto font = firstOf(candidates))
    fonts_.push_back(std::move(font));
  else
    return;
  for (const auto& list : fallbacks)
    if (auto font = firstOf(list)) fonts_.push_back(std::move(font));
}

Face::~Face() = default;
Face::Face(Face&&) noexcept = default;
Face& Face::operator=(Face&&) noexcept = default;

bool Face::valid() const { return !fonts_.empty(); }
std::string Face::primaryPath() const { return fonts_.empty() ? std::string() : fonts_.front()->path; }

namespace {

// Walks the glyphs of a line: for each, the font that has it and the pen position.
template <typename Visit> float layOut(const std::vector<std::unique_ptr<Font>>& fonts, std::u16string_view text,
                                       float pixelHeight, float tracking, Visit visit) {
  float pen = 0;
  const Font* previousFont = nullptr;
  int previous = 0;
  for (int cp : codepoints(text)) {
    const Font* font = fonts.front().get();
    for (const auto& f : fonts)
      if (f->has(cp)) {
        font = f.get();
        break;
      }
    // Every font of a face is scaled to the first font's size, so mixed lines share one baseline.
    const float scale = font->scale(pixelHeight);
    if (previousFont == font && previous) pen += scale * stbtt_GetCodepointKernAdvance(&font->info, previous, cp);
    int advance = 0, bearing = 0;
    stbtt_GetCodepointHMetrics(&font->info, cp, &advance, &bearing);
    visit(*font, cp, scale, pen);
    pen += scale * advance + tracking;
    previousFont = font;
    previous = cp;
  }
  return pen > 0 ? pen - tracking : 0;
}

} // namespace

std::pair<float, float> Face::capitals(float pixelHeight) const {
  if (fonts_.empty()) return {0, 0};
  const Font& first = *fonts_.front();
  int ascent = 0, descent = 0, gap = 0, x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  stbtt_GetFontVMetrics(&first.info, &ascent, &descent, &gap);
  stbtt_GetCodepointBox(&first.info, 'H', &x0, &y0, &x1, &y1);
  const float scale = first.scale(pixelHeight);
  return {scale * (ascent - y1), scale * (y1 - y0)};
}

float Face::width(std::u16string_view text, float pixelHeight, float tracking) const {
  if (fonts_.empty()) return 0;
  return layOut(fonts_, text, pixelHeight, tracking, [](const Font&, int, float, float) {});
}

void Face::draw(Canvas& canvas, std::u16string_view text, float pixelHeight, float x, float top, Rgb colour,
                float tracking, float opacity) const {
  if (fonts_.empty()) return;
  // The text is laid out again at the canvas's scale, in device pixels: glyphs stay sharp.
  const PixelGrid& grid = canvas.grid();
  pixelHeight = grid.device(pixelHeight);
  x = grid.device(x);
  top = grid.device(top);
  tracking = grid.device(tracking);
  const Font& first = *fonts_.front();
  int ascent = 0, descent = 0, gap = 0;
  stbtt_GetFontVMetrics(&first.info, &ascent, &descent, &gap);
  const float baseline = top + first.scale(pixelHeight) * ascent;
  layOut(fonts_, text, pixelHeight, tracking, [&](const Font& font, int cp, float scale, float pen) {
    const float gx = x + pen;
    const float shiftX = gx - std::floor(gx), shiftY = baseline - std::floor(baseline);
    int w = 0, h = 0, ox = 0, oy = 0;
    unsigned char* bitmap =
        stbtt_GetCodepointBitmapSubpixel(&font.info, scale, scale, shiftX, shiftY, cp, &w, &h, &ox, &oy);
    if (!bitmap) return;
    const int bx = static_cast<int>(std::floor(gx)) + ox, by = static_cast<int>(std::floor(baseline)) + oy;
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i) {
        const int px = bx + i, py = by + j;
        if (px < 0 || py < 0 || px >= canvas.width() || py >= canvas.height()) continue;
        canvas.blend(px, py, colour, opacity * bitmap[j * w + i] / 255.0f);
      }
    stbtt_FreeBitmap(bitmap, nullptr);
  });
}

void drawText(Canvas& canvas, const Face& face, std::u16string_view text, float pixelHeight, const Rect& rect,
              Align align, Rgb colour, float tracking, float opacity) {
  float size = pixelHeight;
  while (size > pixelHeight * 0.6f && face.width(text, size, tracking) > rect.width()) size -= 0.5f;
  const float w = face.width(text, size, tracking);
  float x = static_cast<float>(rect.left);
  if (align == Align::Centre) x += (rect.width() - w) / 2;
  if (align == Align::Right) x += rect.width() - w;
  // Capitals and digits are centred in the rectangle.
  const auto [capTop, capHeight] = face.capitals(size);
  const float top = rect.top + (rect.height() - capHeight) / 2 - capTop;
  face.draw(canvas, text, size, x, top, colour, tracking, opacity);
}

const Faces& faces() {
  static const Faces instance = [] {
    const std::vector<std::string> japanese = {"/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc",
                                               "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf"};
    Faces f{Face({"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"}, {japanese}),
            Face({"/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"}, {japanese}),
            Face({"/usr/share/fonts/truetype/liberation/LiberationSansNarrow-Bold.ttf",
                  "/usr/share/fonts/truetype/liberation2/LiberationSansNarrow-Bold.ttf",
                  "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"},
                 {japanese})};
    return f;
  }();
  return instance;
}

} // namespace q7::skin
