#pragma once

#include <cstddef>

// Resizes a heap block (null to allocate); throws Exception "MemReAlloc OUTOFMEMORY" when a
// non-zero size cannot be had. Release with MemFree.
void* MemReAlloc(void* block, std::size_t size);
void MemFree(void* block);
