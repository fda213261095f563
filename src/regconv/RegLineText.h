#pragma once

// Small text helpers for reading export lines.

#include "innotext/TextScan.h"
#include "platform/TextTrim.h"

#include <QList>
#include <QString>
#include <QStringView>

namespace qm::regconv {

using qm::innotext::FindEither;

// Position of `c` in `s` at or after `from`, or -1 (Qt's vectorised search).
inline qsizetype FindChar(QStringView s, char16_t c, qsizetype from = 0) {
    return s.indexOf(QChar(c), from);
}

// Gives the lines of a text one by one, split at CR LF, lone LF and lone CR; the breaks are
// not part of the lines.
class TLineCursor {
public:
    explicit TLineCursor(QStringView text)
        : FPos(reinterpret_cast<const char16_t*>(text.utf16())), FEnd(FPos + text.size()) {}
    bool Next(QStringView& line) {
        if (FPos >= FEnd)
            return false;
        const char16_t* brk = FindEither(FPos, FEnd, u'\r', u'\n');
        line = QStringView(FPos, brk - FPos);
        FPos = brk;
        if (brk < FEnd)
            FPos += (*brk == u'\r' && brk + 1 < FEnd && brk[1] == u'\n') ? 2 : 1;
        return true;
    }

private:
    const char16_t* FPos;
    const char16_t* FEnd;
};

QList<QStringView> SplitRegLines(QStringView text);

// Removes every character with code 32 or less from both ends (not Unicode white space).
inline QStringView TrimControl(QStringView s) {
    return qm::platform::TrimControl(qm::platform::Utf16View(s));
}

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
// any other character stays as it is. The result is `s` itself when it has no escape, else
// the text in `buffer`.
QStringView UnescapeRegString(QStringView s, QString& buffer);

// Whether the inside of a quoted string holds the escape \0 (an escaped backslash followed by
// a 0 is no such escape).
bool HasNulEscape(QStringView s);

// Position of the quote that closes a quoted string whose opening quote is at `open`, skipping
// escaped quotes; -1 when there is none. `backslash` tells whether a backslash came before it
// (when none did, the string has no escape to undo).
qsizetype FindClosingQuote(QStringView s, qsizetype open, bool& backslash);

} // namespace qm::regconv
