#include "platform/posix/XdgFolders.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qm::platform::posix {

namespace {

// A real folder (not a link) owned by this user, open to nobody else.
bool IsPrivateFolder(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
           (st.st_mode & 077) == 0;
}

} // namespace

std::string PrivateFolder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        runtime && *runtime == '/' && IsPrivateFolder(runtime))
        return runtime;
    const char* temp = std::getenv("TMPDIR");
    const std::string folder = std::string(temp && *temp == '/' ? temp : "/tmp") + "/quillmark-" +
                               std::to_string(geteuid());
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    return IsPrivateFolder(folder) ? folder : std::string();
}

std::string XdgDataHome() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        return xdg;
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return std::string(home) + "/.local/share";
    const std::string folder = PrivateFolder();
    return folder.empty() ? std::string() : folder + "/data";
}

int OpenNoFollow(const std::string& path, int flags, unsigned mode) {
    return open(path.c_str(), flags | O_CLOEXEC | O_NOFOLLOW, static_cast<mode_t>(mode));
}

} // namespace qm::platform::posix
