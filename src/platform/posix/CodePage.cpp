// Code pages: the Windows single-byte pages from the shared tables (so they decode as on
// Windows), the others through the C library's iconv; the default is UTF-8 or Windows-1252,
// because a POSIX system has no ANSI code page of its own.
#include "platform/CodePage.h"

#include "platform/portable/CodePageTables.h"

#include <bit>
#include <cerrno>
#include <iconv.h>
#include <string>

namespace qm::platform {

namespace {

class Iconv {
public:
    explicit Iconv(const std::string& from) : m_cd(iconv_open(kUtf16Native, from.c_str())) {}
    ~Iconv() {
        if (valid())
            iconv_close(m_cd);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    [[nodiscard]] bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    std::u16string decode(std::string_view bytes) {
        std::u16string out;
        out.resize(bytes.size() + 16);
        std::size_t written = 0;
        // One call into iconv; null input asks it to finish: a converter that holds a character
        // back (to compose it with a following mark) gives it up only then.
        const auto convert = [&](char** in, std::size_t* inLeft) {
            if (out.size() - written < 8)
                out.resize(out.size() * 2);
            char* dst = reinterpret_cast<char*>(out.data() + written);
            std::size_t dstLeft = (out.size() - written) * sizeof(char16_t);
            const std::size_t before = dstLeft;
            const std::size_t rc = iconv(m_cd, in, inLeft, &dst, &dstLeft);
            written += (before - dstLeft) / sizeof(char16_t);
            return rc;
        };
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        while (inLeft > 0) {
            if (convert(&in, &inLeft) != static_cast<std::size_t>(-1))
                break;
            if (errno == E2BIG)
                continue;
            // EILSEQ: a byte without a mapping; EINVAL: a sequence cut off at the end.
            out[written++] = u'\uFFFD';
            ++in;
            --inLeft;
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        }
        while (convert(nullptr, nullptr) == static_cast<std::size_t>(-1) && errno == E2BIG) {
        }
        out.resize(written);
        return out;
    }

private:
    static constexpr const char* kUtf16Native =
        std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
    iconv_t m_cd;
};

// iconv knows "CP1251", "WINDOWS-1251", "IBM866", but not a bare "1251".
std::string IconvName(std::string_view name) {
    if (const unsigned number = NumberedCodePage(name))
        return "CP" + std::to_string(number);
    return std::string(name);
}

} // namespace

bool IsKnownCodePage(std::string_view name) {
    return name.empty() || WindowsHighHalf(NumberedCodePage(name)) ||
           Iconv(IconvName(name)).valid();
}

AnsiText DecodeAnsi(std::string_view bytes, std::string_view name) {
    if (name.empty()) {
        if (IsValidUtf8(bytes))
            return {DecodeUtf8(bytes), "utf-8"};
        return {DecodeWindows1252(bytes), "windows-1252"};
    }
    if (const HighHalf* high = WindowsHighHalf(NumberedCodePage(name)))
        return {DecodeSingleByte(bytes, *high), std::string(name)};
    Iconv codec(IconvName(name));
    if (!codec.valid())
        return {};
    return {codec.decode(bytes), std::string(name)};
}

std::optional<std::string> EncodeAnsi(std::u16string_view text) {
    return EncodeWindows1252(text);
}

std::optional<std::string> EncodeOem(std::u16string_view text) {
    std::string out;
    for (const char16_t c : text) {
        if (c > 0x7F)
            return std::nullopt;
        out += static_cast<char>(c);
    }
    return out;
}

} // namespace qm::platform
