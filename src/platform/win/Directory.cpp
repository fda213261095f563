#include "platform/Directory.h"

#include <windows.h>

namespace qm::platform {

namespace {

const wchar_t* Wide(const std::u16string& s) {
    return reinterpret_cast<const wchar_t*>(s.c_str());
}

bool IdentifyFolder(const std::u16string& path, DirectoryId& id) {
    // FILE_FLAG_BACKUP_SEMANTICS opens a folder; no access rights are needed to read its index.
    HANDLE h = CreateFileW(Wide(path), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    if (ok) {
        id.Volume = info.dwVolumeSerialNumber;
        id.Node = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    }
    return ok;
}

} // namespace

bool ListDirectory(std::u16string_view path, std::vector<DirectoryEntry>& entries,
                   DirectoryId& id) {
    entries.clear();
    std::u16string folder(path);
    std::u16string pattern = folder;
    if (pattern.empty() || pattern.back() != u'\\')
        pattern += u'\\';
    pattern += u"*.*";
    WIN32_FIND_DATAW data{};
    HANDLE find = FindFirstFileExW(Wide(pattern), FindExInfoBasic, &data, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    if (!IdentifyFolder(folder, id))
        id = {};
    do {
        const wchar_t* name = data.cFileName;
        if (name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0')))
            continue;
        entries.push_back({std::u16string(reinterpret_cast<const char16_t*>(name)),
                           (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return true;
}

bool DirectoryListingIsOrdered() {
    return true;
}

} // namespace qm::platform
