// libFuzzer entry for the game's full-screen PCX loader.
#include "harness.h"

FUZZ_FEED(GamePcx)
