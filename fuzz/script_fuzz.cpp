// libFuzzer entry for the display layer's event-script reader.
#include "harness.h"

FUZZ_FEED(Script)
