#include "ui/skin_path.h"

#include <gtest/gtest.h>

namespace q7 {
namespace {

TEST(SkinPath, JoinsTheProgramFolderTheSkinsFolderAndTheLiteralName) {
  EXPECT_EQ(skinPath(u"D:\\App\\", u"main_mask.bmp"), u"D:\\App\\Skins\\main_mask.bmp");
  EXPECT_EQ(skinPath(u"C:\\Q7\\", u"single key_mask.bmp"), u"C:\\Q7\\Skins\\single key_mask.bmp");
}

} // namespace
} // namespace q7
