// The abilities of the ten unit kinds.
#include "units/data.h"

ABILITY Data[10];
