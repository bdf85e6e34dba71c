// libFuzzer entry for the reader of the sprite-layout numbers.
#include "harness.h"

FUZZ_FEED(MannNum)
