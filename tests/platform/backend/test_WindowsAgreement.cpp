// Windows only: what the portable code gives on Linux agrees with the Windows API.
// - Code pages: the decodings the native build wrote (--qm-codepages) against
//   MultiByteToWideChar, byte by byte and all 256 bytes at once.
// - Version data: the portable VS_VERSIONINFO reader against GetFileVersionInfoW and
//   VerQueryValueW on every PE file of a folder (--qm-pe-folder), files none of ours.
#include "BackendTest.h"

#ifdef _WIN32

#include "platform/CodePage.h"
#include "platform/VersionBlock.h"
#include "platform/VersionInfo.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <windows.h>

namespace qm::backendtest {

namespace {

std::string Hex(const std::u16string& text) {
    std::string out;
    char unit[8];
    for (const char16_t c : text) {
        std::snprintf(unit, sizeof unit, " %04X", static_cast<unsigned>(c));
        out += unit;
    }
    return out;
}

// What a file's version data says, through one way of looking values up.
struct VersionFacts {
    std::vector<std::uint8_t> Fixed;
    std::vector<std::uint8_t> Translation;
    std::vector<std::u16string> Strings;
    bool operator==(const VersionFacts&) const = default;
};

using Lookup = std::function<bool(std::u16string_view, const std::uint8_t*&, std::uint32_t&)>;

constexpr const char16_t* kStringNames[] = {u"CompanyName", u"ProductName", u"FileVersion",
                                            u"LegalCopyright", u"FileDescription"};

VersionFacts Facts(const Lookup& query) {
    VersionFacts facts;
    const std::uint8_t* value = nullptr;
    std::uint32_t length = 0;
    if (query(u"\\", value, length))
        facts.Fixed.assign(value, value + length);
    std::u16string key = u"040904E4";
    if (query(u"\\VarFileInfo\\Translation", value, length)) {
        facts.Translation.assign(value, value + length);
        if (length >= 4) {
            char text[9];
            std::snprintf(text, sizeof text, "%02X%02X%02X%02X", value[1], value[0], value[3],
                          value[2]);
            key.assign(text, text + 8);
        }
    }
    for (const char16_t* name : kStringNames) {
        std::u16string text = u"(none)";
        if (query(u"\\StringFileInfo\\" + key + u"\\" + name, value, length)) {
            text.assign(reinterpret_cast<const char16_t*>(value), length);
            text = text.substr(0, text.find(u'\0'));
        }
        facts.Strings.push_back(text);
    }
    return facts;
}

std::vector<std::uint8_t> ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST_CASE("code pages: MultiByteToWideChar decodes as the portable tables do") {
    const std::string& tables = GivenOptions().CodePageTables;
    REQUIRE_MESSAGE(!tables.empty(), "--qm-codepages=FILE names the native build's decodings");
    std::ifstream in(tables);
    REQUIRE(in.good());
    std::string line;
    int compared = 0;
    std::vector<std::string> differences;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string page, label;
        fields >> page >> label;
        std::string bytes;
        if (label == "all") {
            for (int b = 0; b < 256; ++b)
                bytes += static_cast<char>(b);
        } else {
            bytes.assign(1, static_cast<char>(std::stoi(label)));
        }
        std::string expected;
        std::getline(fields, expected);
        const std::string windows = Hex(qm::platform::DecodeAnsi(bytes, page).Text);
        ++compared;
        if (windows != expected)
            differences.push_back(page + " " + label + ": Linux" + expected + ", Windows" +
                                  windows);
    }
    std::printf("code pages: %d decodings compared, %zu differ\n", compared, differences.size());
    for (const std::string& d : differences)
        std::printf("  %s\n", d.c_str());
    CHECK(compared == 11 * 257);
    CHECK(differences.empty());
}

TEST_CASE("version data: the portable reader agrees with the version API") {
    const std::string& folder = GivenOptions().PeFolder;
    REQUIRE_MESSAGE(!folder.empty(), "--qm-pe-folder=FOLDER names the PE files to compare");
    int files = 0;
    int withVersion = 0;
    std::vector<std::string> differences;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        const std::vector<std::uint8_t> bytes = ReadAll(entry.path());
        if (bytes.size() < 2 || bytes[0] != 'M' || bytes[1] != 'Z')
            continue;
        ++files;
        const std::wstring path = entry.path().wstring();
        const std::vector<std::uint8_t> api =
            qm::platform::LoadFileVersionInfo(std::u16string(path.begin(), path.end()));
        const std::vector<std::uint8_t> block = qm::platform::ExtractPeVersionBlock(bytes);
        const std::string name = entry.path().filename().string();
        if (api.empty() != block.empty()) {
            differences.push_back(name + ": version data " +
                                  (api.empty() ? "only ours" : "only the API's"));
            continue;
        }
        if (api.empty())
            continue;
        ++withVersion;
        const VersionFacts expected =
            Facts([&api](std::u16string_view sub, const std::uint8_t*& v, std::uint32_t& n) {
                return qm::platform::QueryFileVersionInfo(api, sub, v, n);
            });
        const VersionFacts ours =
            Facts([&block](std::u16string_view sub, const std::uint8_t*& v, std::uint32_t& n) {
                return qm::platform::QueryVersionBlock(block, sub, v, n);
            });
        if (!(ours == expected)) {
            std::string detail = name + ":";
            for (std::size_t i = 0; i < ours.Strings.size(); ++i)
                if (ours.Strings[i] != expected.Strings[i])
                    detail += " string" + Hex(ours.Strings[i]) + " /" + Hex(expected.Strings[i]);
            if (ours.Fixed != expected.Fixed)
                detail += " fixed part";
            if (ours.Translation != expected.Translation)
                detail += " translation";
            differences.push_back(detail);
        }
    }
    std::printf("version data: %d PE files compared, %d with version data, %zu differ\n", files,
                withVersion, differences.size());
    for (const std::string& d : differences)
        std::printf("  %s\n", d.c_str());
    CHECK(files > 100);
    CHECK(withVersion > 100);
    CHECK(differences.empty());
}

} // namespace qm::backendtest

#endif
