#pragma once

// Listing folders for the folder scan.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qm::platform {

#if defined(_WIN32)
inline constexpr char16_t kPathSeparator = u'\\';
#else
inline constexpr char16_t kPathSeparator = u'/';
#endif

// Identifies a folder on this system (device and inode, or volume and file index), so a scan can
// tell that a link leads back into a folder it is already inside.
struct DirectoryId {
    std::uint64_t Volume = 0;
    std::uint64_t Node = 0;
    friend bool operator==(const DirectoryId&, const DirectoryId&) = default;
};

struct DirectoryEntry {
    std::u16string Name;
    bool IsDirectory = false; // links to folders included
};

// Lists every entry of the folder `path` except "." and "..", hidden and system ones included,
// in the order the system returns them, and identifies the folder itself in `id`. Returns false
// (and no entries) when the folder cannot be opened.
bool ListDirectory(std::u16string_view path, std::vector<DirectoryEntry>& entries, DirectoryId& id);

// Whether ListDirectory's order is stable and meaningful: NTFS lists by name, most POSIX file
// systems in an order of their own.
bool DirectoryListingIsOrdered();

} // namespace qm::platform
