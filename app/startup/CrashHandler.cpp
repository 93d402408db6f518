#include "app/startup/CrashHandler.h"

#include "core/FileNameCodec.h"
#include "core/FileUtils.h"
#include "core/UserFileIdentity.h"
#include "core/UserFiles.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <dlfcn.h>
#include <execinfo.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr size_t kAltStackSize = 64 * 1024;
constexpr int kMaxFrames = 64;

// The report's folder, opened at install time (as the session user in a root instance), and
// the report's name in it. -1: no report can be written.
int g_reportFolder = -1;
char g_reportName[256];
// The identity the handler takes before it touches the folder; invalid when none is needed.
RawFileIdentity g_reportIdentity;
bool g_needsIdentity = false;
std::atomic<bool> g_installed{false};
std::atomic_flag g_reporting = ATOMIC_FLAG_INIT;

// A small writer over one descriptor that formats without allocating.
struct Out
{
    int fd;
    void text(const char* s) const
    {
        size_t length = std::strlen(s);
        while (length > 0) {
            const ssize_t n = ::write(fd, s, length);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return;
            s += n;
            length -= static_cast<size_t>(n);
        }
    }
    void number(unsigned long long value, unsigned base = 10) const
    {
        char buffer[32];
        int i = sizeof(buffer) - 1;
        buffer[i] = '\0';
        do {
            const unsigned digit = static_cast<unsigned>(value % base);
            buffer[--i] = static_cast<char>(digit < 10 ? '0' + digit : 'a' + digit - 10);
            value /= base;
        } while (value != 0 && i > 0);
        text(buffer + i);
    }
    void signedNumber(long long value) const
    {
        if (value < 0) {
            text("-");
            number(static_cast<unsigned long long>(-(value + 1)) + 1);
        } else {
            number(static_cast<unsigned long long>(value));
        }
    }
};

const char* signalName(int sig)
{
    switch (sig) {
    case SIGSEGV: return "SIGSEGV";
    case SIGBUS: return "SIGBUS";
    case SIGILL: return "SIGILL";
    case SIGFPE: return "SIGFPE";
    case SIGABRT: return "SIGABRT";
    default: return "?";
    }
}

void copyFile(const Out& out, const char* path)
{
    const int in = ::open(path, O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        ssize_t done = 0;
        while (done < n) {
            const ssize_t w = ::write(out.fd, buffer + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                break;
            done += w;
        }
    }
    ::close(in);
}

void writeReport(int sig, const siginfo_t* info)
{
    if (g_reportFolder < 0)
        return;
    // In a root instance the folder is the session user's: the report is written with that
    // user's identity, or not at all. The process ends right after, so nothing is restored.
    if (g_needsIdentity && !UserFileIdentity::enterRaw(g_reportIdentity))
        return;
    // A fresh file each time: never write through a link or into a file someone else placed.
    ::unlinkat(g_reportFolder, g_reportName, 0);
    const int fd = ::openat(g_reportFolder, g_reportName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    const Out out{fd};
    out.text("Tallowquist Pro crash report\nsignal: ");
    out.number(static_cast<unsigned>(sig));
    out.text(" ");
    out.text(signalName(sig));
    out.text("\ncode: ");
    out.signedNumber(info ? info->si_code : 0);
    if (sig == SIGABRT) {
        // Sent, not a fault: who sent it instead of an address.
        out.text("\nsender: ");
        out.number(info ? static_cast<unsigned long long>(info->si_pid) : 0);
    } else {
        out.text("\naddress: 0x");
        out.number(info ? reinterpret_cast<uintptr_t>(info->si_addr) : 0, 16);
    }
    out.text("\npid: ");
    out.number(static_cast<unsigned long long>(::getpid()));
    out.text("\ntid: ");
    out.number(static_cast<unsigned long long>(::syscall(SYS_gettid)));
    out.text("\nframes:\n");
    void* frames[kMaxFrames];
    const int count = ::backtrace(frames, kMaxFrames);
    ::backtrace_symbols_fd(frames, count, fd);
    out.text("maps:\n");
    copyFile(out, "/proc/self/maps");
    ::close(fd);
}

void onFatalSignal(int sig, siginfo_t* info, void*)
{
    const int savedErrno = errno;
    if (!g_reporting.test_and_set())
        writeReport(sig, info);
    // Die by the same signal: with the default action restored, the signal raised here is
    // delivered as soon as the handler returns (a fault would also recur at the instruction).
    struct sigaction dfl;
    std::memset(&dfl, 0, sizeof(dfl));
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    ::sigaction(sig, &dfl, nullptr);
    ::raise(sig);
    errno = savedErrno;
}

// The alternate stack of one thread, released when the thread ends.
struct ThreadAltStack
{
    void* memory = nullptr;
    ~ThreadAltStack()
    {
        if (!memory)
            return;
        stack_t off;
        std::memset(&off, 0, sizeof(off));
        off.ss_flags = SS_DISABLE;
        ::sigaltstack(&off, nullptr);
        ::munmap(memory, kAltStackSize);
    }
};
thread_local ThreadAltStack t_altStack;

// What the wrapped pthread_create hands its trampoline.
struct ThreadStart
{
    void* (*routine)(void*);
    void* argument;
};

void* startWithAltStack(void* raw)
{
    ThreadStart start = *static_cast<ThreadStart*>(raw);
    ::free(raw);
    if (g_installed.load(std::memory_order_acquire))
        CrashHandler::ensureAlternateStack();
    return start.routine(start.argument);
}

using PthreadCreate = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);

} // namespace

#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define TQ_THREAD_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_THREAD__)
#define TQ_THREAD_SANITIZER 1
#endif

#ifdef TQ_THREAD_SANITIZER
// Under ThreadSanitizer the runtime's own pthread_create (linked into the program) must make
// every thread, or the runtime does not know the thread and stops at its first event.
extern "C" int __interceptor_pthread_create(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
#endif

namespace {

PthreadCreate realPthreadCreate()
{
#ifdef TQ_THREAD_SANITIZER
    return __interceptor_pthread_create;
#else
    static PthreadCreate real = reinterpret_cast<PthreadCreate>(::dlsym(RTLD_NEXT, "pthread_create"));
    return real;
#endif
}

} // namespace

// Every thread of the program is made here first (Qt's, the thread pool's, std::thread), so
// that each one gets its alternate signal stack before it runs any of our code.
extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*routine)(void*),
                              void* argument)
{
    const PthreadCreate real = realPthreadCreate();
    if (!real)
        return EAGAIN;
    auto* start = static_cast<ThreadStart*>(::malloc(sizeof(ThreadStart)));
    if (!start)
        return real(thread, attributes, routine, argument);
    start->routine = routine;
    start->argument = argument;
    const int result = real(thread, attributes, startWithAltStack, start);
    if (result != 0)
        ::free(start);
    return result;
}

namespace CrashHandler {

bool hasAlternateStack()
{
    stack_t current;
    if (::sigaltstack(nullptr, &current) != 0)
        return false;
    return !(current.ss_flags & SS_DISABLE) && current.ss_sp != nullptr;
}

void ensureAlternateStack()
{
    if (hasAlternateStack())
        return;
    void* memory = ::mmap(nullptr, kAltStackSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
    if (memory == MAP_FAILED)
        return;
    stack_t stack;
    std::memset(&stack, 0, sizeof(stack));
    stack.ss_sp = memory;
    stack.ss_size = kAltStackSize;
    if (::sigaltstack(&stack, nullptr) != 0) {
        ::munmap(memory, kAltStackSize);
        return;
    }
    t_altStack.memory = memory;
}

void install(const QString& reportPath)
{
    if (g_reportFolder >= 0) {
        ::close(g_reportFolder);
        g_reportFolder = -1;
    }
    g_needsIdentity = UserFileIdentity::needed();
    g_reportIdentity = UserFileIdentity::rawSessionIdentity();
    const QByteArray name = FileNameCodec::encode(pathFileName(reportPath));
    if (name.isEmpty() || static_cast<size_t>(name.size()) >= sizeof(g_reportName)) {
        g_reportName[0] = '\0';
    } else {
        std::memcpy(g_reportName, name.constData(), static_cast<size_t>(name.size()));
        g_reportName[name.size()] = '\0';
        if (!g_needsIdentity || g_reportIdentity.valid)
            g_reportFolder = UserFiles::openFolder(pathDirectory(reportPath), true).release();
    }

    // Loads the unwinder now: its first use allocates, which a signal handler must not do.
    void* warmUp[2];
    ::backtrace(warmUp, 2);

    ensureAlternateStack();
    struct sigaction action;
    std::memset(&action, 0, sizeof(action));
    action.sa_sigaction = onFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int sig : kFatalSignals)
        ::sigaction(sig, &action, nullptr);
    g_installed.store(true, std::memory_order_release);
}

} // namespace CrashHandler
