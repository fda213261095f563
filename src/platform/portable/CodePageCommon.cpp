#include "platform/CodePage.h"
#include "platform/portable/CodePageTables.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace qm::platform {

namespace {

// Length of the UTF-8 sequence that starts at `p` (at most `left` bytes), 0 when it is invalid:
// overlong forms, surrogates and code points above U+10FFFF are rejected.
std::size_t Utf8SequenceLength(const unsigned char* p, std::size_t left, char32_t& cp) {
    const unsigned char b0 = p[0];
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    std::size_t len = 0;
    char32_t min = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (len > left)
        return 0;
    for (std::size_t i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

bool AllAscii8(const unsigned char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return (w & 0x8080808080808080ULL) == 0;
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (AsciiLower(s[i]) != prefix[i])
            return false;
    return true;
}

} // namespace

bool IsValidUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    while (i < n) {
        if (n - i >= 8 && AllAscii8(p + i)) {
            i += 8;
            continue;
        }
        char32_t cp = 0;
        const std::size_t len = Utf8SequenceLength(p + i, n - i, cp);
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

std::u16string DecodeUtf8(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    while (i < n) {
        char32_t cp = 0;
        std::size_t len = Utf8SequenceLength(p + i, n - i, cp);
        if (len == 0) {
            cp = 0xFFFD;
            len = 1;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += len;
    }
    return out;
}

std::string EncodeUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::u16string DecodeSingleByte(std::string_view bytes, const HighHalf& high) {
    std::u16string out(bytes.size(), u'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = b >= 0x80 ? high[b - 0x80] : static_cast<char16_t>(b);
    }
    return out;
}

std::u16string DecodeWindows1252(std::string_view bytes) {
    return DecodeSingleByte(bytes, *WindowsHighHalf(1252));
}

std::optional<std::string> EncodeWindows1252(std::u16string_view text) {
    const HighHalf& high = *WindowsHighHalf(1252);
    std::string out;
    out.reserve(text.size());
    for (const char16_t c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        const auto* at = std::find(high.begin(), high.end(), c);
        if (at == high.end())
            return std::nullopt;
        out.push_back(static_cast<char>(0x80 + (at - high.begin())));
    }
    return out;
}

unsigned NumberedCodePage(std::string_view name) {
    for (std::string_view prefix : {"windows-", "windows", "cp-", "cp", "ibm-", "ibm"}) {
        if (StartsWithNoCase(name, prefix)) {
            name.remove_prefix(prefix.size());
            break;
        }
    }
    if (name.empty() || name.size() > 5)
        return 0;
    unsigned number = 0;
    for (char c : name) {
        if (c < '0' || c > '9')
            return 0;
        number = number * 10 + static_cast<unsigned>(c - '0');
    }
    return number;
}

} // namespace qm::platform
