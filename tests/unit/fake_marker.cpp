// The single-instance marker for the native tests: creating it gives the
// outcome the test chose, and the call is logged with the marker's name.
#include <string>

#include "app/instance_marker.h"
#include "tests/unit/fakes.h"

namespace fake {

Marker marker;

}  // namespace fake

MarkerOutcome CreateInstanceMarker(const char* name) {
  fake::events.Add(std::string("CreateInstanceMarker ") + name);
  return fake::marker.outcome;
}
