#pragma once
// Windows single-byte code pages as tables, the same on every system.
#include <array>
#include <string>
#include <string_view>

namespace qm::platform {

using HighHalf = std::array<char16_t, 128>;

// The characters of bytes 0x80-0xFF in Windows code page 866 or 1250-1258; null for others.
const HighHalf* WindowsHighHalf(unsigned codePage);

// Bytes of such a page as text.
std::u16string DecodeSingleByte(std::string_view bytes, const HighHalf& high);

} // namespace qm::platform
