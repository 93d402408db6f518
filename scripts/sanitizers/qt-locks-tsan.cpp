// Tells ThreadSanitizer about Qt's locks. Preloaded by `scripts/sanitize thread` into every
// test program (and the helper program the tests start).
//
// Qt's QMutex, QReadWriteLock, QWaitCondition and QSemaphore are built on futexes inside
// libQt5Core, which is not instrumented, so without this shim TSan sees no ordering between a
// thread that unlocks and the next thread that locks, and reports every access guarded by such
// a lock as a race. The program's calls into these classes go through the dynamic linker, so a
// preloaded library can define the same symbols, forward each call to Qt's own function (found
// with dlsym(RTLD_NEXT)) and announce the lock operation around it with TSan's mutex
// annotations. Read and write locks are announced as such, so two readers are not ordered
// against each other and a write made under a read lock is still reported.
//
// Calls made inside libQt5Core itself are bound directly (the library is linked with
// -Bsymbolic-functions) and are not seen here; Qt's own internal ordering stays invisible.
//
// The annotation functions are weak: in a process without TSan (a shell, pdftotext) they are
// null and the shim only forwards.
// Only the layout of QDeadlineTimer is used; the shim links nothing of Qt.
#define QT_NO_VERSION_TAGGING
#include <QtCore/qdeadlinetimer.h>

#include <dlfcn.h>
#include <pthread.h>

#include <cstdio>
#include <cstdlib>

extern "C" {
void __tsan_mutex_create(void* addr, unsigned flags) __attribute__((weak));
void __tsan_mutex_destroy(void* addr, unsigned flags) __attribute__((weak));
void __tsan_mutex_pre_lock(void* addr, unsigned flags) __attribute__((weak));
void __tsan_mutex_post_lock(void* addr, unsigned flags, int recursion) __attribute__((weak));
int __tsan_mutex_pre_unlock(void* addr, unsigned flags) __attribute__((weak));
void __tsan_mutex_post_unlock(void* addr, unsigned flags) __attribute__((weak));
void __tsan_acquire(void* addr) __attribute__((weak));
void __tsan_release(void* addr) __attribute__((weak));
}

namespace {

// Flags of the annotation interface (sanitizer/tsan_interface.h).
constexpr unsigned ReadLock = 1u << 3;
constexpr unsigned TryLock = 1u << 4;
constexpr unsigned TryLockFailed = 1u << 5;

bool tsanPresent()
{
    return __tsan_mutex_pre_lock != nullptr;
}

template <class F>
F real(const char* symbol)
{
    void* p = dlsym(RTLD_NEXT, symbol);
    if (!p) {
        std::fprintf(stderr, "qt-locks-tsan: %s not found\n", symbol);
        std::abort();
    }
    return reinterpret_cast<F>(p);
}

#define REAL(type, symbol) static const auto next = real<type>(symbol)

void preLock(void* m, unsigned flags)
{
    if (tsanPresent())
        __tsan_mutex_pre_lock(m, flags);
}

void postLock(void* m, unsigned flags)
{
    if (tsanPresent())
        __tsan_mutex_post_lock(m, flags, 0);
}

void preUnlock(void* m, unsigned flags)
{
    if (tsanPresent())
        __tsan_mutex_pre_unlock(m, flags);
}

void postUnlock(void* m, unsigned flags)
{
    if (tsanPresent())
        __tsan_mutex_post_unlock(m, flags);
}

// The read/write mode of the QReadWriteLocks this thread holds, innermost last, so that
// unlock() and QWaitCondition::wait() can announce the matching release. A recursive lock
// appears once per level.
struct Held
{
    void* lock;
    bool read;
};
thread_local Held held[64];
thread_local int heldCount = 0;

void pushHeld(void* lock, bool read)
{
    if (heldCount < 64)
        held[heldCount] = Held{lock, read};
    ++heldCount;
}

// The mode the innermost hold of `lock` was taken in; removes that hold when `pop`.
bool heldAsRead(void* lock, bool pop)
{
    const int top = heldCount < 64 ? heldCount : 64;
    for (int i = top - 1; i >= 0; --i) {
        if (held[i].lock != lock)
            continue;
        const bool read = held[i].read;
        if (pop) {
            for (int j = i; j + 1 < top; ++j)
                held[j] = held[j + 1];
            --heldCount;
        }
        return read;
    }
    return false;
}

// The end of a QThread. QThread::wait() learns that its thread has finished through a QMutex
// taken inside Qt, so when the thread ended before wait() was called TSan sees no ordering
// between what the thread did and what the caller does after wait() (deleting the thread
// object, reading its results). Qt gives every thread it starts a thread-specific value
// (pthread_setspecific, not intercepted by TSan); the first time a thread sets one, the shim
// gives the thread a thread_local object whose destructor runs at thread exit, after Qt's
// finish code and before TSan retires the thread, and releases `threadsEnded`. A wait() that
// returns true acquires it. This orders the caller after every thread that ended before, which
// can only hide races with threads that are gone.
char threadsEnded;

struct ExitMarker
{
    bool armed = false;
    ~ExitMarker()
    {
        if (armed && tsanPresent())
            __tsan_release(&threadsEnded);
    }
};
thread_local ExitMarker exitMarker;

} // namespace

extern "C" {

int pthread_setspecific(pthread_key_t key, const void* value)
{
    REAL(int (*)(pthread_key_t, const void*), "pthread_setspecific");
    const int result = next(key, value);
    // TSan itself stores small counters (its destructor rounds) in a key of its own, also while
    // it retires a thread; only real pointers, as Qt stores, arm the marker.
    if (reinterpret_cast<unsigned long>(value) > 4096)
        exitMarker.armed = true;
    return result;
}

bool _ZN7QThread4waitE14QDeadlineTimer(void* self, QDeadlineTimer deadline)
{
    REAL(bool (*)(void*, QDeadlineTimer), "_ZN7QThread4waitE14QDeadlineTimer");
    const bool ended = next(self, deadline);
    if (ended && tsanPresent())
        __tsan_acquire(&threadsEnded);
    return ended;
}

bool _ZN7QThread4waitEm(void* self, unsigned long time)
{
    REAL(bool (*)(void*, unsigned long), "_ZN7QThread4waitEm");
    const bool ended = next(self, time);
    if (ended && tsanPresent())
        __tsan_acquire(&threadsEnded);
    return ended;
}

// QMutex (recursive or not). Recursion is tracked by TSan itself per owning thread.
void _ZN6QMutex4lockEv(void* self)
{
    REAL(void (*)(void*), "_ZN6QMutex4lockEv");
    preLock(self, 0);
    next(self);
    postLock(self, 0);
}

bool _ZN6QMutex7tryLockEi(void* self, int timeout)
{
    REAL(bool (*)(void*, int), "_ZN6QMutex7tryLockEi");
    preLock(self, TryLock);
    const bool ok = next(self, timeout);
    postLock(self, ok ? TryLock : TryLock | TryLockFailed);
    return ok;
}

void _ZN6QMutex6unlockEv(void* self)
{
    REAL(void (*)(void*), "_ZN6QMutex6unlockEv");
    preUnlock(self, 0);
    next(self);
    postUnlock(self, 0);
}

void _ZN6QMutexD1Ev(void* self)
{
    REAL(void (*)(void*), "_ZN6QMutexD1Ev");
    if (tsanPresent())
        __tsan_mutex_destroy(self, 0);
    next(self);
}

void _ZN6QMutexD2Ev(void* self)
{
    REAL(void (*)(void*), "_ZN6QMutexD2Ev");
    if (tsanPresent())
        __tsan_mutex_destroy(self, 0);
    next(self);
}

// QBasicMutex: its fast paths are inline (instrumented atomics in the caller); only the
// contended paths run in Qt. They hand the lock over, so they order like acquire and release.
void _ZN11QBasicMutex12lockInternalEv(void* self)
{
    REAL(void (*)(void*), "_ZN11QBasicMutex12lockInternalEv");
    next(self);
    if (tsanPresent())
        __tsan_acquire(self);
}

bool _ZN11QBasicMutex12lockInternalEi(void* self, int timeout)
{
    REAL(bool (*)(void*, int), "_ZN11QBasicMutex12lockInternalEi");
    const bool ok = next(self, timeout);
    if (ok && tsanPresent())
        __tsan_acquire(self);
    return ok;
}

void _ZN11QBasicMutex14unlockInternalEv(void* self)
{
    REAL(void (*)(void*), "_ZN11QBasicMutex14unlockInternalEv");
    if (tsanPresent())
        __tsan_release(self);
    next(self);
}

// QReadWriteLock.
void _ZN14QReadWriteLock11lockForReadEv(void* self)
{
    REAL(void (*)(void*), "_ZN14QReadWriteLock11lockForReadEv");
    preLock(self, ReadLock);
    next(self);
    postLock(self, ReadLock);
    pushHeld(self, true);
}

bool _ZN14QReadWriteLock14tryLockForReadEv(void* self)
{
    REAL(bool (*)(void*), "_ZN14QReadWriteLock14tryLockForReadEv");
    preLock(self, ReadLock | TryLock);
    const bool ok = next(self);
    postLock(self, ReadLock | TryLock | (ok ? 0 : TryLockFailed));
    if (ok)
        pushHeld(self, true);
    return ok;
}

bool _ZN14QReadWriteLock14tryLockForReadEi(void* self, int timeout)
{
    REAL(bool (*)(void*, int), "_ZN14QReadWriteLock14tryLockForReadEi");
    preLock(self, ReadLock | TryLock);
    const bool ok = next(self, timeout);
    postLock(self, ReadLock | TryLock | (ok ? 0 : TryLockFailed));
    if (ok)
        pushHeld(self, true);
    return ok;
}

void _ZN14QReadWriteLock12lockForWriteEv(void* self)
{
    REAL(void (*)(void*), "_ZN14QReadWriteLock12lockForWriteEv");
    preLock(self, 0);
    next(self);
    postLock(self, 0);
    pushHeld(self, false);
}

bool _ZN14QReadWriteLock15tryLockForWriteEv(void* self)
{
    REAL(bool (*)(void*), "_ZN14QReadWriteLock15tryLockForWriteEv");
    preLock(self, TryLock);
    const bool ok = next(self);
    postLock(self, TryLock | (ok ? 0 : TryLockFailed));
    if (ok)
        pushHeld(self, false);
    return ok;
}

bool _ZN14QReadWriteLock15tryLockForWriteEi(void* self, int timeout)
{
    REAL(bool (*)(void*, int), "_ZN14QReadWriteLock15tryLockForWriteEi");
    preLock(self, TryLock);
    const bool ok = next(self, timeout);
    postLock(self, TryLock | (ok ? 0 : TryLockFailed));
    if (ok)
        pushHeld(self, false);
    return ok;
}

void _ZN14QReadWriteLock6unlockEv(void* self)
{
    REAL(void (*)(void*), "_ZN14QReadWriteLock6unlockEv");
    const unsigned flags = heldAsRead(self, true) ? ReadLock : 0;
    preUnlock(self, flags);
    next(self);
    postUnlock(self, flags);
}

void _ZN14QReadWriteLockD1Ev(void* self)
{
    REAL(void (*)(void*), "_ZN14QReadWriteLockD1Ev");
    if (tsanPresent())
        __tsan_mutex_destroy(self, 0);
    next(self);
}

void _ZN14QReadWriteLockD2Ev(void* self)
{
    REAL(void (*)(void*), "_ZN14QReadWriteLockD2Ev");
    if (tsanPresent())
        __tsan_mutex_destroy(self, 0);
    next(self);
}

// QWaitCondition: wait() releases the lock, sleeps and takes the lock again; a wake orders
// before the wait it ends (Qt's own pthread calls inside are not looked at: see tsan.supp).
void _ZN14QWaitCondition7wakeOneEv(void* self)
{
    REAL(void (*)(void*), "_ZN14QWaitCondition7wakeOneEv");
    if (tsanPresent())
        __tsan_release(self);
    next(self);
}

void _ZN14QWaitCondition7wakeAllEv(void* self)
{
    REAL(void (*)(void*), "_ZN14QWaitCondition7wakeAllEv");
    if (tsanPresent())
        __tsan_release(self);
    next(self);
}

void acquireCondition(void* self)
{
    if (tsanPresent())
        __tsan_acquire(self);
}

bool _ZN14QWaitCondition4waitEP6QMutex14QDeadlineTimer(void* self, void* mutex,
                                                         QDeadlineTimer deadline)
{
    REAL(bool (*)(void*, void*, QDeadlineTimer),
         "_ZN14QWaitCondition4waitEP6QMutex14QDeadlineTimer");
    preUnlock(mutex, 0);
    postUnlock(mutex, 0);
    const bool woken = next(self, mutex, deadline);
    acquireCondition(self);
    preLock(mutex, 0);
    postLock(mutex, 0);
    return woken;
}

bool _ZN14QWaitCondition4waitEP6QMutexm(void* self, void* mutex, unsigned long time)
{
    REAL(bool (*)(void*, void*, unsigned long), "_ZN14QWaitCondition4waitEP6QMutexm");
    preUnlock(mutex, 0);
    postUnlock(mutex, 0);
    const bool woken = next(self, mutex, time);
    acquireCondition(self);
    preLock(mutex, 0);
    postLock(mutex, 0);
    return woken;
}

bool _ZN14QWaitCondition4waitEP14QReadWriteLock14QDeadlineTimer(void* self, void* lock,
                                                                 QDeadlineTimer deadline)
{
    REAL(bool (*)(void*, void*, QDeadlineTimer),
         "_ZN14QWaitCondition4waitEP14QReadWriteLock14QDeadlineTimer");
    const unsigned flags = heldAsRead(lock, false) ? ReadLock : 0;
    preUnlock(lock, flags);
    postUnlock(lock, flags);
    const bool woken = next(self, lock, deadline);
    acquireCondition(self);
    preLock(lock, flags);
    postLock(lock, flags);
    return woken;
}

bool _ZN14QWaitCondition4waitEP14QReadWriteLockm(void* self, void* lock, unsigned long time)
{
    REAL(bool (*)(void*, void*, unsigned long), "_ZN14QWaitCondition4waitEP14QReadWriteLockm");
    const unsigned flags = heldAsRead(lock, false) ? ReadLock : 0;
    preUnlock(lock, flags);
    postUnlock(lock, flags);
    const bool woken = next(self, lock, time);
    acquireCondition(self);
    preLock(lock, flags);
    postLock(lock, flags);
    return woken;
}

// QSemaphore: a release orders before the acquire that takes what it released.
void _ZN10QSemaphore7releaseEi(void* self, int n)
{
    REAL(void (*)(void*, int), "_ZN10QSemaphore7releaseEi");
    if (tsanPresent())
        __tsan_release(self);
    next(self, n);
}

void _ZN10QSemaphore7acquireEi(void* self, int n)
{
    REAL(void (*)(void*, int), "_ZN10QSemaphore7acquireEi");
    next(self, n);
    if (tsanPresent())
        __tsan_acquire(self);
}

bool _ZN10QSemaphore10tryAcquireEi(void* self, int n)
{
    REAL(bool (*)(void*, int), "_ZN10QSemaphore10tryAcquireEi");
    const bool ok = next(self, n);
    if (ok && tsanPresent())
        __tsan_acquire(self);
    return ok;
}

bool _ZN10QSemaphore10tryAcquireEii(void* self, int n, int timeout)
{
    REAL(bool (*)(void*, int, int), "_ZN10QSemaphore10tryAcquireEii");
    const bool ok = next(self, n, timeout);
    if (ok && tsanPresent())
        __tsan_acquire(self);
    return ok;
}

} // extern "C"
