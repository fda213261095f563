#include "regconv/RegLineText.h"

namespace qm::regconv {

QList<QStringView> SplitRegLines(QStringView text) {
    QList<QStringView> lines;
    // Registry exports average well over 20 characters a line.
    lines.reserve(text.size() / 24 + 1);
    TLineCursor cursor(text);
    for (QStringView line; cursor.Next(line);)
        lines.append(line);
    return lines;
}

bool EqualsAsciiNoCase(QStringView s, QLatin1StringView lower) {
    return s.size() == lower.size() && StartsWithAsciiNoCase(s, lower);
}

QStringView UnescapeRegString(QStringView s, QString& buffer) {
    qsizetype slash = FindChar(s, u'\\');
    if (slash < 0)
        return s;
    buffer.resize(0); // keeps the capacity for the next string
    qsizetype plain = 0;
    while (slash >= 0) {
        if (slash + 1 < s.size() && (s[slash + 1] == u'\\' || s[slash + 1] == u'"')) {
            buffer.append(s.sliced(plain, slash - plain));
            plain = slash + 1; // the escaped character starts the next run
            slash = FindChar(s, u'\\', slash + 2);
        } else {
            slash = FindChar(s, u'\\', slash + 1);
        }
    }
    buffer.append(s.sliced(plain));
    return buffer;
}

bool HasNulEscape(QStringView s) {
    for (qsizetype i = FindChar(s, u'\\'); i >= 0 && i + 1 < s.size(); i = FindChar(s, u'\\', i)) {
        if (s[i + 1] == u'0')
            return true;
        i += 2; // past the escape, so the second backslash of an escaped one starts none
    }
    return false;
}

qsizetype FindClosingQuote(QStringView s, qsizetype open, bool& backslash) {
    const char16_t* begin = reinterpret_cast<const char16_t*>(s.utf16());
    const char16_t* end = begin + s.size();
    backslash = false;
    for (const char16_t* p = begin + open + 1;; ++p) {
        p = FindEither(p, end, u'"', u'\\');
        if (p == end)
            return -1;
        if (*p == u'"')
            return p - begin;
        backslash = true;
        if (p + 1 < end && (p[1] == u'\\' || p[1] == u'"'))
            ++p;
    }
}

} // namespace qm::regconv
