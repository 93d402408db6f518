// The list form of a file-name or contents expression, as the name and text list dialog shows
// it: one group of the expression per line, exclusions apart. It speaks the expression lexer's
// own list grammar (";" between groups, "!" before an exclusion, "\;" for a literal semicolon,
// "\!" for an inclusion that starts with "!"), so that a line holding ";" comes back as one
// literal group and never as a term with quotes in it. (Folder lists are different: the engine
// reads them in the quoted mask-list form, see MaskList.h.)
//
//     a b; x\;y; !tmp   <->   include "a b", "x;y"   exclude "tmp"
//
// Escapes other than "\;" and a leading "\!" are kept as written, so a line shows the group as
// the lexer reads it. Lines are trimmed; blank lines are dropped when joining.
#pragma once

#include <QString>
#include <QStringList>

// Splits `text` at every ";" not preceded by a backslash into its include and exclude groups.
void splitExpressionList(const QString& text, QStringList* includes, QStringList* excludes);

// Joins lines back into one expression: inclusions first, then exclusions, with ";".
QString joinExpressionList(const QStringList& includes, const QStringList& excludes);

// The entries of a list as join would write them: trimmed, blank ones left out.
QStringList normalizedExpressionList(const QStringList& lines);
