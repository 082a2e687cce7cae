// The single-instance marker: a named kernel object whose existence means
// that a copy of the program is running. The executable links
// instance_marker_win32.cpp; the unit tests link a fake.
#pragma once

// What creating the marker found. The handle, when one was had, stays open
// until the process ends, so the marker lives exactly as long as this copy.
enum class MarkerOutcome {
  Created,        // no copy held it: this copy now does
  AlreadyExists,  // another copy holds it
  AccessDenied,   // it exists, but this copy may not open it
  OtherFailure,   // the name is taken by another kind of object, or anything else
};

MarkerOutcome CreateInstanceMarker(const char* name);
