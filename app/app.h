// The program's lifecycle: the entry routine, the single-instance check, the
// capture and first dimming at start, and the restore at the end.
#pragma once

#include <cstdint>

inline constexpr const char* kInstanceMarkerName = "korvilet";
inline constexpr std::int32_t kStartOffset = -25;

void OnMainWindowCreated();
void OnMainWindowDestroying();
void OnSessionEnding();
