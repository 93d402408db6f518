#include "ui/main/TabsFile.h"

#include "core/UserFiles.h"
#include "core/FileNameCodec.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

bool isXmlChar(uint code)
{
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF)
        || (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

bool isNameStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char(':');
}

bool isNameChar(QChar c)
{
    return isNameStart(c) || c.isDigit() || c == QLatin1Char('-') || c == QLatin1Char('.') || c.isMark();
}

} // namespace

namespace TabsFile {

QString path(const QString& dataFolder)
{
    return dataFolder + QStringLiteral("/tabs.xml");
}

QString xmlSafe(const QString& text)
{
    QString clean;
    clean.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            clean += c;
            clean += text.at(++i);
            continue;
        }
        if (c.isSurrogate())
            continue;
        if (isXmlChar(c.unicode()))
            clean += c;
    }
    return clean;
}

bool isXmlName(const QString& name)
{
    if (name.isEmpty() || !isNameStart(name.at(0)))
        return false;
    for (const QChar c : name)
        if (!isNameChar(c))
            return false;
    return true;
}

void writeTab(QXmlStreamWriter& writer, const FormStateMap& state)
{
    writer.writeStartElement(QStringLiteral("tab"));
    for (auto it = state.constBegin(); it != state.constEnd(); ++it) {
        const QString name = xmlSafe(it.key());
        if (!isXmlName(name))
            continue;
        writer.writeEmptyElement(name);
        writer.writeAttribute(QStringLiteral("value"), xmlSafe(it.value()));
    }
    writer.writeEndElement();
}

FormStateMap readTab(QXmlStreamReader& reader)
{
    FormStateMap state;
    // Entries are the tab's own children; what lies inside an entry is passed over, so that an
    // element named "tab" within an entry neither becomes an entry nor ends the tab early.
    int depth = 0;
    while (!reader.atEnd() && !reader.hasError()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::Invalid)
            break;
        if (token == QXmlStreamReader::StartElement) {
            if (depth == 0)
                state.insert(reader.name().toString(), reader.attributes().value(QLatin1String("value")).toString());
            ++depth;
        } else if (token == QXmlStreamReader::EndElement) {
            if (depth == 0)
                break; // the tab's own end
            --depth;
        }
    }
    return state;
}

QByteArray toXml(int currentTab, const QList<FormStateMap>& tabs)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter writer(&buffer);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeStartElement(QStringLiteral("tabs"));
    writer.writeAttribute(QStringLiteral("current_tab"), QString::number(currentTab));
    writer.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
    for (const FormStateMap& tab : tabs)
        writeTab(writer, tab);
    writer.writeEndElement();
    writer.writeEndDocument();
    return bytes;
}

bool write(const QString& filePath, int currentTab, const QList<FormStateMap>& tabs, QString* error)
{
    return UserFiles::saveFile(filePath, toXml(currentTab, tabs), error) == SaveResult::Saved;
}

SavedTabs fromXml(const QByteArray& bytes)
{
    SavedTabs saved;
    QXmlStreamReader reader(bytes);
    // A reader error ends every loop: asked again, the reader may report it again for ever.
    while (!reader.atEnd() && !reader.hasError() && reader.readNext() != QXmlStreamReader::StartElement) {
    }
    if (reader.tokenType() != QXmlStreamReader::StartElement || reader.name() != QLatin1String("tabs"))
        return saved;
    saved.currentTab = reader.attributes().value(QLatin1String("current_tab")).toInt();
    while (!reader.atEnd() && !reader.hasError()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::Invalid)
            break;
        if (token == QXmlStreamReader::StartElement && reader.name() == QLatin1String("tab"))
            saved.tabs.append(readTab(reader));
    }
    return saved;
}

bool read(const QString& filePath, SavedTabs& out)
{
    // The file is a few kilobytes; a huge one is not ours and is read only in part.
    QByteArray bytes;
    if (!UserFiles::readFile(filePath, 16 * 1024 * 1024, &bytes))
        return false;
    out = fromXml(bytes);
    return true;
}

} // namespace TabsFile
