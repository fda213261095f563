#pragma once

// A file's version resource, as the Windows version API gives it: load the whole block once,
// then look values up in it.

#include <cstdint>
#include <string>
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

// The string block of the first translation, "%04X%04X" (language, code page); "040904E4" when
// the data names none (or 0000/0000). Empty when there is no data.
std::u16string VersionBlockKey(const std::vector<std::uint8_t>& info);
// The string value `name` of that block, up to its terminating zero; empty when missing.
std::u16string VersionString(const std::vector<std::uint8_t>& info, std::u16string_view name);

// The full path of the running program's executable.
std::u16string OwnExecutablePath();
// The running program's own version data, read once per process: its title, the settings
// path, the About window and the update check all ask for it, and the file of a running
// program does not change (an update replaces it only after the program has ended).
const std::vector<std::uint8_t>& OwnVersionInfo();

} // namespace qm::platform
