// The viewer's picture reading and conversion, shared by the program, its tests and its fuzzer.
#pragma once
