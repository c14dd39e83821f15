#include "bench/HeapCounter.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> heapInUse{0};
std::atomic<std::size_t> heapPeak{0};

void* Allocate(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    const std::size_t now = heapInUse += malloc_usable_size(block);
    std::size_t peak = heapPeak.load();
    while (now > peak && !heapPeak.compare_exchange_weak(peak, now)) {
    }
    return block;
}

void Release(void* block) {
    if (block != nullptr) {
        heapInUse -= malloc_usable_size(block);
        std::free(block);
    }
}

} // namespace

std::size_t HeapInUse() {
    return heapInUse.load();
}

std::size_t HeapPeak() {
    return heapPeak.load();
}

void ResetHeapPeak() {
    heapPeak = heapInUse.load();
}

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* block) noexcept {
    Release(block);
}
void operator delete[](void* block) noexcept {
    Release(block);
}
void operator delete(void* block, std::size_t) noexcept {
    Release(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    Release(block);
}
