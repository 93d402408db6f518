#include "search/model/FileSearchRequest.h"

#include <QCoreApplication>
#include <QMetaType>

namespace {

std::atomic<int> requestCounter{0};
std::atomic<int> matchesCounter{1000};

int syntaxKind(int syntax)
{
    if (syntax == FileSearchRequest::WholeWord)
        return 1;
    if (syntax == FileSearchRequest::Regex)
        return 2;
    return 0;
}

} // namespace

FileSearchRequest::FileSearchRequest()
    : id(requestCounter.fetch_add(1))
{
}

FileSearchRequest::FileSearchRequest(const FileSearchRequest& other)
    : id(other.id)
    , canceled(other.canceled.load())
    , fileName(other.fileName)
    , nameSyntax(other.nameSyntax)
    , nameCase(other.nameCase)
    , includePaths(other.includePaths)
    , includeSubfolders(other.includeSubfolders)
    , excludePaths(other.excludePaths)
    , contents(other.contents)
    , contentsSyntax(other.contentsSyntax)
    , contentsCase(other.contentsCase)
    , lineScope(other.lineScope)
    , minSize(other.minSize)
    , maxSize(other.maxSize)
    , minDate(other.minDate)
    , maxDate(other.maxDate)
    , countMatches(other.countMatches)
{
}

FileSearchRequest& FileSearchRequest::operator=(const FileSearchRequest& other)
{
    if (this == &other)
        return *this;
    id = other.id;
    canceled = other.canceled.load();
    fileName = other.fileName;
    nameSyntax = other.nameSyntax;
    nameCase = other.nameCase;
    includePaths = other.includePaths;
    includeSubfolders = other.includeSubfolders;
    excludePaths = other.excludePaths;
    contents = other.contents;
    contentsSyntax = other.contentsSyntax;
    contentsCase = other.contentsCase;
    lineScope = other.lineScope;
    minSize = other.minSize;
    maxSize = other.maxSize;
    minDate = other.minDate;
    maxDate = other.maxDate;
    countMatches = other.countMatches;
    return *this;
}

FileSearchRequest FileSearchRequest::cloneForMatches(const FileSearchRequest& request)
{
    // The copy constructor would draw nothing from the counters; the id is replaced here.
    FileSearchRequest copy(request);
    copy.id = matchesCounter.fetch_add(1);
    copy.canceled = false;
    return copy;
}

MatchOptions FileSearchRequest::matchOptions(bool forName) const
{
    MatchOptions options;
    const int syntax = forName ? nameSyntax : contentsSyntax;
    options.kind = syntaxKind(syntax);
    options.caseSensitive = forName ? nameCase : contentsCase;
    options.forName = forName;
    options.boolean = syntax == Boolean ? 1 : 0;
    options.fileScope = (!forName && !lineScope) ? 1 : 0;
    return options;
}

bool FileSearchRequest::isNameOnly() const
{
    return contents.isEmpty() && !minDate.isValid() && !maxDate.isValid() && minSize == -1
        && maxSize == -1;
}

QString FileSearchRequest::toString() const
{
    const QString separator = QStringLiteral(", ");
    return QStringLiteral("id=%1, includeName=%2, includePath=%3, excludePath=%4, includeText=%5")
        .arg(QString::number(id), fileName, includePaths.join(separator),
             excludePaths.join(separator), contents);
}

void FileSearchRequest::registerMetaType()
{
    static const int type = qRegisterMetaType<FileSearchRequest::Id>("FileSearchRequest::Id");
    Q_UNUSED(type);
}

static void registerRequestMetaType()
{
    FileSearchRequest::registerMetaType();
}
Q_COREAPP_STARTUP_FUNCTION(registerRequestMetaType)
