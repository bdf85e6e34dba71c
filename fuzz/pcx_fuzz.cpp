// libFuzzer entry for the viewer's PCX reader: any byte string, read as a whole file.
#include "harness.h"

FUZZ_FEED(ViewerPcx)
