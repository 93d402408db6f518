#include "core/SystemUtils.h"

#include "core/ChildProcess.h"
#include "core/FileNameCodec.h"
#include "core/FileUtils.h"
#include "core/HandleHolder.h"

#include <QByteArray>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char* const kAdminGroups[] = {"sudo", "wheel", "admin"};
const char kDefaultElevationProgram[] = "/usr/bin/pkexec";

// After the start pipe closed, the process is pkexec on its way out, a wrapper such as env about
// to run the program (or to fail with 126/127), or the program itself. Its command name tells
// them apart; when the name cannot be read, an exit is waited for this long before the program
// counts as started, and while it still reads as pkexec or a wrapper, at most kStartLimit.
constexpr std::chrono::milliseconds kStartGrace(200);
constexpr std::chrono::milliseconds kStartLimit(3000);

std::mutex& elevationProgramMutex()
{
    static std::mutex m;
    return m;
}

QString& elevationProgramPath()
{
    static QString path;
    return path;
}

// Runs a reentrant user/group database lookup (getpwuid_r, getgrnam_r, ...) with a buffer
// that doubles, up to `limit` bytes, while the lookup answers ERANGE, and hands the entry found
// to `use` while its strings are still valid. False when there is no entry.
template <class Entry, class Lookup, class Use>
bool lookupEntry(int sizeName, std::size_t limit, Lookup lookup, Use use)
{
    const long size = ::sysconf(sizeName);
    std::vector<char> buffer(size > 0 ? size_t(size) : 16384);
    for (;;) {
        Entry entry;
        Entry* result = nullptr;
        const int rc = lookup(&entry, buffer.data(), buffer.size(), &result);
        if (rc == ERANGE && buffer.size() < limit) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (rc != 0 || !result)
            return false;
        use(entry);
        return true;
    }
}

// Looks up the account of `uid`: its name and primary group. False when it has no entry.
bool lookupAccount(uid_t uid, QByteArray& name, gid_t& primaryGroup)
{
    return lookupEntry<struct passwd>(
        _SC_GETPW_R_SIZE_MAX, 1u << 20,
        [uid](struct passwd* pw, char* buffer, size_t size, struct passwd** result) {
            return ::getpwuid_r(uid, pw, buffer, size, result);
        },
        [&](const struct passwd& pw) {
            name = QByteArray(pw.pw_name);
            primaryGroup = pw.pw_gid;
        });
}

bool lookupGroup(const char* groupName, gid_t& gid)
{
    return lookupEntry<struct group>(
        _SC_GETGR_R_SIZE_MAX, 1u << 22,
        [groupName](struct group* gr, char* buffer, size_t size, struct group** result) {
            return ::getgrnam_r(groupName, gr, buffer, size, result);
        },
        [&](const struct group& gr) { gid = gr.gr_gid; });
}

// Whether the account `name` (primary group `primaryGroup`) belongs to an administrators group.
bool accountInAdminGroup(const QByteArray& name, gid_t primaryGroup)
{
    std::vector<gid_t> groups(64);
    for (;;) {
        int count = int(groups.size());
        if (::getgrouplist(name.constData(), primaryGroup, groups.data(), &count) >= 0) {
            groups.resize(size_t(count));
            break;
        }
        if (count <= int(groups.size()) || count > 65536)
            return false;
        groups.resize(size_t(count));
    }
    for (const char* adminGroup : kAdminGroups) {
        gid_t gid;
        if (lookupGroup(adminGroup, gid) && std::find(groups.begin(), groups.end(), gid) != groups.end())
            return true;
    }
    return false;
}

// Reads a decimal uid from the environment; false when unset or not a plain uid.
bool uidFromEnvironment(const char* variable, uid_t& uid)
{
    const char* text = ::getenv(variable);
    if (!text || !*text)
        return false;
    unsigned long long value = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        value = value * 10 + unsigned(*p - '0');
        if (value >= 0xFFFFFFFFull) // (uid_t)-1 is no uid
            return false;
    }
    uid = uid_t(value);
    return true;
}

// Real uid of a process from /proc/<pid>/status; false when it cannot be read.
bool processRealUid(pid_t pid, uid_t& uid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray& line : lines) {
        if (line.startsWith("Uid:")) {
            const QList<QByteArray> fields = line.mid(4).simplified().split(' ');
            bool ok = false;
            const qulonglong value = fields.value(0).toULongLong(&ok);
            if (!ok)
                return false;
            uid = uid_t(value);
            return true;
        }
    }
    return false;
}

// Command name of a process (/proc/<pid>/comm, at most 15 bytes); false when unreadable.
bool processCommand(pid_t pid, QByteArray& command)
{
    QFile file(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    command = file.readAll();
    if (command.endsWith('\n'))
        command.chop(1);
    return !command.isEmpty();
}

} // namespace

bool isProcessAdmin()
{
    return ::geteuid() == 0;
}

QByteArray accountName(uid_t uid)
{
    QByteArray name;
    gid_t primaryGroup;
    return lookupAccount(uid, name, primaryGroup) ? name : QByteArray();
}

QByteArray groupName(gid_t gid)
{
    QByteArray name;
    lookupEntry<struct group>(
        _SC_GETGR_R_SIZE_MAX, 1u << 22,
        [gid](struct group* gr, char* buffer, size_t size, struct group** result) {
            return ::getgrgid_r(gid, gr, buffer, size, result);
        },
        [&](const struct group& gr) { name = QByteArray(gr.gr_name); });
    return name;
}

bool getElevationType(int& elevationType, bool& isAdmin)
{
    if (isProcessAdmin()) {
        elevationType = ElevationTypeFull;
        isAdmin = true;
        return true;
    }
    const uid_t uid = ::getuid();
    if (uid == 0) {
        // Real root that dropped its effective rights: it can take them back.
        elevationType = ElevationTypeLimited;
        isAdmin = true;
        return true;
    }
    QByteArray name;
    gid_t primaryGroup;
    if (!lookupAccount(uid, name, primaryGroup))
        return false;
    if (accountInAdminGroup(name, primaryGroup)) {
        elevationType = ElevationTypeLimited;
        isAdmin = true;
    } else {
        elevationType = ElevationTypeDefault;
        isAdmin = isProcessAdmin();
    }
    return true;
}

bool isUserAdmin()
{
    int type = 0;
    bool admin = false;
    return getElevationType(type, admin) && admin;
}

bool isUserAdmin(uid_t uid)
{
    if (uid == 0)
        return true;
    QByteArray name;
    gid_t primaryGroup;
    return lookupAccount(uid, name, primaryGroup) && accountInAdminGroup(name, primaryGroup);
}

uid_t sessionUserId()
{
    if (::geteuid() == 0) {
        uid_t uid;
        if (uidFromEnvironment("PKEXEC_UID", uid) || uidFromEnvironment("SUDO_UID", uid))
            return uid;
    }
    return ::getuid();
}

std::pair<int, int> osVersion()
{
    struct utsname name;
    if (::uname(&name) != 0)
        return {0, 0};
    int major = 0;
    int minor = 0;
    if (std::sscanf(name.release, "%d.%d", &major, &minor) != 2 || major < 0 || minor < 0)
        return {0, 0};
    return {major, minor};
}

bool isVistaOrLater()
{
    return true;
}

bool isWow64()
{
    const QString directory = executableDirectory();
    if (directory.isEmpty())
        return false;
    const QByteArray helper = FileNameCodec::encode(directory + QStringLiteral("/helper64"));
    struct stat st;
    return ::stat(helper.constData(), &st) == 0 && S_ISREG(st.st_mode) && ::access(helper.constData(), X_OK) == 0;
}

void setElevationProgram(const QString& path)
{
    std::lock_guard<std::mutex> lock(elevationProgramMutex());
    elevationProgramPath() = path;
}

QString elevationProgram()
{
    std::lock_guard<std::mutex> lock(elevationProgramMutex());
    const QString path = elevationProgramPath();
    return path.isEmpty() ? QString::fromLatin1(kDefaultElevationProgram) : path;
}

bool runElevated(const QString& file, const QString& parameters)
{
    return runElevated(file, parameters, nullptr);
}

bool runElevated(const QString& file, const QString& parameters, int* exitCode)
{
    if (exitCode)
        *exitCode = -1;
    if (file.isEmpty())
        return false;

    QList<QByteArray> arguments;
    arguments << QByteArrayLiteral("/usr/bin/env");
    bool haveXauthority = false;
    for (const char* variable : {"DISPLAY", "XAUTHORITY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR"}) {
        const QByteArray value = qgetenv(variable);
        if (!value.isEmpty()) {
            arguments << QByteArray(variable) + '=' + value;
            if (std::strcmp(variable, "XAUTHORITY") == 0)
                haveXauthority = true;
        }
    }
    if (!haveXauthority && qEnvironmentVariableIsSet("DISPLAY")) {
        // X clients fall back to ~/.Xauthority, which is root's own under pkexec.
        const QString cookie = FileNameCodec::decode(qgetenv("HOME")) + QStringLiteral("/.Xauthority");
        const QByteArray cookieBytes = FileNameCodec::encode(cookie);
        struct stat st;
        if (!qEnvironmentVariableIsEmpty("HOME") && ::stat(cookieBytes.constData(), &st) == 0 && S_ISREG(st.st_mode))
            arguments << QByteArrayLiteral("XAUTHORITY=") + cookieBytes;
    }
    // env takes every argument holding "=" for an assignment, so a program path with "=" in it
    // would be swallowed (env then runs the first parameter, or prints its environment and
    // reports success). Such a path is handed to a shell that runs it by position instead.
    QList<QByteArray> wrappers;
    wrappers << QByteArrayLiteral("env");
    if (file.contains(QLatin1Char('='))) {
        arguments << QByteArrayLiteral("/bin/sh") << QByteArrayLiteral("-c") << QByteArrayLiteral("exec \"$0\" \"$@\"");
        wrappers << QByteArrayLiteral("sh");
    }
    arguments << FileNameCodec::encode(file);
    const QStringList split = ChildProcess::splitCommand(parameters);
    for (const QString& argument : split)
        arguments << FileNameCodec::encode(argument);
    return runElevatedCommand(arguments, wrappers, exitCode);
}

bool runElevatedCommand(const QList<QByteArray>& arguments, const QList<QByteArray>& wrappers, int* exitCode)
{
    if (exitCode)
        *exitCode = -1;
    if (arguments.isEmpty() || arguments.first().isEmpty())
        return false;
    const QByteArray program = FileNameCodec::encode(elevationProgram());

    HandleHolder startRead, startWrite;
    if (!HandleHolder::openPipe(startRead, startWrite))
        return false;
    // pkexec authorises its parent, this process: it runs with our identity, attached, in our
    // process group and with our standard descriptors. The start pipe stays open across the
    // exec of pkexec; pkexec closes it when it runs the program.
    ChildProcess child;
    ChildProcess::Setup setup;
    setup.inheritStandard = true;
    setup.ownGroup = false;
    setup.runAs = ChildProcess::RunAs::ThisProcess;
    setup.passDescriptor = startWrite.handle();
    QStringList commandLine;
    for (const QByteArray& argument : arguments)
        commandLine << FileNameCodec::decode(argument);
    if (!child.start(FileNameCodec::decode(program), commandLine, setup))
        return false; // pkexec itself could not be run
    startWrite.reset();
    const pid_t pid = child.pid();

    // The kernel names a process after the last component of the file it runs, cut to 15 bytes.
    const QByteArray elevationCommand = program.mid(program.lastIndexOf('/') + 1).left(15);
    const bool callerIsRoot = ::getuid() == 0;
    bool passed = false; // the start pipe closed, or the child took the target's identity
    auto passedAt = std::chrono::steady_clock::now();
    bool result = false;
    for (;;) {
        if (child.finished()) {
            const int code = child.exitedNormally() ? child.exitCode() : -1;
            result = code >= 0 && code != 126 && code != 127;
            if (exitCode)
                *exitCode = code;
            break;
        }
        if (!passed) {
            struct pollfd p = {startRead.handle(), POLLIN, 0};
            const int ready = ::poll(&p, 1, 20);
            if (ready > 0) {
                char byte;
                const ssize_t got = ::read(startRead.handle(), &byte, 1);
                if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN)) {
                    passed = true;
                    passedAt = std::chrono::steady_clock::now();
                }
            }
            uid_t childUid;
            if (!passed && !callerIsRoot && processRealUid(pid, childUid) && childUid == 0) {
                passed = true;
                passedAt = std::chrono::steady_clock::now();
            }
        } else {
            const auto waited = std::chrono::steady_clock::now() - passedAt;
            QByteArray command;
            const bool named = processCommand(pid, command);
            const bool intermediate = named && (command == elevationCommand || wrappers.contains(command));
            if ((named && !intermediate) || (!named && waited >= kStartGrace) || waited >= kStartLimit) {
                // Still running: the program has started. Reap it whenever it ends.
                child.detach();
                result = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    return result;
}

QDateTime buildDateTime()
{
    return buildDateTime(__DATE__, __TIME__);
}

QDateTime buildDateTime(const char* dateText, const char* timeText)
{
    if (!dateText || !timeText)
        return QDateTime();
    static const char months[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    char monthName[4] = {0, 0, 0, 0};
    int day = 0;
    int year = 0;
    if (std::sscanf(dateText, "%3s %d %d", monthName, &day, &year) != 3 || std::strlen(monthName) != 3)
        return QDateTime();
    int month = 0;
    for (int i = 0; i < 12; ++i) {
        if (std::strncmp(months + 3 * i, monthName, 3) == 0) {
            month = i + 1;
            break;
        }
    }
    int hour = 0;
    int minute = 0;
    int second = 0;
    if (month == 0 || std::sscanf(timeText, "%d:%d:%d", &hour, &minute, &second) != 3)
        return QDateTime();
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time);
}

bool killProcessByName(const QString& executableName)
{
    if (executableName.isEmpty() || executableName.contains(QLatin1Char('/')))
        return true;
    const QByteArray wanted = FileNameCodec::encode(executableName);

    std::vector<pid_t> pids;
    if (DIR* proc = ::opendir("/proc")) {
        while (struct dirent* entry = ::readdir(proc)) {
            char* end = nullptr;
            const long value = std::strtol(entry->d_name, &end, 10);
            if (end && *end == '\0' && value > 0)
                pids.push_back(pid_t(value));
        }
        ::closedir(proc);
    }
    std::sort(pids.begin(), pids.end());

    const pid_t self = ::getpid();
    const uid_t user = ::getuid();
    bool result = true;
    for (pid_t pid : pids) {
        if (pid == self)
            continue;
        uid_t owner;
        if (!processRealUid(pid, owner) || owner != user)
            continue;
        char target[4096];
        const QByteArray link = QByteArrayLiteral("/proc/") + QByteArray::number(pid) + QByteArrayLiteral("/exe");
        const ssize_t length = ::readlink(link.constData(), target, sizeof target - 1);
        if (length <= 0)
            continue;
        QByteArray path(target, int(length));
        if (path.endsWith(" (deleted)"))
            path.chop(10);
        const int slash = path.lastIndexOf('/');
        if (path.mid(slash + 1) != wanted)
            continue;
        result = false;
        if (::kill(pid, SIGKILL) == 0)
            return true;
    }
    return result;
}
