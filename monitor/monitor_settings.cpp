#include "monitor/monitor_settings.h"

#include "settings/registry_store.h"

namespace q7 {

int readCurrentProfile(Registry& registry) {
  auto key = registry.open(kMainKeyPath);
  if (!key) return -1;
  uint8_t current = 0;
  key->read(kProfileCurrentValue, &current, 1);
  return safeProfileIndex(current);
}

LinkedPrograms readLinkedPrograms(Registry& registry) {
  LinkedPrograms links;
  for (int p = 0; p < kProfileCount; ++p) {
    auto key = registry.open(profileKeyPath(p));
    if (!key) continue;
    for (int i = 0; i < kLinkCount; ++i) {
      char16_t slot[kTextUnits] = {};
      key->read(valueName(kLinkExeValue, i), slot, sizeof slot);
      size_t n = 0;
      while (n < kTextUnits && slot[n] != 0) ++n;
      links[p][i].assign(slot, n);
    }
  }
  return links;
}

std::unique_ptr<ProfileKeys> readProfileKeys(Registry& registry, int profile, KeyLayout layout) {
  if (profile < 0 || profile >= kProfileCount) return nullptr;
  auto keys = std::make_unique<ProfileKeys>();
  keys->profile = profile;
  keys->mapPositions(layout);
  if (auto key = registry.open(profileKeyPath(profile))) {
    for (int k = 0; k < kKeyCount; ++k)
      key->read(valueName(kButtonValue, k, kKeyRecordDigits), &keys->records[k], sizeof(KeyRecord));
  }
  return keys;
}

std::u16string_view fileNameOf(std::u16string_view path) {
  const size_t slash = path.find_last_of(u"\\/");
  return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

namespace {

// Windows compares file names without case; ASCII and Latin-1 letters cover the names in practice.
char16_t folded(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
  return c;
}

bool sameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (folded(a[i]) != folded(b[i])) return false;
  return true;
}

bool lists(const LinkedPrograms& links, int profile, std::u16string_view name) {
  for (const std::u16string& link : links[profile]) {
    const std::u16string_view linked = fileNameOf(link);
    if (!linked.empty() && sameName(linked, name)) return true;
  }
  return false;
}

} // namespace

int linkedProfile(const LinkedPrograms& links, std::u16string_view program, int current) {
  const std::u16string_view name = fileNameOf(program);
  if (name.empty()) return -1;
  if (current >= 0 && current < kProfileCount && lists(links, current, name)) return current;
  for (int p = 0; p < kProfileCount; ++p)
    if (lists(links, p, name)) return p;
  return -1;
}

} // namespace q7
