// The values of version data, the same on every system: the strings of the first translation's
// block, and the running program's own data.

#include "platform/VersionInfo.h"

namespace qm::platform {

namespace {

char16_t HexDigit(unsigned v) {
    return static_cast<char16_t>(v < 10 ? u'0' + v : u'A' + (v - 10));
}

std::uint16_t Little16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

} // namespace

std::u16string VersionBlockKey(const std::vector<std::uint8_t>& info) {
    if (info.empty())
        return {};
    const std::u16string fallback = u"040904E4";
    const std::uint8_t* value = nullptr;
    std::uint32_t length = 0;
    if (!QueryFileVersionInfo(info, u"\\VarFileInfo\\Translation", value, length) || length < 4)
        return fallback;
    std::u16string key;
    for (const std::uint16_t part : {Little16(value), Little16(value + 2)})
        for (int shift = 12; shift >= 0; shift -= 4)
            key += HexDigit((part >> shift) & 0xF);
    return key == u"00000000" ? fallback : key;
}

std::u16string VersionString(const std::vector<std::uint8_t>& info, std::u16string_view name) {
    const std::uint8_t* value = nullptr;
    std::uint32_t length = 0;
    if (info.empty() || !QueryFileVersionInfo(info,
                                              u"\\StringFileInfo\\" + VersionBlockKey(info) +
                                                  u"\\" + std::u16string(name),
                                              value, length))
        return {};
    std::u16string text;
    for (std::uint32_t i = 0; i < length; ++i) {
        const std::uint16_t c = Little16(value + 2 * static_cast<std::size_t>(i));
        if (c == 0)
            break;
        text.push_back(static_cast<char16_t>(c));
    }
    return text;
}

const std::vector<std::uint8_t>& OwnVersionInfo() {
    static const std::vector<std::uint8_t> info = LoadFileVersionInfo(OwnExecutablePath());
    return info;
}

} // namespace qm::platform
