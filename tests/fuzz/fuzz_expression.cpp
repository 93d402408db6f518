// Search patterns: the lexer, the Boolean and list grammars, wildcards, whole words and regular
// expressions, matched against names and lines (both the QString and the UTF-8 forms, which
// must agree), with and without collecting terms over a whole file.
#include "search/model/MatchOptions.h"
#include "search/model/SearchExpression.h"
#include "fuzzutil.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::setUp();
    if (size < 2)
        return 0;
    MatchOptions options;
    options.kind = data[0] % 3;
    options.caseSensitive = data[0] & 4;
    options.forName = data[0] & 8;
    options.boolean = (data[0] >> 4) & 1;
    options.fileScope = (data[0] >> 5) & 1;
    // The pattern, then "\n"-separated texts to match.
    const QByteArray rest = fuzz::bytesOf(data + 1, size - 1);
    const QList<QByteArray> parts = rest.split('\n');
    const QString pattern = QString::fromUtf8(parts.value(0)).left(200);
    SearchExpression expression(pattern, options);
    for (int i = 1; i < parts.size() && i < 16; ++i) {
        const QByteArray& utf8 = parts.at(i);
        const int byString = expression.match(QString::fromUtf8(utf8));
        if (!options.fileScope && options.kind != 2 && utf8.size() <= 1024
            && QString::fromUtf8(utf8).toUtf8() == utf8) {
            const int byBytes = expression.matchUtf8(utf8.constData(), utf8.size());
            if ((byString != 0) != (byBytes != 0))
                std::abort(); // the two forms of one verdict disagree
        }
    }
    expression.evaluate();
    return 0;
}
