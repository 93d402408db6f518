#include "testaccount.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <pwd.h>
#include <unistd.h>

namespace {

const QString kComment = QStringLiteral("Tallowquist Pro test %1");

// Runs an account tool, trying again while another one holds the account files' locks.
int runTool(const QString& tool, const QStringList& arguments)
{
    int code = -1;
    for (int attempt = 0; attempt < 50; ++attempt) {
        code = QProcess::execute(tool, arguments);
        if (code == 0 || code == 9) // 9: the name is taken
            return code;
        QThread::msleep(100); // a pause before trying again: nothing tells when the locks are free
    }
    return code;
}

QString userdel()
{
    const QString found = QStandardPaths::findExecutable(QStringLiteral("userdel"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    return found.isEmpty() ? QStringLiteral("userdel") : found;
}

// Removes the accounts of test programs that are gone.
void removeLeftovers()
{
    const QList<QByteArray> lines = [] {
        QFile passwd(QStringLiteral("/etc/passwd"));
        return passwd.open(QIODevice::ReadOnly) ? passwd.readAll().split('\n') : QList<QByteArray>();
    }();
    for (const QByteArray& line : lines) {
        const QList<QByteArray> fields = line.split(':');
        if (fields.size() < 5 || !fields.at(0).startsWith("tqtest"))
            continue;
        const QString comment = QString::fromUtf8(fields.at(4));
        if (!comment.startsWith(kComment.arg(QString())))
            continue;
        const pid_t maker = pid_t(comment.mid(kComment.arg(QString()).size()).toLongLong());
        if (maker > 0 && (::kill(maker, 0) == 0 || errno != ESRCH))
            continue;
        runTool(userdel(), {QString::fromUtf8(fields.at(0))});
    }
}

} // namespace

TestAccount::TestAccount(const QString& home)
{
    static std::atomic<int> counter{0};
    if (::geteuid() != 0) {
        why_ = QStringLiteral("needs root to make an account");
        return;
    }
    const QString useradd = QStandardPaths::findExecutable(QStringLiteral("useradd"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    if (useradd.isEmpty()) {
        why_ = QStringLiteral("useradd is not installed");
        return;
    }
    removeLeftovers();
    name_ = QStringLiteral("tqtest%1x%2").arg(::getpid()).arg(++counter);
    const int code = runTool(useradd, {QStringLiteral("--no-create-home"), QStringLiteral("--home-dir"), home,
                                       QStringLiteral("--shell"), QStringLiteral("/usr/sbin/nologin"),
                                       QStringLiteral("--user-group"), QStringLiteral("--comment"),
                                       kComment.arg(::getpid()), name_});
    const struct passwd* entry = code == 0 ? ::getpwnam(name_.toUtf8().constData()) : nullptr;
    if (!entry) {
        why_ = QStringLiteral("useradd failed (exit code %1)").arg(code);
        return;
    }
    uid_ = entry->pw_uid;
    gid_ = entry->pw_gid;
    valid_ = true;
}

TestAccount::~TestAccount()
{
    if (valid_)
        runTool(userdel(), {name_});
}
