#include "regconv/RegLineText.h"

namespace qm::regconv {

QList<QStringView> SplitRegLines(QStringView text) {
    QList<QStringView> lines;
    const QChar* data = text.data();
    const qsizetype n = text.size();
    // Registry exports average well over 20 characters a line.
    lines.reserve(n / 24 + 1);
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = data[i].unicode();
        if (c != u'\n' && c != u'\r')
            continue;
        lines.append(text.sliced(start, i - start));
        if (c == u'\r' && i + 1 < n && data[i + 1].unicode() == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.sliced(start));
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

bool StartsWithAsciiNoCase(QStringView s, QLatin1StringView prefix) {
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

bool EqualsAsciiNoCase(QStringView s, QLatin1StringView lower) {
    return s.size() == lower.size() && StartsWithAsciiNoCase(s, lower);
}

QString UnescapeRegString(QStringView s) {
    if (!s.contains(u'\\'))
        return s.toString();
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == u'\\' && i + 1 < s.size() && (s[i + 1] == u'\\' || s[i + 1] == u'"')) {
            out.append(s[i + 1]);
            ++i;
        } else {
            out.append(c);
        }
    }
    return out;
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
