// What a modal dialog answers: 1 for OK or Yes, 2 for Cancel, No and every other way of closing.
// Callers test for kResultYes only.
#pragma once

namespace q7 {

inline constexpr int kResultYes = 1;
inline constexpr int kResultNo = 2;

} // namespace q7
