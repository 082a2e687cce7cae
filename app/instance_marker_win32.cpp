// The single-instance marker as a named event. Creating it and looking for it
// are one call, so two copies started at the same moment cannot both miss
// each other.
#include <windows.h>

#include "app/instance_marker.h"

MarkerOutcome CreateInstanceMarker(const char* name) {
  // Auto-reset, not signalled: nobody waits on it; only its existence counts.
  // The handle is deliberately never closed: the process's end closes it.
  HANDLE marker = CreateEventA(nullptr, FALSE, FALSE, name);
  const DWORD error = GetLastError();
  if (marker) return error == ERROR_ALREADY_EXISTS ? MarkerOutcome::AlreadyExists : MarkerOutcome::Created;
  return error == ERROR_ACCESS_DENIED ? MarkerOutcome::AccessDenied : MarkerOutcome::OtherFailure;
}
