#pragma once

// Small text helpers for reading export lines.

#include <QList>
#include <QString>
#include <QStringView>

namespace qm::regconv {

// Position of `c` in `s` at or after `from`, or -1 (Qt's vectorised search).
inline qsizetype FindChar(QStringView s, char16_t c, qsizetype from = 0) {
    return s.indexOf(QChar(c), from);
}

// Splits at CR LF, lone LF and lone CR; the breaks are not part of the lines.
QList<QStringView> SplitRegLines(QStringView text);

// Removes every character with code 32 or less from both ends (not Unicode white space).
QStringView TrimControl(QStringView s);

// Prefix test ignoring the case of ASCII letters only; `prefix` is lower case. Inline: every
// value's data is tested against several prefixes.
inline bool StartsWithAsciiNoCase(QStringView s, QLatin1StringView prefix) {
    if (s.size() < prefix.size())
        return false;
    for (qsizetype i = 0; i < prefix.size(); ++i) {
        char16_t c = s[i].unicode();
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
        if (c != static_cast<unsigned char>(prefix.data()[i]))
            return false;
    }
    return true;
}
bool EqualsAsciiNoCase(QStringView s, QLatin1StringView lower);

// Undoes the export's escapes inside a quoted string: \\ -> \ and \" -> ". A backslash before
// any other character stays as it is.
QString UnescapeRegString(QStringView s);

// Whether the inside of a quoted string holds the escape \0 (an escaped backslash followed by
// a 0 is no such escape).
bool HasNulEscape(QStringView s);

// Position of the quote that closes a quoted string whose opening quote is at `open`, skipping
// escaped quotes; -1 when there is none.
qsizetype FindClosingQuote(QStringView s, qsizetype open);

} // namespace qm::regconv
