#include "platform/FileAccess.h"

#include "platform/CodePage.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qm::platform {

bool IsFileWritable(std::u16string_view path) {
    const std::string file = EncodeUtf8(path);
    struct stat st {};
    // The read-only attribute's counterpart: no write bit for anyone, which the administrator
    // would otherwise pass over.
    if (stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0)
        return false;
    const int fd = open(file.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool alone = flock(fd, LOCK_EX | LOCK_NB) == 0;
    close(fd);
    return alone;
}

} // namespace qm::platform
