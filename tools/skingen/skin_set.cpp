#include "tools/skingen/skin_set.h"

#include <filesystem>

#include "tools/skingen/image_files.h"
#include "tools/skingen/windows_art.h"

namespace q7::skin {

void drawSkinSet(std::u16string_view languageCode, SkinSink& sink) {
  drawMainWindow(languageCode, sink);
  drawMacroEditor(sink);
  drawSingleKeyDialog(sink);
  drawLinkedPrograms(sink);
  drawWarnings(sink);
  drawColourEditor(sink);
  drawAbout(sink);
}

namespace {

class FolderSink : public SkinSink {
public:
  explicit FolderSink(std::filesystem::path folder) : folder_(std::move(folder)) {}
  void image(std::string_view fileName, const Canvas& picture) override {
    ok_ = writeJpeg((folder_ / fileName).string(), picture) && ok_;
  }
  void mask(std::string_view fileName, const Mask& mask) override {
    ok_ = writeBmp((folder_ / fileName).string(), mask) && ok_;
  }
  bool ok() const { return ok_; }

private:
  std::filesystem::path folder_;
  bool ok_ = true;
};

} // namespace

bool writeSkinSet(std::u16string_view languageCode, const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  FolderSink sink(folder);
  drawSkinSet(languageCode, sink);
  return sink.ok();
}

} // namespace q7::skin
