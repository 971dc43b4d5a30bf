// Counts every allocation of the benchmark process, so that a printed line can be shown to
// allocate nothing.
#include <atomic>
#include <cstdlib>
#include <new>

std::atomic<long> heapAllocations{0};

void* operator new(std::size_t size) {
    ++heapAllocations;
    if (void* p = std::malloc(size ? size : 1)) {
        return p;
    }
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
