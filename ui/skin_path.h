// Where a skin picture lives: the "Skins" folder inside the program's folder.
#pragma once

#include <string>
#include <string_view>

namespace q7 {

// folder ends with a backslash (the drive and folder of the running program); file is the
// picture's literal name, spaces and capitals included.
std::u16string skinPath(std::u16string_view folder, std::u16string_view file);

} // namespace q7
