// TabsFile: the saved tabs, "tabs.xml" in the data folder.
//
//   <?xml version="1.0" encoding="UTF-8"?>
//   <tabs current_tab="1" version="1.0">
//       <tab>
//           <caseSensitiveNameCheckBox value="0"/>
//           <fileNameComboBox value="*.txt"/>
//           ...
//       </tab>
//   </tabs>
//
// One "tab" per saved tab in tab order; inside it one empty element per entry of the tab's form
// state (object name -> value, in the map's order), the value in the attribute "value".
//
// Decisions on this system:
// - The file is written by the checked save (UserFiles::saveFile: written, flushed, synced and
//   checked before it is renamed over the old one), so a kill or a full disk at any moment
//   leaves either the old file or the new one, complete, never a truncated one, and a save that
//   fails reports why and leaves the old file.
// - Characters XML 1.0 cannot hold (controls other than tab, line feed and carriage return,
//   lone surrogates, U+FFFE/U+FFFF) are dropped from names and values before writing, so one
//   pasted control character cannot spoil the whole file. An element name that is not a valid
//   XML name is not written (the form's object names always are).
// - Reading stops at the first error; the tabs read so far are kept. A file whose first
//   element is not "tabs" reads as no tab with current tab 0.
// - It is read and written through UserFiles: in a root instance as the session user, only as a
//   regular file, never through a link at its name.
#pragma once

#include "ui/search/FormState.h"

#include <QList>
#include <QMap>
#include <QString>

class QXmlStreamReader;
class QXmlStreamWriter;


struct SavedTabs
{
    int currentTab = 0;
    QList<FormStateMap> tabs;
};

namespace TabsFile {

// "tabs.xml" in `dataFolder`.
QString path(const QString& dataFolder);

// Writes the file; creates its folder when missing. False (and `error` says why) when nothing
// could be written; the old file is then untouched.
bool write(const QString& filePath, int currentTab, const QList<FormStateMap>& tabs, QString* error = nullptr);
// The document's bytes, as write() stores them.
QByteArray toXml(int currentTab, const QList<FormStateMap>& tabs);

// False when the file cannot be opened for reading.
bool read(const QString& filePath, SavedTabs& out);
SavedTabs fromXml(const QByteArray& bytes);

// One "tab" element (the writer is inside "tabs").
void writeTab(QXmlStreamWriter& writer, const FormStateMap& state);
// Reads from a reader positioned on a "tab" start element up to its end element, the end of the
// data or an error. Each child element is an entry (one without "value" gives an empty value);
// elements inside an entry are passed over, whatever their names.
FormStateMap readTab(QXmlStreamReader& reader);

// `text` without the characters XML cannot hold.
QString xmlSafe(const QString& text);
// Whether `name` can be written as an element name.
bool isXmlName(const QString& name);

} // namespace TabsFile
