// Replacements of the C allocation functions, the C++ allocation operators and the pthread
// mutex and read-write lock functions, defined in the host executable. Because the executable
// defines them, the dynamic linker binds every loaded plug-in's calls to these definitions
// instead of the C library's; each one counts the call when the calling thread is marked by a
// realtimeprobe::Watch, then forwards to the C library (glibc's __libc_* allocation functions,
// and the next definition found by dlsym for the locks).
//
// Sanitizer runtimes replace the same functions themselves, so in sanitizer builds none of this
// is compiled and available() says why.
#include "host/validation/RealtimeProbe.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) ||                         \
    __has_feature(memory_sanitizer)
#define BRISOLEN_SANITIZER_RUNTIME 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define BRISOLEN_SANITIZER_RUNTIME 1
#endif

#include <atomic>

#ifndef BRISOLEN_SANITIZER_RUNTIME

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <dlfcn.h>
#include <new>
#include <pthread.h>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void __libc_free(void* pointer);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void* __libc_valloc(std::size_t size);
void* __libc_pvalloc(std::size_t size);
}

namespace {

// Initial-exec: reading it must never allocate, since it is read inside malloc.
[[gnu::tls_model("initial-exec")]] thread_local bool watching = false;
std::atomic<std::uint64_t> allocationCount{0};
std::atomic<std::uint64_t> lockCount{0};

void noteAllocation() {
    if (watching) {
        allocationCount.fetch_add(1, std::memory_order_relaxed);
    }
}

void noteLock() {
    if (watching) {
        lockCount.fetch_add(1, std::memory_order_relaxed);
    }
}

bool validAlignment(std::size_t alignment) {
    return alignment >= sizeof(void*) && (alignment & (alignment - 1)) == 0;
}

// The C library's definition of a lock function, looked up once. No function-local static: its
// guard could itself take a lock.
template <typename Function>
Function nextDefinition(std::atomic<Function>& cache, const char* name) {
    Function function = cache.load(std::memory_order_acquire);
    if (function == nullptr) {
        function = reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
        cache.store(function, std::memory_order_release);
    }
    return function;
}

using MutexFunction = int (*)(pthread_mutex_t*);
using MutexTimedFunction = int (*)(pthread_mutex_t*, const timespec*);
using RwlockFunction = int (*)(pthread_rwlock_t*);
using RwlockTimedFunction = int (*)(pthread_rwlock_t*, const timespec*);

std::atomic<MutexFunction> realMutexLock{nullptr};
std::atomic<MutexFunction> realMutexTrylock{nullptr};
std::atomic<MutexTimedFunction> realMutexTimedlock{nullptr};
std::atomic<RwlockFunction> realRdlock{nullptr};
std::atomic<RwlockFunction> realWrlock{nullptr};
std::atomic<RwlockFunction> realTryrdlock{nullptr};
std::atomic<RwlockFunction> realTrywrlock{nullptr};
std::atomic<RwlockTimedFunction> realTimedrdlock{nullptr};
std::atomic<RwlockTimedFunction> realTimedwrlock{nullptr};

} // namespace

// Exported although the build hides symbols by default: the plug-ins must bind to these.
#define EXPORTED __attribute__((visibility("default")))

extern "C" {

EXPORTED void* malloc(std::size_t size) {
    noteAllocation();
    return __libc_malloc(size);
}

EXPORTED void* calloc(std::size_t count, std::size_t size) {
    noteAllocation();
    return __libc_calloc(count, size);
}

EXPORTED void* realloc(void* pointer, std::size_t size) {
    noteAllocation();
    return __libc_realloc(pointer, size);
}

EXPORTED void free(void* pointer) {
    if (pointer != nullptr) {
        noteAllocation();
    }
    __libc_free(pointer);
}

EXPORTED void* memalign(std::size_t alignment, std::size_t size) {
    noteAllocation();
    return __libc_memalign(alignment, size);
}

EXPORTED void* aligned_alloc(std::size_t alignment, std::size_t size) {
    noteAllocation();
    return __libc_memalign(alignment, size);
}

EXPORTED int posix_memalign(void** result, std::size_t alignment, std::size_t size) {
    noteAllocation();
    if (!validAlignment(alignment)) {
        return EINVAL;
    }
    void* pointer = __libc_memalign(alignment, size);
    if (pointer == nullptr) {
        return ENOMEM;
    }
    *result = pointer;
    return 0;
}

EXPORTED void* valloc(std::size_t size) {
    noteAllocation();
    return __libc_valloc(size);
}

EXPORTED void* pvalloc(std::size_t size) {
    noteAllocation();
    return __libc_pvalloc(size);
}

EXPORTED int pthread_mutex_lock(pthread_mutex_t* mutex) {
    noteLock();
    return nextDefinition(realMutexLock, "pthread_mutex_lock")(mutex);
}

EXPORTED int pthread_mutex_trylock(pthread_mutex_t* mutex) {
    noteLock();
    return nextDefinition(realMutexTrylock, "pthread_mutex_trylock")(mutex);
}

EXPORTED int pthread_mutex_timedlock(pthread_mutex_t* mutex, const timespec* timeout) {
    noteLock();
    return nextDefinition(realMutexTimedlock, "pthread_mutex_timedlock")(mutex, timeout);
}

EXPORTED int pthread_rwlock_rdlock(pthread_rwlock_t* lock) {
    noteLock();
    return nextDefinition(realRdlock, "pthread_rwlock_rdlock")(lock);
}

EXPORTED int pthread_rwlock_wrlock(pthread_rwlock_t* lock) {
    noteLock();
    return nextDefinition(realWrlock, "pthread_rwlock_wrlock")(lock);
}

EXPORTED int pthread_rwlock_tryrdlock(pthread_rwlock_t* lock) {
    noteLock();
    return nextDefinition(realTryrdlock, "pthread_rwlock_tryrdlock")(lock);
}

EXPORTED int pthread_rwlock_trywrlock(pthread_rwlock_t* lock) {
    noteLock();
    return nextDefinition(realTrywrlock, "pthread_rwlock_trywrlock")(lock);
}

EXPORTED int pthread_rwlock_timedrdlock(pthread_rwlock_t* lock, const timespec* timeout) {
    noteLock();
    return nextDefinition(realTimedrdlock, "pthread_rwlock_timedrdlock")(lock, timeout);
}

EXPORTED int pthread_rwlock_timedwrlock(pthread_rwlock_t* lock, const timespec* timeout) {
    noteLock();
    return nextDefinition(realTimedwrlock, "pthread_rwlock_timedwrlock")(lock, timeout);
}

} // extern "C"

// The C++ allocation operators, so that plug-ins with their own copy of the C++ runtime are
// counted too; they allocate through the counting malloc above.
namespace {

void* allocateOrThrow(std::size_t size) {
    void* pointer = std::malloc(size == 0 ? 1 : size);
    if (pointer == nullptr) {
        throw std::bad_alloc();
    }
    return pointer;
}

void* allocateAlignedOrThrow(std::size_t size, std::align_val_t alignment) {
    void* pointer = nullptr;
    const auto bytes = static_cast<std::size_t>(alignment);
    if (posix_memalign(&pointer, bytes < sizeof(void*) ? sizeof(void*) : bytes,
                       size == 0 ? 1 : size) != 0) {
        throw std::bad_alloc();
    }
    return pointer;
}

} // namespace

EXPORTED void* operator new(std::size_t size) {
    return allocateOrThrow(size);
}
EXPORTED void* operator new[](std::size_t size) {
    return allocateOrThrow(size);
}
EXPORTED void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size == 0 ? 1 : size);
}
EXPORTED void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size == 0 ? 1 : size);
}
EXPORTED void* operator new(std::size_t size, std::align_val_t alignment) {
    return allocateAlignedOrThrow(size, alignment);
}
EXPORTED void* operator new[](std::size_t size, std::align_val_t alignment) {
    return allocateAlignedOrThrow(size, alignment);
}
EXPORTED void operator delete(void* pointer) noexcept {
    std::free(pointer);
}
EXPORTED void operator delete[](void* pointer) noexcept {
    std::free(pointer);
}
EXPORTED void operator delete(void* pointer, std::size_t) noexcept {
    std::free(pointer);
}
EXPORTED void operator delete[](void* pointer, std::size_t) noexcept {
    std::free(pointer);
}
EXPORTED void operator delete(void* pointer, std::align_val_t) noexcept {
    std::free(pointer);
}
EXPORTED void operator delete[](void* pointer, std::align_val_t) noexcept {
    std::free(pointer);
}
EXPORTED void operator delete(void* pointer, std::size_t, std::align_val_t) noexcept {
    std::free(pointer);
}
EXPORTED void operator delete[](void* pointer, std::size_t, std::align_val_t) noexcept {
    std::free(pointer);
}

namespace realtimeprobe {

bool available() {
    return true;
}

const char* unavailableReason() {
    return "";
}

Counts counts() {
    return {allocationCount.load(), lockCount.load()};
}

void reset() {
    allocationCount = 0;
    lockCount = 0;
}

Watch::Watch() {
    watching = true;
}

Watch::~Watch() {
    watching = false;
}

} // namespace realtimeprobe

#else // BRISOLEN_SANITIZER_RUNTIME

namespace realtimeprobe {

bool available() {
    return false;
}

const char* unavailableReason() {
    return "this host is built with a sanitizer, whose runtime owns the allocation and lock "
           "functions";
}

Counts counts() {
    return {};
}

void reset() {}

Watch::Watch() = default;
Watch::~Watch() = default;

} // namespace realtimeprobe

#endif
