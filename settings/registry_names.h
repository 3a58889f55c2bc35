// The names the settings are stored under in the registry: the keys and the values whose names
// are not a field of the image. The program's store and the monitor both read them from here.
#pragma once

namespace q7 {

inline constexpr char16_t kMainKeyPath[] = u"Software\\VORTAN\\Q7";
// The second tree, read for the linked programs only.
inline constexpr char16_t kSecondTreePath[] = u"Software\\Arvel\\Prismo";

// Prefixes that take a number: "Profile3" (a profile's key), "ProfileName2" (a key set's key, and
// the key set's name value without a number), "LinkExe0" ... "LinkExe4", "Button000" ...
// "Button113", "ProfileButton000" ... "ProfileButton113".
inline constexpr char16_t kProfileKeyPrefix[] = u"Profile";
inline constexpr char16_t kProfileNameValue[] = u"ProfileName";
inline constexpr char16_t kLinkExeValue[] = u"LinkExe";
inline constexpr char16_t kButtonValue[] = u"Button";
inline constexpr char16_t kProfileButtonValue[] = u"ProfileButton";
inline constexpr int kKeyRecordDigits = 3;

inline constexpr char16_t kLanguageValue[] = u"Language"; // read only, never written by a save
inline constexpr char16_t kProfileCurrentValue[] = u"ProfileCurrent";
inline constexpr char16_t kWholeKeyColorStatusValue[] = u"WholeKeyColorStatus";
inline constexpr char16_t kWholeKeyColorValue[] = u"WholeKeyColor";

} // namespace q7
