#include "regconv/RegHexData.h"

#include "regconv/RegLineText.h"

namespace qm::regconv {

namespace {

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

} // namespace

std::optional<THexForm> ParseHexForm(QStringView data) {
    if (!StartsWithAsciiNoCase(data, QLatin1StringView("hex")))
        return std::nullopt;
    if (data.size() > 3 && data[3] == u':')
        return THexForm{kRegBinary, data.first(4), data.sliced(4)};
    if (data.size() < 6 || data[3] != u'(')
        return std::nullopt;
    const qsizetype close = data.indexOf(u')', 4);
    if (close < 5 || close - 4 > 8 || close + 1 >= data.size() || data[close + 1] != u':')
        return std::nullopt;
    unsigned type = 0;
    for (qsizetype i = 4; i < close; ++i) {
        const int d = HexDigit(data[i].unicode());
        if (d < 0)
            return std::nullopt;
        type = type * 16 + static_cast<unsigned>(d);
    }
    return THexForm{type, data.first(close + 2), data.sliced(close + 2)};
}

bool ParseByteList(QStringView list, QByteArray& bytes, QStringView& badItem) {
    bytes.clear();
    bytes.reserve(list.size() / 3 + 1);
    const QChar* p = list.data();
    const qsizetype n = list.size();
    qsizetype i = 0;
    while (i <= n) {
        qsizetype end = i;
        while (end < n && p[end] != u',')
            ++end;
        qsizetype b = i;
        qsizetype e = end;
        while (b < e && IsBlank(p[b].unicode()))
            ++b;
        while (e > b && IsBlank(p[e - 1].unicode()))
            --e;
        if (e > b) {
            const int hi = HexDigit(p[b].unicode());
            const int lo = e - b == 2 ? HexDigit(p[b + 1].unicode()) : 0;
            if (e - b > 2 || hi < 0 || lo < 0) {
                badItem = list.sliced(b, e - b);
                return false;
            }
            bytes.append(static_cast<char>(e - b == 2 ? hi * 16 + lo : hi));
        }
        i = end + 1;
    }
    return true;
}

} // namespace qm::regconv
