#include "settings/settings_image.h"

#include <cstring>

namespace q7 {

namespace {
SettingsBlock g_working;
SettingsBlock g_saved;
} // namespace

uint8_t WholeKeyColorStatus[kProfileCount];
uint32_t WholeKeyColor[kProfileCount];

SettingsBlock& working() { return g_working; }
SettingsBlock& saved() { return g_saved; }

ProfileRecord& profile(int p) { return g_working.profiles[safeProfileIndex(static_cast<uint32_t>(p))]; }

ProfileRecord& currentProfile() { return profile(safeProfileIndex(g_working.header.ProfileCurrent)); }

KeyRecord& key(int p, int k) { return profile(p).Button[(k >= 0 && k < kKeyCount) ? k : 0]; }

void commitSaved() { std::memcpy(&g_saved, &g_working, sizeof(SettingsBlock)); }

bool hasUnsavedChanges() { return std::memcmp(&g_working, &g_saved, sizeof(SettingsBlock)) != 0; }

void resetWorking() { std::memset(&g_working, 0, sizeof(SettingsBlock)); }

} // namespace q7
