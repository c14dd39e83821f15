#include "engine/Memory.h"

#include "engine/Exception.h"

#include <cstdlib>

void* MemReAlloc(void* block, std::size_t size) {
    void* resized = std::realloc(block, size);
    if (resized == nullptr && size != 0) {
        throw Exception("MemReAlloc OUTOFMEMORY");
    }
    return resized;
}

void MemFree(void* block) {
    std::free(block);
}
