#include "tools/skingen/skin_set.h"

#include <filesystem>
#include <future>
#include <vector>

#include "app/main_window_layout.h"
#include "lighting/colour_editor_layout.h"
#include "tools/skingen/image_files.h"
#include "tools/skingen/text.h"
#include "tools/skingen/windows_art.h"

namespace q7::skin {

void drawSkinSet(std::u16string_view languageCode, SkinSink& sink, Scale scale) {
  drawMainWindow(languageCode, sink, scale);
  drawMacroEditor(sink, scale);
  drawSingleKeyDialog(sink, scale);
  drawLinkedPrograms(sink, scale);
  drawWarnings(sink, scale);
  drawColourEditor(sink, scale);
  drawAbout(sink, scale);
}

namespace {

class FolderSink : public SkinSink {
public:
  explicit FolderSink(std::filesystem::path folder) : folder_(std::move(folder)) {}
  void image(std::string_view fileName, const Canvas& picture) override {
    // The colour editor's swatches show the preset colours exactly and its strip the hues. The main
    // window's key pictures are cut from its three looks side by side: the gaps between the caps must
    // stay the same pixels in every look, which a lossy quality does not keep near the caps' edges.
    const bool exact = fileName == colour_editor::kNormalImage || fileName == colour_editor::kOverImage ||
                       fileName == colour_editor::kDownImage || fileName == main_window::kNormalImage ||
                       fileName == main_window::kOverImage || fileName == main_window::kDownImage;
    ok_ = writeJpeg((folder_ / fileName).string(), picture, exact) && ok_;
  }
  void mask(std::string_view fileName, const Mask& mask) override {
    // A mask holds one bit of information a pixel and takes one bit a pixel.
    ok_ = writeOneBitBmp((folder_ / fileName).string(), mask) && ok_;
  }
  bool ok() const { return ok_; }

private:
  std::filesystem::path folder_;
  bool ok_ = true;
};

bool writeOneSet(std::u16string_view languageCode, const std::filesystem::path& folder, Scale scale) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  FolderSink sink(folder);
  drawSkinSet(languageCode, sink, scale);
  return sink.ok();
}

} // namespace

bool writeSkinSet(std::u16string_view languageCode, const std::string& folder) {
  // The sets share nothing but the fonts, which are loaded before the threads start.
  faces();
  std::error_code error;
  const std::filesystem::path root(folder);
  std::vector<std::future<bool>> scaled;
  for (const SkinSet& set : kScaledSkinSets)
    scaled.push_back(std::async(std::launch::async, writeOneSet, languageCode, root / set.folder, Scale{set.dpi}));
  bool ok = writeOneSet(languageCode, root, Scale{});
  for (auto& result : scaled) ok = result.get() && ok;
  // The program takes a scaled picture only when it is not older than its 96-DPI picture (an older
  // one would be a stale set under a user's own skin). The sets were drawn side by side, in any
  // order: the scaled files are stamped after every 96-DPI file.
  const auto now = std::filesystem::file_time_type::clock::now();
  for (const SkinSet& set : kScaledSkinSets)
    for (const auto& entry : std::filesystem::directory_iterator(root / set.folder, error)) {
      std::error_code stamped;
      std::filesystem::last_write_time(entry.path(), now, stamped);
      ok = !stamped && ok;
    }
  return ok;
}

} // namespace q7::skin
