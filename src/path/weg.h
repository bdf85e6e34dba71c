// The route planner for move orders.
#pragma once

void WegSuchen(short index);
