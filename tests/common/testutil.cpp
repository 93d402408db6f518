#include "testutil.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace testutil {

bool isRoot()
{
    return ::geteuid() == 0;
}

QString enterPrivateMountNamespace()
{
    if (::unshare(CLONE_NEWNS) != 0)
        return QStringLiteral("cannot enter a private mount namespace: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return QStringLiteral("cannot make the mounts private (is \"/\" a mount point here?): %1")
            .arg(QString::fromLocal8Bit(std::strerror(errno)));
    return QString();
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

QString programDir()
{
    const QByteArray env = qgetenv("TQ_PROGRAM_DIR");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../bin");
}

QString helperWithScriptFilter(const QString& folder, const QString& extension, const QByteArray& script)
{
    const QString filter = folder + QStringLiteral("/filter");
    const QString helper = folder + QStringLiteral("/helper64");
    if (!writeFile(filter, "#!/bin/sh\n" + script)
        || !QFile::setPermissions(filter, QFileDevice::ReadOwner | QFileDevice::ExeOwner)
        || !QFile::copy(programDir() + QStringLiteral("/helper64"), helper))
        return QString();
    const QByteArray handler = "{11111111-2222-3333-4444-555555555555}";
    const QByteArray id = "{66666666-7777-8888-9999-000000000000}";
    const QByteArray reg = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Classes\\." + extension.toUtf8()
                           + "\\PersistentHandler]\n@=\"" + handler + "\"\n\n"
                           "[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\" + handler + "]\n@=\"Script handler\"\n\n"
                           "[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\" + handler
                           + "\\PersistentAddinsRegistered\\{89BCB740-6119-101A-BCB7-00DD010655AF}]\n@=\"" + id + "\"\n\n"
                           "[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\" + id + "]\n@=\"Script filter\"\n\n"
                           "[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\" + id + "\\InprocServer32]\n@=\"tqfilter-exec:"
                           + filter.toUtf8() + "\"\n";
    if (!writeFile(folder + QStringLiteral("/ifilters64.reg"), reg))
        return QString();
    return helper;
}

SessionUserScope::SessionUserScope(unsigned uid) : previous_(qgetenv("PKEXEC_UID"))
{
    qputenv("PKEXEC_UID", QByteArray::number(uid));
}

SessionUserScope::~SessionUserScope()
{
    if (previous_.isNull())
        qunsetenv("PKEXEC_UID");
    else
        qputenv("PKEXEC_UID", previous_);
}

} // namespace testutil
