// skingen: draws the program's skin set into a folder, with the sets for larger displays in its
// sub-folders (150/ and 200/: the same file names, drawn at 150 % and 200 %).
//
//   skingen [--lang CODE] FOLDER
//
// CODE is the language code of the installed string file (default EN); it chooses the keyboard
// layout drawn on the main window, the key legends and the places of a few buttons.
#include <cstdio>
#include <string>
#include <string_view>

#include "tools/skingen/skin_set.h"
#include "tools/skingen/text.h"

int main(int argc, char** argv) {
  std::u16string language = u"EN";
  std::string folder;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--lang" && i + 1 < argc) {
      language.clear();
      for (const char* c = argv[++i]; *c; ++c) language += static_cast<char16_t>(static_cast<unsigned char>(*c));
    } else if (folder.empty() && !arg.starts_with("--")) {
      folder = arg;
    } else {
      folder.clear();
      break;
    }
  }
  if (folder.empty()) {
    std::fprintf(stderr, "usage: skingen [--lang CODE] FOLDER\n");
    return 2;
  }
  const q7::skin::Faces& faces = q7::skin::faces();
  if (!faces.regular.valid() || !faces.bold.valid() || !faces.narrow.valid()) {
    std::fprintf(stderr,
                 "skingen: the DejaVu and Liberation fonts are missing (fonts-dejavu-core, fonts-liberation)\n");
    return 1;
  }
  if (!q7::skin::writeSkinSet(language, folder)) {
    std::fprintf(stderr, "skingen: could not write the skin set into %s\n", folder.c_str());
    return 1;
  }
  return 0;
}
