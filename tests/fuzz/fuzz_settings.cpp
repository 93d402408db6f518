// settings.ini as the user (or anyone who can write the file) left it: every record and value
// the program reads from it.
#include "core/Settings.h"
#include "fuzzutil.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::setUp();
    const QString path = fuzz::scratch() + QStringLiteral("/settings.ini");
    if (!fuzz::writeFile(path, fuzz::bytesOf(data, size)))
        return 0;
    Settings* s = Settings::instanceWithFile(path);
    for (int id = 0; id <= Settings::DebugAssertLogging; ++id)
        s->value(id);
    s->excludePaths();
    s->fileCategories();
    s->fileColumns();
    s->fileColumnTypes();
    s->fileColumnWidths();
    s->disabledExtensions();
    s->disabledExtensions64();
    s->disabledFilters();
    s->contentSearchOptions();
    s->indexOptions();
    Settings::destroyInstance();
    return 0;
}
