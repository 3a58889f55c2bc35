#include "ui/skin_path.h"

namespace q7 {

std::u16string skinPath(std::u16string_view folder, std::u16string_view file) {
  std::u16string path;
  path.reserve(folder.size() + 6 + file.size());
  path.append(folder).append(u"Skins\\").append(file);
  return path;
}

} // namespace q7
