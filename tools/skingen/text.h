// Text on the skin pictures: TrueType fonts from the system's font packages, drawn with stb_truetype.
// A face falls back to further fonts for characters its first font lacks (the Japanese key legends).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tools/skingen/canvas.h"

namespace q7::skin {

class Font; // one loaded font file

class Face {
public:
  // The first file that exists of each list is loaded; a face with no loadable first font is invalid.
  Face(const std::vector<std::string>& candidates, const std::vector<std::vector<std::string>>& fallbacks = {});
  ~Face();
  Face(Face&&) noexcept;
  Face& operator=(Face&&) noexcept;

  bool valid() const;
  std::string primaryPath() const;

  // Where capitals start below the top of the line box, and how high they are.
  std::pair<float, float> capitals(float pixelHeight) const;
  float width(std::u16string_view text, float pixelHeight, float tracking = 0) const;
  // Draws one line with its top-left corner of the line box at (x, top); sizes and places in table
  // pixels, drawn at the canvas's scale.
  void draw(Canvas& canvas, std::u16string_view text, float pixelHeight, float x, float top, Rgb colour,
            float tracking = 0, float opacity = 1) const;

private:
  std::vector<std::unique_ptr<Font>> fonts_;
};

enum class Align { Left, Centre, Right };

// Draws text vertically centred in the rectangle; the size shrinks (not below 60 %) until it fits.
void drawText(Canvas& canvas, const Face& face, std::u16string_view text, float pixelHeight, const Rect& rect,
              Align align, Rgb colour, float tracking = 0, float opacity = 1);

// The faces the pictures use.
struct Faces {
  Face regular;
  Face bold;
  Face narrow; // bold and narrow: key legends
};
const Faces& faces();

} // namespace q7::skin
