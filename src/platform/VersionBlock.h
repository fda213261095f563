#pragma once

// The VS_VERSIONINFO structure of a Windows version resource, read and written without the
// Windows version API: where a system has no version resources, the same look-ups then run on
// the bytes of an .exe/.dll or on the block the build embeds in the program's own binary.
// Every reader here takes untrusted bytes: a cut or hostile block yields nothing, never a read
// outside it.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qm::platform {

// Looks `subBlock` up as VerQueryValueW does: "\" gives the fixed part (VS_FIXEDFILEINFO),
// "\VarFileInfo\Translation" the translation table, "\StringFileInfo\<key>\<name>" a string.
// Names compare ignoring ASCII case. `length` counts characters for text values and bytes for
// the others; the value lies wholly inside `block`.
bool QueryVersionBlock(std::span<const std::uint8_t> block, std::u16string_view subBlock,
                       const std::uint8_t*& value, std::uint32_t& length);

// The version block of a PE file (.exe, .dll): the RT_VERSION resource VS_VERSION_INFO in the
// language the Windows version API picks (neutral, else English, else the first). Empty when the
// bytes are no PE file or it has no such resource.
std::vector<std::uint8_t> ExtractPeVersionBlock(std::span<const std::uint8_t> file);

// The section of an ELF file that holds the program's own version block.
inline constexpr std::string_view kElfVersionSection = ".qm_versioninfo";
std::vector<std::uint8_t> ExtractElfVersionBlock(std::span<const std::uint8_t> file);

// What a version block holds, for the build (the program's own block) and for tests.
struct VersionBlockSpec {
    bool HasFixedInfo = true;
    std::uint16_t FileVersion[4] = {};
    std::uint16_t ProductVersion[4] = {};
    bool HasVarFileInfo = true;
    std::vector<std::uint8_t> Translation; // raw value: language/code page word pairs
    struct Table {
        std::u16string Key; // such as u"040904E4"
        std::vector<std::pair<std::u16string, std::u16string>> Strings;
    };
    std::vector<Table> StringTables;
};

// Translation bytes of one language and code page pair.
std::vector<std::uint8_t> TranslationPair(std::uint16_t language, std::uint16_t codePage);

std::vector<std::uint8_t> BuildVersionBlock(const VersionBlockSpec& spec);

} // namespace qm::platform
