#pragma once

// A file's version resource, as the Windows version API gives it: load the whole block once,
// then look values up in it.

#include <cstdint>
#include <string_view>
#include <vector>

namespace qm::platform {

// The version data of a file (GetFileVersionInfoSizeW + GetFileVersionInfoW); empty when the
// file has none or cannot be read. Elsewhere: the VS_VERSIONINFO block of a PE file, or the one
// the build embeds in an ELF file.
std::vector<std::uint8_t> LoadFileVersionInfo(std::u16string_view fileName);

// VerQueryValueW on data from LoadFileVersionInfo: "\", "\VarFileInfo\Translation" or
// "\StringFileInfo\<key>\<name>". `length` counts characters for strings, bytes otherwise.
bool QueryFileVersionInfo(const std::vector<std::uint8_t>& info, std::u16string_view subBlock,
                          const std::uint8_t*& value, std::uint32_t& length);

} // namespace qm::platform
