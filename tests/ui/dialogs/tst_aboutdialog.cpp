// The dialog header paints its image and white texts on the dark banner; the About dialog shows
// the product and version and the shipped credits file through the prompter.
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/DialogHeader.h"

#include "tests/ui/uitestutil.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QImage render(QWidget* widget)
{
    QImage image(widget->size(), QImage::Format_ARGB32);
    image.fill(Qt::magenta);
    widget->render(&image);
    return image;
}

// Pixels close to white: only the painted texts are this light on the banner.
int whitePixels(const QImage& image, const QRect& area)
{
    int count = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qRed(p) > 225 && qGreen(p) > 225 && qBlue(p) > 225)
                ++count;
        }
    return count;
}

QImage solidImage(int size, QColor color)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

} // namespace

class TestAboutDialog : public QObject
{
    Q_OBJECT

private slots:
    void headerBackgroundIsDarkAndEmptyHeaderPaintsNoText()
    {
        DialogHeader header;
        header.resize(420, 90);
        QVERIFY(header.minimumHeight() >= 90);
        const QImage image = render(&header);
        // The banner is drawn (no magenta left) and dark enough for white text.
        qint64 sum = 0;
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 420; ++x) {
                const QRgb p = image.pixel(x, y);
                QVERIFY(p != QColor(Qt::magenta).rgb());
                sum += qGray(p);
            }
        QVERIFY2(sum / (80 * 420) < 90, "the header background must be dark");
        QCOMPARE(whitePixels(image, image.rect()), 0);

        // Nothing but the image differs once an image is set: it sits at (6, 6).
        header.setImage(solidImage(20, Qt::red));
        const QImage withImage = render(&header);
        for (int y = 0; y < 90; ++y)
            for (int x = 0; x < 420; ++x) {
                const bool inImage = QRect(6, 6, 20, 20).contains(x, y);
                if (inImage)
                    QCOMPARE(QColor(withImage.pixel(x, y)), QColor(Qt::red));
                else
                    QCOMPARE(withImage.pixel(x, y), image.pixel(x, y));
            }
    }

    void titleAndDescriptionAreWhiteAndTheDescriptionIsCut()
    {
        DialogHeader header;
        header.resize(300, 90);
        QString description;
        for (int i = 0; i < 60; ++i)
            description += QStringLiteral("wrapped words ");
        header.setTexts(QStringLiteral("Select folders"), description);
        QCOMPARE(header.title(), QStringLiteral("Select folders"));
        const QImage image = render(&header);
        QVERIFY(whitePixels(image, QRect(10, 0, 200, 22)) > 20);  // the title
        QVERIFY(whitePixels(image, QRect(10, 25, 280, 54)) > 100); // several description lines
        QVERIFY(whitePixels(image, QRect(10, 60, 280, 19)) > 10);  // wrapped down to the last line
        QCOMPARE(whitePixels(image, QRect(0, 79, 300, 11)), 0);    // nothing below the rectangle
        QCOMPARE(whitePixels(image, QRect(290, 25, 10, 54)), 0);   // nor right of it
    }

    void aboutShowsProductVersionAndBuild()
    {
        uitest::ScriptedPrompter prompter;
        AboutDialog dialog(&prompter);
        QCOMPARE(dialog.objectName(), QStringLiteral("AboutDialog"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("About"));
        QVERIFY(!(dialog.windowFlags() & Qt::WindowContextHelpButtonHint));
        QVERIFY(dialog.isModal());
        auto* version = dialog.findChild<QLabel*>(QStringLiteral("versionLabel"));
        QVERIFY(version);
        QCOMPARE(version->text(), QStringLiteral("<b>Tallowquist Pro 1.4</b>"));
        auto* label = dialog.findChild<QLabel*>(QStringLiteral("label"));
        QVERIFY(label->text().contains(QString::fromLatin1(qVersion())));
        auto* header = dialog.findChild<DialogHeader*>(QStringLiteral("header"));
        QVERIFY(header);
        QVERIFY(!header->image().isNull());
        QVERIFY(header->image().width() <= 78 && header->image().height() <= 78);
        QVERIFY(header->title().isEmpty() && header->description().isEmpty());
        QVERIFY(!dialog.windowIcon().isNull());
    }

    void creditsComeFromTheProgramFolder()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("Credits.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("Qt \xc3\xa9t\xc3\xa9\n") + QByteArray(1, '\0') + QByteArray("hidden"));
        file.close();

        uitest::ScriptedPrompter prompter;
        AboutDialog dialog(&prompter, nullptr, dir.path());
        dialog.findChild<QPushButton*>(QStringLiteral("creditsButton"))->click();
        QCOMPARE(prompter.kinds(), QStringList{QStringLiteral("information")});
        QCOMPARE(prompter.asked.at(0).title, QStringLiteral("Credits"));
        QCOMPARE(prompter.asked.at(0).text, QString::fromUtf8("Qt \xc3\xa9t\xc3\xa9\n"));
    }

    void missingCreditsShowAnEmptyBox()
    {
        QTemporaryDir dir;
        uitest::ScriptedPrompter prompter;
        AboutDialog dialog(&prompter, nullptr, dir.path());
        dialog.showCredits();
        QCOMPARE(prompter.asked.size(), 1);
        QCOMPARE(prompter.asked.at(0).title, QStringLiteral("Credits"));
        QVERIFY(prompter.asked.at(0).text.isEmpty());
    }

    void theBuildShipsCreditsBesideTheProgram()
    {
        const QString programDir = qEnvironmentVariable("TQ_PROGRAM_DIR");
        if (programDir.isEmpty())
            QSKIP("TQ_PROGRAM_DIR is set by CTest");
        const QString text = AboutDialog::readCredits(programDir + QStringLiteral("/Credits.txt"));
        for (const char* name : {"Qt", "QuaZip", "pdftotext", "uchardet"})
            QVERIFY2(text.contains(QLatin1String(name)), name);
    }

    // The text follows the header closely (no empty band above it) and the dialog is as tall
    // as what it shows, the header keeping the width its picture needs.
    void theTextFollowsTheHeader()
    {
        uitest::ScriptedPrompter prompter;
        AboutDialog dialog(&prompter);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* header = dialog.findChild<DialogHeader*>(QStringLiteral("header"));
        auto* version = dialog.findChild<QLabel*>(QStringLiteral("versionLabel"));
        auto* close = dialog.findChild<QPushButton*>(QStringLiteral("closeButton"));
        const int gap = version->mapTo(&dialog, QPoint(0, 0)).y() - (header->y() + header->height());
        QVERIFY2(gap <= 24, qPrintable(QString::number(gap)));
        QVERIFY2(dialog.height() - (close->mapTo(&dialog, QPoint(0, 0)).y() + close->height()) <= 12,
                 qPrintable(QString::number(dialog.height())));
        QVERIFY(header->width() >= 363);
    }

    void closeButtonClosesTheDialog()
    {
        uitest::ScriptedPrompter prompter;
        AboutDialog dialog(&prompter);
        dialog.show();
        QVERIFY(dialog.isVisible());
        dialog.findChild<QPushButton*>(QStringLiteral("closeButton"))->click();
        QVERIFY(!dialog.isVisible());
        QVERIFY(prompter.asked.isEmpty());
    }
};

QTEST_MAIN(TestAboutDialog)
#include "tst_aboutdialog.moc"
