#include "regconv/RegHexData.h"

#include "regconv/RegLineText.h"

namespace qm::regconv {

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

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
        const int d = HexDigitValue(data[i].unicode());
        if (d < 0)
            return std::nullopt;
        type = type * 16 + static_cast<unsigned>(d);
    }
    return THexForm{type, data.first(close + 2), data.sliced(close + 2)};
}

bool ParseByteList(QStringView list, QByteArray& bytes, QStringView& badItem) {
    // At most one byte per two characters; the buffer's capacity is kept between calls.
    bytes.resize(list.size() / 2 + 1);
    char* out = bytes.data();
    const char16_t* p = reinterpret_cast<const char16_t*>(list.utf16());
    const qsizetype n = list.size();
    qsizetype i = 0;
    while (i < n) {
        // The common item: two digits and a comma (or the end).
        if (i + 2 <= n && (i + 2 == n || p[i + 2] == u',')) {
            const int hi = HexDigitValue(p[i]);
            const int lo = HexDigitValue(p[i + 1]);
            if ((hi | lo) >= 0) {
                *out++ = static_cast<char>(hi * 16 + lo);
                i += 3;
                continue;
            }
        }
        qsizetype end = i;
        while (end < n && p[end] != u',')
            ++end;
        qsizetype b = i;
        qsizetype e = end;
        while (b < e && IsBlank(p[b]))
            ++b;
        while (e > b && IsBlank(p[e - 1]))
            --e;
        if (e == b && end < n) { // only the last item may be empty ("01,02,")
            badItem = list.sliced(b, 0);
            return false;
        }
        if (e > b) {
            const int hi = HexDigitValue(p[b]);
            const int lo = e - b == 2 ? HexDigitValue(p[b + 1]) : 0;
            if (e - b > 2 || hi < 0 || lo < 0) {
                badItem = list.sliced(b, e - b);
                return false;
            }
            *out++ = static_cast<char>(e - b == 2 ? hi * 16 + lo : hi);
        }
        i = end + 1;
    }
    bytes.resize(out - bytes.constData());
    return true;
}

} // namespace qm::regconv
