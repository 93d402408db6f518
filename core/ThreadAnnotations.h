// ThreadAnnotations: happens-before marks for ThreadSanitizer builds (scripts/sanitize thread),
// for hand-overs between threads that TSan cannot see because they go through a lock inside
// an uninstrumented library (Qt's thread pool queues its tasks under its own mutex). Empty in
// every other build.
//
//   TQ_HAPPENS_BEFORE(p) on the handing thread, once everything p's receiver reads is written;
//   TQ_HAPPENS_AFTER(p) on the receiving thread, before it reads.
#pragma once

#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define TQ_THREAD_SANITIZER 1
#endif
#endif

#ifdef TQ_THREAD_SANITIZER
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
#define TQ_HAPPENS_BEFORE(p) __tsan_release(const_cast<void*>(static_cast<const void*>(p)))
#define TQ_HAPPENS_AFTER(p) __tsan_acquire(const_cast<void*>(static_cast<const void*>(p)))
#else
#define TQ_HAPPENS_BEFORE(p) ((void)0)
#define TQ_HAPPENS_AFTER(p) ((void)0)
#endif
