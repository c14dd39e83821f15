#pragma once

#include <cstddef>

// The heap in use through operator new, and its peak since the last reset: a benchmark program
// that links HeapCounter.cpp counts every allocation of the code it runs.
std::size_t HeapInUse();
std::size_t HeapPeak();
// The peak starts again from what is in use now.
void ResetHeapPeak();
