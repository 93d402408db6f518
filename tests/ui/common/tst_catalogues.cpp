// The catalogues languages/*.ts against the sources: scripts/update-translations is run on a copy
// of them (lupdate reads every text the program shows), and then no catalogue may hold a text
// left untranslated, a text the sources no longer have, or a translation that drops or invents a
// placeholder (%1, %n: arg() and the plural count would put their values nowhere, or in the wrong
// place). Every language the menu offers has its catalogue.
#include "ui/main/MainWindow.h"
#include "testutil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct Message
{
    QString context;
    QString source;
    QString comment;
    QString type;             // the translation's type attribute: unfinished, vanished, obsolete or empty
    QStringList translations; // one, or one per plural form
    bool numerus = false;

    QString key() const { return context + QChar(0) + source + QChar(0) + comment; }
    QString label() const
    {
        return QStringLiteral("[%1] \"%2\"").arg(context, QString(source).replace(QLatin1Char('\n'), QLatin1String("\\n")));
    }
};

struct Catalogue
{
    QString error;
    QVector<Message> messages;
};

Message readMessage(QXmlStreamReader& xml, const QString& context)
{
    Message message;
    message.context = context;
    message.numerus = xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes");
    while (xml.readNextStartElement()) {
        const QStringRef part = xml.name();
        if (part == QLatin1String("source")) {
            message.source = xml.readElementText();
        } else if (part == QLatin1String("comment")) {
            message.comment = xml.readElementText();
        } else if (part == QLatin1String("translation")) {
            message.type = xml.attributes().value(QLatin1String("type")).toString();
            if (!message.numerus) {
                message.translations << xml.readElementText();
                continue;
            }
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("numerusform"))
                    message.translations << xml.readElementText();
                else
                    xml.skipCurrentElement();
            }
        } else {
            xml.skipCurrentElement();
        }
    }
    return message;
}

Catalogue readCatalogue(const QString& path)
{
    Catalogue catalogue;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        catalogue.error = file.errorString();
        return catalogue;
    }
    QXmlStreamReader xml(&file);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("TS")) {
        catalogue.error = QStringLiteral("not a catalogue");
        return catalogue;
    }
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("context")) {
            xml.skipCurrentElement();
            continue;
        }
        QString context;
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("name"))
                context = xml.readElementText();
            else if (xml.name() == QLatin1String("message"))
                catalogue.messages << readMessage(xml, context);
            else
                xml.skipCurrentElement();
        }
    }
    if (xml.hasError())
        catalogue.error = QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
    return catalogue;
}

// The placeholders a text holds: %1..%99 and %n, with or without the locale's L; each counted
// once, since a translation may well say a value twice or once where the source says it once.
QSet<QString> placeholdersOf(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("%L?([1-9][0-9]?|n)"));
    QSet<QString> found;
    auto it = pattern.globalMatch(text);
    while (it.hasNext())
        found.insert(QLatin1Char('%') + it.next().captured(1));
    return found;
}

QString joined(QStringList lines)
{
    const int total = lines.size();
    if (total > 60) {
        lines = lines.mid(0, 60);
        lines << QStringLiteral("... %1 more").arg(total - 60);
    }
    return QLatin1Char('\n') + lines.join(QLatin1Char('\n'));
}

} // namespace

class TestCatalogues : public QObject
{
    Q_OBJECT

    QString sourceFolder_ = QStringLiteral(TQ_SOURCE_DIR);
    QTemporaryDir copy_;
    QStringList names_;                 // catalogue file names
    QHash<QString, Catalogue> before_;  // as in the repository
    QHash<QString, Catalogue> after_;   // as scripts/update-translations leaves them
    QString updateFailure_;

private slots:
    void initTestCase()
    {
        const QDir languages(sourceFolder_ + QStringLiteral("/languages"));
        names_ = languages.entryList({QStringLiteral("*.ts")}, QDir::Files, QDir::Name);
        QVERIFY2(!names_.isEmpty(), qPrintable(languages.path() + QStringLiteral(" holds no catalogue")));
        QVERIFY(copy_.isValid());
        for (const QString& name : qAsConst(names_)) {
            before_.insert(name, readCatalogue(languages.filePath(name)));
            QVERIFY(QFile::copy(languages.filePath(name), copy_.filePath(name)));
        }

        if (QStandardPaths::findExecutable(QStringLiteral("lupdate")).isEmpty()
            && QStandardPaths::findExecutable(QStringLiteral("lupdate-qt5")).isEmpty()
            && !QFileInfo::exists(QStringLiteral("/usr/lib/qt5/bin/lupdate"))) {
            updateFailure_ = QStringLiteral("lupdate is not installed (package qttools5-dev-tools)");
            return;
        }
        QProcess update;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TQ_CATALOGUES"), copy_.path());
        update.setProcessEnvironment(environment);
        update.setProcessChannelMode(QProcess::MergedChannels);
        update.start(sourceFolder_ + QStringLiteral("/scripts/update-translations"), QStringList());
        if (!update.waitForFinished(300000) || update.exitStatus() != QProcess::NormalExit || update.exitCode() != 0) {
            updateFailure_ = QStringLiteral("scripts/update-translations failed: %1\n%2")
                                 .arg(update.errorString(), QString::fromLocal8Bit(update.readAll()));
            return;
        }
        for (const QString& name : qAsConst(names_))
            after_.insert(name, readCatalogue(copy_.filePath(name)));
    }

    void everyLanguageOfTheMenuHasItsCatalogue()
    {
        for (const QString& code : MainWindow::languageCodes())
            QVERIFY2(names_.contains(code + QStringLiteral(".ts")), qPrintable(code));
        for (const QString& name : qAsConst(names_)) {
            QVERIFY2(before_.value(name).error.isEmpty(), qPrintable(name + QStringLiteral(": ") + before_.value(name).error));
            QVERIFY2(!before_.value(name).messages.isEmpty(), qPrintable(name));
        }
    }

    // A text new in the sources comes in unfinished; one with an empty translation (or an empty
    // plural form) would show as the English text.
    void everyTextIsTranslated()
    {
        if (!updateFailure_.isEmpty())
            QFAIL(qPrintable(updateFailure_));
        QStringList faults;
        for (const QString& name : qAsConst(names_)) {
            const Catalogue& catalogue = after_.value(name);
            QVERIFY2(catalogue.error.isEmpty(), qPrintable(name + QStringLiteral(": ") + catalogue.error));
            for (const Message& message : catalogue.messages) {
                bool empty = message.translations.isEmpty();
                for (const QString& translation : message.translations)
                    empty = empty || translation.isEmpty();
                if (message.type == QLatin1String("unfinished") || empty)
                    faults << name + QStringLiteral(": untranslated ") + message.label();
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(joined(faults)));
    }

    // A text the sources no longer have is left in a catalogue as vanished or obsolete, or (by
    // the script, which keeps no obsolete text) dropped: either way the catalogue was not updated.
    void noCatalogueHoldsATextTheSourcesLack()
    {
        if (!updateFailure_.isEmpty())
            QFAIL(qPrintable(updateFailure_));
        QStringList faults;
        for (const QString& name : qAsConst(names_)) {
            QSet<QString> kept;
            for (const Message& message : after_.value(name).messages)
                kept.insert(message.key());
            for (const Message& message : before_.value(name).messages) {
                if (message.type == QLatin1String("vanished") || message.type == QLatin1String("obsolete"))
                    faults << name + QStringLiteral(": ") + message.type + QLatin1Char(' ') + message.label();
                else if (!kept.contains(message.key()))
                    faults << name + QStringLiteral(": no longer in the sources ") + message.label();
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(joined(faults)));
    }

    void translationsKeepThePlaceholders()
    {
        QStringList faults;
        for (const QString& name : qAsConst(names_)) {
            for (const Message& message : before_.value(name).messages) {
                if (message.type == QLatin1String("unfinished"))
                    continue;
                // A plural form may leave the count out where it serves only one count ("this
                // item"): pluralFormsSayTheCount checks the others.
                QSet<QString> wanted = placeholdersOf(message.source);
                if (message.numerus)
                    wanted.remove(QStringLiteral("%n"));
                for (const QString& translation : message.translations) {
                    QSet<QString> given = placeholdersOf(translation);
                    if (message.numerus)
                        given.remove(QStringLiteral("%n"));
                    if (given != wanted) {
                        QStringList missing = (wanted - given).values();
                        QStringList extra = (given - wanted).values();
                        missing.sort();
                        extra.sort();
                        faults << QStringLiteral("%1: %2 -> \"%3\"%4%5")
                                      .arg(name, message.label(), translation,
                                           missing.isEmpty() ? QString() : QStringLiteral(" lacks ") + missing.join(QLatin1Char(' ')),
                                           extra.isEmpty() ? QString() : QStringLiteral(" adds ") + extra.join(QLatin1Char(' ')));
                    }
                }
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(joined(faults)));
    }

    // Every plural text says its count, except the form for one item ("this item"): each
    // built catalogue is asked as the program asks it, for counts 2 to 200.
    void pluralFormsSayTheCount()
    {
        const QString folder = testutil::programDir() + QStringLiteral("/languages");
        QStringList faults;
        for (const QString& name : qAsConst(names_)) {
            const QString code = QFileInfo(name).completeBaseName();
            QTranslator translator;
            QVERIFY2(translator.load(code, folder), qPrintable(folder + QStringLiteral(": no catalogue ") + code));
            QVERIFY(QCoreApplication::installTranslator(&translator));
            for (const Message& message : before_.value(name).messages) {
                // A count that only chooses the words ("%1 (%2 bytes)") is not said by %n.
                if (!message.numerus || !placeholdersOf(message.source).contains(QStringLiteral("%n")))
                    continue;
                const QByteArray context = message.context.toUtf8();
                const QByteArray source = message.source.toUtf8();
                const QByteArray comment = message.comment.toUtf8();
                for (int n = 2; n <= 200; ++n) {
                    const QString shown = QCoreApplication::translate(context.constData(), source.constData(),
                                                                      comment.isEmpty() ? nullptr : comment.constData(), n);
                    if (!shown.contains(QString::number(n))) {
                        faults << name + QStringLiteral(": ") + message.label() + QStringLiteral(" for ")
                                      + QString::number(n) + QStringLiteral(" -> \"") + shown + QLatin1Char('"');
                        break;
                    }
                }
            }
            QCoreApplication::removeTranslator(&translator);
        }
        QVERIFY2(faults.isEmpty(), qPrintable(joined(faults)));
    }
};

QTEST_GUILESS_MAIN(TestCatalogues)
#include "tst_catalogues.moc"
