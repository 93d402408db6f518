#include "search/model/TempFileHolder.h"

#include <QFile>

TempFileHolder::~TempFileHolder()
{
    if (removeFile && !path.isEmpty())
        QFile::remove(path); // failure ignored: the folder may already be gone
}
