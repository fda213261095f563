// Code pages through MultiByteToWideChar; the default is the system's ANSI code page.
#include "platform/CodePage.h"

#include <windows.h>

namespace qm::platform {

namespace {

struct NamedPage {
    std::string_view Name;
    UINT Page;
};

constexpr NamedPage kNamedPages[] = {
    {"utf-8", CP_UTF8},    {"utf8", CP_UTF8},      {"koi8-r", 20866},     {"koi8-u", 21866},
    {"shift_jis", 932},    {"shift-jis", 932},     {"sjis", 932},         {"gbk", 936},
    {"gb2312", 936},       {"euc-kr", 949},        {"big5", 950},         {"latin1", 28591},
    {"iso-8859-1", 28591}, {"iso-8859-2", 28592},  {"iso-8859-5", 28595}, {"iso-8859-7", 28597},
    {"iso-8859-9", 28599}, {"iso-8859-15", 28605}, {"us-ascii", 20127},
};

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char c = a[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != b[i])
            return false;
    }
    return true;
}

// 0 when the name is unknown or the system cannot decode that page.
UINT PageFromName(std::string_view name) {
    UINT page = NumberedCodePage(name);
    if (page == 0) {
        for (const NamedPage& named : kNamedPages)
            if (EqualsNoCase(name, named.Name))
                page = named.Page;
    }
    return (page != 0 && IsValidCodePage(page)) ? page : 0;
}

std::u16string Decode(std::string_view bytes, UINT page) {
    std::u16string out;
    if (bytes.empty())
        return out;
    // MultiByteToWideChar takes an int length; decode in slices cut at ASCII bytes so no
    // multi-byte sequence is split.
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.size();
        if (end - start > (1u << 30)) {
            end = start + (1u << 30);
            while (end > start && static_cast<unsigned char>(bytes[end - 1]) >= 0x80)
                --end;
            if (end == start)
                end = start + (1u << 30);
        }
        const int inLen = static_cast<int>(end - start);
        const int need = MultiByteToWideChar(page, 0, bytes.data() + start, inLen, nullptr, 0);
        const std::size_t at = out.size();
        out.resize(at + static_cast<std::size_t>(need));
        MultiByteToWideChar(page, 0, bytes.data() + start, inLen,
                            reinterpret_cast<wchar_t*>(out.data() + at), need);
        start = end;
    }
    return out;
}

// No value when a character has no exact form in code page `cp` (CP_ACP or CP_OEMCP).
std::optional<std::string> EncodeSystemCodePage(UINT cp, std::u16string_view text) {
    if (text.empty())
        return std::string();
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    // A UTF-8 system code page takes neither flags nor the default-character report.
    const bool utf8 = (cp == CP_ACP ? GetACP() : GetOEMCP()) == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* report = utf8 ? nullptr : &usedDefault;
    const int need = WideCharToMultiByte(cp, flags, wide, length, nullptr, 0, nullptr, report);
    if (need <= 0 || usedDefault)
        return std::nullopt;
    std::string out(static_cast<std::size_t>(need), '\0');
    WideCharToMultiByte(cp, flags, wide, length, out.data(), need, nullptr, report);
    if (usedDefault)
        return std::nullopt;
    return out;
}

} // namespace

bool IsKnownCodePage(std::string_view name) {
    return name.empty() || PageFromName(name) != 0;
}

AnsiText DecodeAnsi(std::string_view bytes, std::string_view name) {
    if (name.empty())
        return {Decode(bytes, CP_ACP), "system"};
    const UINT page = PageFromName(name);
    if (page == 0)
        return {};
    return {Decode(bytes, page), std::string(name)};
}

std::optional<std::string> EncodeAnsi(std::u16string_view text) {
    return EncodeSystemCodePage(CP_ACP, text);
}

std::optional<std::string> EncodeOem(std::u16string_view text) {
    return EncodeSystemCodePage(CP_OEMCP, text);
}

} // namespace qm::platform
