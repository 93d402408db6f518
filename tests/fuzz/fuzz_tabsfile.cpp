// "tabs.xml" as anyone who can write the data folder may leave it: the saved tabs are read, then
// written and read again, which must give the same tabs (less the names the writer cannot
// write), so that what one run restores the next run restores too.
#include "ui/main/TabsFile.h"
#include "fuzzutil.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::setUp();
    const SavedTabs saved = TabsFile::fromXml(fuzz::bytesOf(data, size));

    QList<FormStateMap> expected;
    for (const FormStateMap& tab : saved.tabs) {
        FormStateMap kept;
        for (auto it = tab.constBegin(); it != tab.constEnd(); ++it) {
            const QString name = TabsFile::xmlSafe(it.key());
            if (TabsFile::isXmlName(name))
                kept.insert(name, TabsFile::xmlSafe(it.value()));
        }
        expected.append(kept);
    }
    const QByteArray written = TabsFile::toXml(saved.currentTab, saved.tabs);
    const SavedTabs again = TabsFile::fromXml(written);
    if (again.currentTab != saved.currentTab || again.tabs != expected) {
        std::fprintf(stderr, "tabs changed by a save and a load:\n%s\n", written.constData());
        std::abort();
    }
    return 0;
}
