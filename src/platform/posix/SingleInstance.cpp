#include "platform/SingleInstance.h"

#include "platform/CodePage.h"

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <unistd.h>

namespace qm::platform {

bool InstanceAlreadyRunning(std::u16string_view name) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const char* temp = std::getenv("TMPDIR");
    std::string folder = runtime && *runtime ? runtime : temp && *temp ? temp : "/tmp";
    const std::string path = folder + "/" + EncodeUtf8(name) + ".lock";
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false; // no lock to be had: run without one, as when the mutex cannot be made
    if (flock(fd, LOCK_EX | LOCK_NB) == 0)
        return false; // held until the process ends; the descriptor is never closed
    close(fd);
    return true;
}

} // namespace qm::platform
