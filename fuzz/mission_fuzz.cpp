// libFuzzer entry for the mission loader and the map preparation that follows it.
#include "harness.h"

FUZZ_FEED(Mission)
