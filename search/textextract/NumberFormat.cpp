#include "search/textextract/NumberFormat.h"

#include <QDate>
#include <QStringList>

#include <cmath>

namespace {

// What one cell's text may grow to through its format (a format of ten thousand zeros or
// quoted texts must not make every cell that long).
constexpr int kMaxOutput = 1024;
constexpr int kMaxDecimals = 30;

const char* const kMonths[] = {"January", "February", "March", "April", "May", "June", "July",
                               "August", "September", "October", "November", "December"};
const char* const kDays[] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};

// One section of a format split into its pieces.
QStringList sections(const QString& f)
{
    QStringList out;
    QString cur;
    bool quoted = false;
    for (int i = 0; i < f.size(); ++i) {
        const QChar c = f.at(i);
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
        } else if (!quoted && c == QLatin1Char('\\') && i + 1 < f.size()) {
            cur.append(c);
            cur.append(f.at(++i));
            continue;
        } else if (!quoted && c == QLatin1Char(';')) {
            out << cur;
            cur.clear();
            continue;
        }
        cur.append(c);
    }
    out << cur;
    return out;
}

// The pieces of a format that stand for themselves: quoted text, "\\x", "_x" (the width of x:
// a blank) and "*x" (a fill: nothing). Consumes the one at s[i] (i is left on its last
// character) and appends its text to *out; false when s[i] starts none.
bool literal(const QString& s, int& i, bool& quoted, QString* out)
{
    const QChar c = s.at(i);
    if (c == QLatin1Char('"')) {
        quoted = !quoted;
    } else if (quoted) {
        out->append(c);
    } else if (c == QLatin1Char('\\') && i + 1 < s.size()) {
        out->append(s.at(++i));
    } else if (c == QLatin1Char('_')) {
        ++i;
        out->append(QLatin1Char(' '));
    } else if (c == QLatin1Char('*')) {
        ++i;
    } else {
        return false;
    }
    return true;
}

bool isDateFormat(const QString& s)
{
    bool quoted = false;
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            continue;
        }
        if (quoted)
            continue;
        if (c == QLatin1Char('\\') || c == QLatin1Char('_') || c == QLatin1Char('*')) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('[')) {
            const int close = s.indexOf(QLatin1Char(']'), i);
            if (close < 0)
                break;
            const QString inside = s.mid(i + 1, close - i - 1).toLower();
            if (inside == QLatin1String("h") || inside == QLatin1String("hh") || inside == QLatin1String("m")
                || inside == QLatin1String("mm") || inside == QLatin1String("s") || inside == QLatin1String("ss"))
                return true;
            i = close;
            continue;
        }
        const QChar l = c.toLower();
        if (l == QLatin1Char('y') || l == QLatin1Char('m') || l == QLatin1Char('d') || l == QLatin1Char('h')
            || l == QLatin1Char('s'))
            return true;
        if (s.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString twoDigits(int v)
{
    return QString::number(v).rightJustified(2, QLatin1Char('0'));
}

// A bracket's text: the symbol of "[$sym-lcid]", nothing for colours and conditions.
QString bracketText(const QString& inside)
{
    if (inside.startsWith(QLatin1Char('$'))) {
        const int dash = inside.indexOf(QLatin1Char('-'));
        return inside.mid(1, dash < 0 ? -1 : dash - 1);
    }
    return QString();
}

bool formatDate(double value, const QString& s, bool date1904, QString* out)
{
    if (value < 0 || value > 2958465.0)
        return false;
    double days = std::floor(value);
    double fraction = value - days;
    // Rounded to the hundredth of a second the format may show, then split.
    qint64 centis = qint64(std::llround(fraction * 8640000.0));
    if (centis >= 8640000) {
        centis -= 8640000;
        days += 1;
    }
    QDate date;
    if (date1904) {
        date = QDate(1904, 1, 1).addDays(qint64(days));
    } else if (days == 60) {
        date = QDate(1900, 2, 28); // the format's 29 February 1900, a day that never was
    } else {
        date = days < 60 ? QDate(1899, 12, 31).addDays(qint64(days)) : QDate(1899, 12, 30).addDays(qint64(days));
    }
    if (!date.isValid() || date.year() > 9999)
        return false;
    const int hour = int(centis / 360000);
    const int minute = int(centis / 6000 % 60);
    const int second = int(centis / 100 % 60);
    const int hundredths = int(centis % 100);
    const bool ampm = s.contains(QLatin1String("AM/PM"), Qt::CaseInsensitive)
                      || s.contains(QLatin1String("A/P"), Qt::CaseInsensitive);

    QString r;
    bool quoted = false;
    bool lastWasHour = false;
    for (int i = 0; i < s.size() && r.size() < kMaxOutput; ++i) {
        if (literal(s, i, quoted, &r))
            continue;
        const QChar c = s.at(i);
        if (c == QLatin1Char('[')) {
            const int close = s.indexOf(QLatin1Char(']'), i);
            if (close < 0)
                break;
            const QString inside = s.mid(i + 1, close - i - 1).toLower();
            const qint64 totalSeconds = qint64(days) * 86400 + centis / 100;
            if (inside.startsWith(QLatin1Char('h'))) {
                r.append(QString::number(totalSeconds / 3600));
                lastWasHour = true;
            } else if (inside.startsWith(QLatin1Char('m'))) {
                r.append(QString::number(totalSeconds / 60));
            } else if (inside.startsWith(QLatin1Char('s'))) {
                r.append(QString::number(totalSeconds));
            } else {
                r.append(bracketText(s.mid(i + 1, close - i - 1)));
            }
            i = close;
            continue;
        }
        if (s.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0) {
            r.append(hour < 12 ? QLatin1String("AM") : QLatin1String("PM"));
            i += 4;
            continue;
        }
        if (s.mid(i, 3).compare(QLatin1String("A/P"), Qt::CaseInsensitive) == 0) {
            r.append(hour < 12 ? QLatin1Char('A') : QLatin1Char('P'));
            i += 2;
            continue;
        }
        const QChar l = c.toLower();
        int run = 1;
        while (i + run < s.size() && s.at(i + run).toLower() == l)
            ++run;
        if (l == QLatin1Char('y')) {
            r.append(run <= 2 ? twoDigits(date.year() % 100) : QString::number(date.year()));
        } else if (l == QLatin1Char('d')) {
            if (run == 1)
                r.append(QString::number(date.day()));
            else if (run == 2)
                r.append(twoDigits(date.day()));
            else if (run == 3)
                r.append(QLatin1String(kDays[date.dayOfWeek() - 1]).left(3));
            else
                r.append(QLatin1String(kDays[date.dayOfWeek() - 1]));
        } else if (l == QLatin1Char('h')) {
            int h = hour;
            if (ampm) {
                h = hour % 12;
                if (h == 0)
                    h = 12;
            }
            r.append(run == 1 ? QString::number(h) : twoDigits(h));
            lastWasHour = true;
            i += run - 1;
            continue;
        } else if (l == QLatin1Char('m')) {
            // A minute right after an hour or right before a second, else a month.
            int next = i + run;
            while (next < s.size() && !s.at(next).isLetter())
                ++next;
            const bool minuteNext = next < s.size() && s.at(next).toLower() == QLatin1Char('s');
            if ((lastWasHour || minuteNext) && run <= 2) {
                r.append(run == 1 ? QString::number(minute) : twoDigits(minute));
            } else if (run == 1) {
                r.append(QString::number(date.month()));
            } else if (run == 2) {
                r.append(twoDigits(date.month()));
            } else if (run == 3) {
                r.append(QLatin1String(kMonths[date.month() - 1]).left(3));
            } else if (run == 5) {
                r.append(QLatin1String(kMonths[date.month() - 1]).left(1));
            } else {
                r.append(QLatin1String(kMonths[date.month() - 1]));
            }
        } else if (l == QLatin1Char('s')) {
            r.append(run == 1 ? QString::number(second) : twoDigits(second));
            // Fractions of a second: ".0", ".00".
            if (i + run < s.size() && s.at(i + run) == QLatin1Char('.')) {
                int zeros = 0;
                while (i + run + 1 + zeros < s.size() && s.at(i + run + 1 + zeros) == QLatin1Char('0'))
                    ++zeros;
                if (zeros > 0) {
                    r.append(QLatin1Char('.'));
                    r.append(twoDigits(hundredths).left(qMin(zeros, 2)));
                    i += 1 + zeros;
                }
            }
        } else if (l == QLatin1Char('e') || l == QLatin1Char('g') || l == QLatin1Char('b')) {
            // Era years and Buddhist years are not shown differently here.
            r.append(QString::number(date.year()));
        } else {
            r.append(QString(run, c));
        }
        if (c.isLetter())
            lastWasHour = false; // a separator between hour and minute keeps it
        i += run - 1;
    }
    *out = r.left(kMaxOutput);
    return true;
}

QString groupThousands(const QString& digits)
{
    QString r;
    const int n = digits.size();
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            r.append(QLatin1Char(','));
        r.append(digits.at(i));
    }
    return r;
}

QString formatNumber(double value, const QString& s)
{
    // The placeholders of the number: the first run of 0 # ? , . (and an exponent).
    int intZeros = 0, decZeros = 0, decOptional = 0;
    bool inDecimals = false, thousands = false, percent = false, exponent = false;
    int expDigits = 0;
    bool expPlus = false;
    int scale = 0; // commas right after the last digit: divide by 1000 each
    QString prefix, suffix;
    bool numberSeen = false, numberDone = false, quoted = false;
    QString* text = &prefix;
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        // The number ends at the first character that is no part of it.
        if (numberSeen && !numberDone && !quoted
            && !(c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char('?') || c == QLatin1Char(',')
                 || c == QLatin1Char('.') || c == QLatin1Char('E') || c == QLatin1Char('e'))) {
            numberDone = true;
            text = &suffix;
        }
        if (literal(s, i, quoted, text))
            continue;
        if (c == QLatin1Char('[')) {
            const int close = s.indexOf(QLatin1Char(']'), i);
            if (close < 0)
                break;
            text->append(bracketText(s.mid(i + 1, close - i - 1)));
            i = close;
            continue;
        }
        const bool digit = c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char('?');
        if (!numberDone && (digit || (numberSeen && (c == QLatin1Char(',') || c == QLatin1Char('.')))
                            || (!numberSeen && c == QLatin1Char('.')))) {
            numberSeen = true;
            if (c == QLatin1Char('.')) {
                inDecimals = true;
            } else if (c == QLatin1Char(',')) {
                // A comma between digits groups thousands; after the last digit it scales.
                int j = i + 1;
                while (j < s.size() && s.at(j) == QLatin1Char(','))
                    ++j;
                const bool digitFollows = j < s.size() && (s.at(j) == QLatin1Char('0') || s.at(j) == QLatin1Char('#')
                                                           || s.at(j) == QLatin1Char('?'));
                if (digitFollows && !inDecimals)
                    thousands = true;
                else if (!digitFollows)
                    scale += j - i;
                i = j - 1;
            } else if (inDecimals) {
                if (c == QLatin1Char('0'))
                    ++decZeros;
                else
                    ++decOptional;
            } else if (c == QLatin1Char('0')) {
                ++intZeros;
            }
            continue;
        }
        if (numberSeen && !numberDone && (c == QLatin1Char('E') || c == QLatin1Char('e')) && i + 1 < s.size()
            && (s.at(i + 1) == QLatin1Char('+') || s.at(i + 1) == QLatin1Char('-'))) {
            exponent = true;
            expPlus = s.at(i + 1) == QLatin1Char('+');
            i += 2;
            while (i < s.size() && (s.at(i) == QLatin1Char('0') || s.at(i) == QLatin1Char('#'))) {
                ++expDigits;
                ++i;
            }
            --i;
            numberDone = true;
            text = &suffix;
            continue;
        }
        if (numberSeen && !numberDone) {
            numberDone = true;
            text = &suffix;
        }
        if (c == QLatin1Char('%'))
            percent = true;
        if (c == QLatin1Char('/'))
            return QString(); // a fraction: shown the general way by the caller
        text->append(c);
    }
    if (!numberSeen)
        return prefix + suffix; // a section of text alone (a zero shown as "-")

    double v = std::fabs(value);
    if (percent)
        v *= 100.0;
    for (int k = 0; k < scale && k < 4; ++k)
        v /= 1000.0;
    const int decimals = qMin(decZeros + decOptional, kMaxDecimals);
    intZeros = qMin(intZeros, 64);
    QString number;
    if (exponent) {
        int e = v == 0 ? 0 : int(std::floor(std::log10(v)));
        double mantissa = v == 0 ? 0 : v / std::pow(10.0, e);
        QString m = QString::number(mantissa, 'f', decimals);
        if (m.startsWith(QLatin1String("10"))) { // rounding carried into the next power
            ++e;
            m = QString::number(mantissa / 10.0, 'f', decimals);
        }
        number = m + QLatin1Char('E') + (e < 0 ? QLatin1String("-") : expPlus ? QLatin1String("+") : QLatin1String(""))
                 + QString::number(std::abs(e)).rightJustified(qBound(1, expDigits, 4), QLatin1Char('0'));
    } else {
        if (v >= 1e21)
            return NumberFormat::general(value);
        QString fixed = QString::number(v, 'f', decimals);
        QString intPart = fixed.section(QLatin1Char('.'), 0, 0);
        QString decPart = decimals > 0 ? fixed.section(QLatin1Char('.'), 1, 1) : QString();
        // Optional decimals (#) drop their trailing zeros.
        int keep = decPart.size();
        while (keep > decZeros && decPart.at(keep - 1) == QLatin1Char('0'))
            --keep;
        decPart.truncate(keep);
        if (intPart == QLatin1String("0") && intZeros == 0)
            intPart.clear();
        while (intPart.size() < intZeros)
            intPart.prepend(QLatin1Char('0'));
        if (thousands)
            intPart = groupThousands(intPart);
        number = intPart;
        if (!decPart.isEmpty() || decZeros > 0 || (inDecimals && decOptional == 0))
            number += QLatin1Char('.') + decPart;
        if (number.endsWith(QLatin1Char('.')) && decPart.isEmpty())
            number.chop(1);
        if (number.isEmpty())
            number = QStringLiteral("0");
    }
    return (prefix + number + suffix).left(kMaxOutput);
}

} // namespace

namespace NumberFormat {

QString builtIn(int id)
{
    switch (id) {
    case 0: return QStringLiteral("General");
    case 1: return QStringLiteral("0");
    case 2: return QStringLiteral("0.00");
    case 3: return QStringLiteral("#,##0");
    case 4: return QStringLiteral("#,##0.00");
    case 5: return QStringLiteral("\"$\"#,##0_);\\(\"$\"#,##0\\)");
    case 6: return QStringLiteral("\"$\"#,##0_);[Red]\\(\"$\"#,##0\\)");
    case 7: return QStringLiteral("\"$\"#,##0.00_);\\(\"$\"#,##0.00\\)");
    case 8: return QStringLiteral("\"$\"#,##0.00_);[Red]\\(\"$\"#,##0.00\\)");
    case 9: return QStringLiteral("0%");
    case 10: return QStringLiteral("0.00%");
    case 11: return QStringLiteral("0.00E+00");
    case 12: return QStringLiteral("# ?/?");
    case 13: return QStringLiteral("# ?" "?/?" "?");
    case 14: return QStringLiteral("m/d/yyyy");
    case 15: return QStringLiteral("d-mmm-yy");
    case 16: return QStringLiteral("d-mmm");
    case 17: return QStringLiteral("mmm-yy");
    case 18: return QStringLiteral("h:mm AM/PM");
    case 19: return QStringLiteral("h:mm:ss AM/PM");
    case 20: return QStringLiteral("h:mm");
    case 21: return QStringLiteral("h:mm:ss");
    case 22: return QStringLiteral("m/d/yyyy h:mm");
    case 37: return QStringLiteral("#,##0_);\\(#,##0\\)");
    case 38: return QStringLiteral("#,##0_);[Red]\\(#,##0\\)");
    case 39: return QStringLiteral("#,##0.00_);\\(#,##0.00\\)");
    case 40: return QStringLiteral("#,##0.00_);[Red]\\(#,##0.00\\)");
    case 41: return QStringLiteral("_(* #,##0_);_(* \\(#,##0\\);_(* \"-\"_);_(@_)");
    case 42: return QStringLiteral("_(\"$\"* #,##0_);_(\"$\"* \\(#,##0\\);_(\"$\"* \"-\"_);_(@_)");
    case 43: return QStringLiteral("_(* #,##0.00_);_(* \\(#,##0.00\\);_(* \"-\"??_);_(@_)");
    case 44: return QStringLiteral("_(\"$\"* #,##0.00_);_(\"$\"* \\(#,##0.00\\);_(\"$\"* \"-\"??_);_(@_)");
    case 45: return QStringLiteral("mm:ss");
    case 46: return QStringLiteral("[h]:mm:ss");
    case 47: return QStringLiteral("mm:ss.0");
    case 48: return QStringLiteral("##0.0E+0");
    case 49: return QStringLiteral("@");
    default: return QString();
    }
}

QString general(double value)
{
    if (std::isnan(value) || std::isinf(value))
        return QStringLiteral("#NUM!");
    if (value == std::floor(value) && std::fabs(value) < 1e11)
        return QString::number(qint64(value));
    QString r = QString::number(value, 'g', 10);
    const int e = r.indexOf(QLatin1Char('e'));
    if (e >= 0) {
        // 1.5e+20 is shown as 1.5E+20.
        QString exp = r.mid(e + 1);
        const QChar sign = exp.at(0) == QLatin1Char('-') ? QLatin1Char('-') : QLatin1Char('+');
        if (exp.at(0) == QLatin1Char('-') || exp.at(0) == QLatin1Char('+'))
            exp.remove(0, 1);
        r = r.left(e) + QLatin1Char('E') + sign + exp.rightJustified(2, QLatin1Char('0'));
    }
    return r;
}

QString format(double value, const QString& formatText, bool date1904)
{
    if (std::isnan(value) || std::isinf(value))
        return general(value);
    const QString f = formatText.trimmed();
    if (f.isEmpty() || f.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0 || f == QLatin1String("@"))
        return general(value);
    const QStringList parts = sections(f);
    QString section;
    bool negativeSection = false;
    if (parts.size() >= 3 && value == 0) {
        section = parts.at(2);
    } else if (parts.size() >= 2 && value < 0) {
        section = parts.at(1);
        negativeSection = true;
    } else {
        section = parts.at(0);
    }
    if (section.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0 || section == QLatin1String("@"))
        return general(negativeSection ? -value : value);
    QString out;
    if (isDateFormat(section)) {
        if (formatDate(value, section, date1904, &out))
            return out;
        return general(value);
    }
    out = formatNumber(value, section);
    if (out.isNull())
        return general(value);
    // One section for all: a negative number keeps its sign.
    if (value < 0 && !negativeSection) {
        for (QChar c : out) {
            if (c >= QLatin1Char('1') && c <= QLatin1Char('9')) {
                out.prepend(QLatin1Char('-'));
                break;
            }
        }
    }
    return out;
}

QString headerFooterText(const QString& codes)
{
    QString parts[3]; // left, centre, right
    int part = 1;     // text before any section code is centred
    const int n = codes.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = codes.at(i);
        if (c != QLatin1Char('&')) {
            parts[part].append(c);
            continue;
        }
        if (++i >= n)
            break;
        const QChar code = codes.at(i);
        switch (code.toUpper().unicode()) {
        case '&':
            parts[part].append(code);
            break;
        case 'L':
            part = 0;
            break;
        case 'C':
            part = 1;
            break;
        case 'R':
            part = 2;
            break;
        case '"': { // a font name and style, up to the closing quote
            const int close = codes.indexOf(QLatin1Char('"'), i + 1);
            i = close < 0 ? n : close;
            break;
        }
        case 'K': // a colour: six hex digits, or a theme colour and a tint ("01+050")
            i += 6;
            break;
        default:
            // A font size: its digits; any other code is one letter (a switch or a field).
            while (code.isDigit() && i + 1 < n && codes.at(i + 1).isDigit())
                ++i;
            break;
        }
    }
    QStringList shown;
    for (const QString& p : parts) {
        const QString t = p.trimmed();
        if (!t.isEmpty())
            shown << t;
    }
    return shown.join(QLatin1Char('\t'));
}

} // namespace NumberFormat
