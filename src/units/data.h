// The abilities of the ten unit kinds.
#pragma once

#include "units/typedefs.h"

extern ABILITY Data[10];  // filled once by SetUpData

void SetUpData();
