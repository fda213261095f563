#include "platform/Directory.h"

#include "platform/CodePage.h"

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace qm::platform {

namespace {

class DirHandle {
public:
    explicit DirHandle(const std::string& path) : m_dir(opendir(path.c_str())) {}
    ~DirHandle() {
        if (m_dir)
            closedir(m_dir);
    }
    DirHandle(const DirHandle&) = delete;
    DirHandle& operator=(const DirHandle&) = delete;
    [[nodiscard]] DIR* get() const { return m_dir; }

private:
    DIR* m_dir;
};

} // namespace

bool ListDirectory(std::u16string_view path, std::vector<DirectoryEntry>& entries,
                   DirectoryId& id) {
    entries.clear();
    DirHandle dir(EncodeUtf8(path));
    if (!dir.get())
        return false;
    const int fd = dirfd(dir.get());
    struct stat self {};
    if (fstat(fd, &self) != 0)
        return false;
    id = {static_cast<std::uint64_t>(self.st_dev), static_cast<std::uint64_t>(self.st_ino)};

    while (const dirent* e = readdir(dir.get())) {
        const char* name = e->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        bool isDirectory = e->d_type == DT_DIR;
        if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
            // A link counts as what it leads to, as a link to a folder carries the folder
            // attribute on Windows.
            struct stat target {};
            isDirectory = fstatat(fd, name, &target, 0) == 0 && S_ISDIR(target.st_mode);
        }
        entries.push_back({DecodeUtf8(std::string_view(name, std::strlen(name))), isDirectory});
    }
    return true;
}

bool DirectoryListingIsOrdered() {
    return false;
}

} // namespace qm::platform
