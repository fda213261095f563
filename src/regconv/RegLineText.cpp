#include "regconv/RegLineText.h"

namespace qm::regconv {

QList<QStringView> SplitRegLines(QStringView text) {
    QList<QStringView> lines;
    const qsizetype n = text.size();
    // Registry exports average well over 20 characters a line.
    lines.reserve(n / 24 + 1);
    // The next CR and the next LF are each found with one vectorised search, so every
    // character is looked at twice at most, whichever line ends the file uses.
    qsizetype nextCr = FindChar(text, u'\r');
    qsizetype nextLf = FindChar(text, u'\n');
    qsizetype pos = 0;
    while (pos < n) {
        if (nextCr >= 0 && nextCr < pos)
            nextCr = FindChar(text, u'\r', pos);
        if (nextLf >= 0 && nextLf < pos)
            nextLf = FindChar(text, u'\n', pos);
        qsizetype brk = n;
        if (nextCr >= 0)
            brk = nextCr;
        if (nextLf >= 0 && nextLf < brk)
            brk = nextLf;
        lines.append(text.sliced(pos, brk - pos));
        if (brk == n)
            break;
        pos = (text[brk] == u'\r' && brk + 1 < n && text[brk + 1] == u'\n') ? brk + 2 : brk + 1;
    }
    return lines;
}

QStringView TrimControl(QStringView s) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s[begin].unicode() <= 32)
        ++begin;
    while (end > begin && s[end - 1].unicode() <= 32)
        --end;
    return s.sliced(begin, end - begin);
}

bool EqualsAsciiNoCase(QStringView s, QLatin1StringView lower) {
    return s.size() == lower.size() && StartsWithAsciiNoCase(s, lower);
}

QString UnescapeRegString(QStringView s) {
    qsizetype slash = FindChar(s, u'\\');
    if (slash < 0)
        return s.toString();
    QString out;
    out.reserve(s.size());
    qsizetype plain = 0;
    while (slash >= 0) {
        if (slash + 1 < s.size() && (s[slash + 1] == u'\\' || s[slash + 1] == u'"')) {
            out.append(s.sliced(plain, slash - plain));
            plain = slash + 1; // the escaped character starts the next run
            slash = FindChar(s, u'\\', slash + 2);
        } else {
            slash = FindChar(s, u'\\', slash + 1);
        }
    }
    out.append(s.sliced(plain));
    return out;
}

bool HasNulEscape(QStringView s) {
    for (qsizetype i = FindChar(s, u'\\'); i >= 0 && i + 1 < s.size(); i = FindChar(s, u'\\', i)) {
        if (s[i + 1] == u'0')
            return true;
        i += 2; // past the escape, so the second backslash of an escaped one starts none
    }
    return false;
}

qsizetype FindClosingQuote(QStringView s, qsizetype open) {
    for (qsizetype i = open + 1; i < s.size(); ++i) {
        if (s[i] == u'\\' && i + 1 < s.size() && (s[i + 1] == u'\\' || s[i + 1] == u'"'))
            ++i;
        else if (s[i] == u'"')
            return i;
    }
    return -1;
}

} // namespace qm::regconv
