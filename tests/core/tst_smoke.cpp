// Smoke program: brings up the pieces that exist and checks that they work together.
#include "core/FileSearchException.h"
#include "core/Logger.h"

#include <QTemporaryDir>
#include <QtTest>

class TestSmoke : public QObject
{
    Q_OBJECT

private slots:
    void logAndErrorsWork()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        Logger& log = Logger::instance(dir.path() + QStringLiteral("/Tallowquist Pro.log"));
        log.writeQString(Logger::Info, "smoke", QStringLiteral("Log file created."));
        QVERIFY(QFileInfo(log.filePath()).size() > 0);
        try {
            throw FileSearchCancelException("Canceled", QStringLiteral("smoke"), 1);
        } catch (const FileSearchCancelException& e) {
            QCOMPARE(QByteArray(e.what()), QByteArray("File: smoke, line: 1, Canceled"));
        }
    }
};

QTEST_GUILESS_MAIN(TestSmoke)
#include "tst_smoke.moc"
