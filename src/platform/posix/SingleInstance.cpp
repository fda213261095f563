#include "platform/SingleInstance.h"

#include "platform/CodePage.h"
#include "platform/posix/XdgFolders.h"

#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <unistd.h>

namespace qm::platform {

bool InstanceAlreadyRunning(std::u16string_view name) {
    // In a folder no other user can write to: nobody else can hold the lock, or plant a link.
    const std::string folder = posix::PrivateFolder();
    const int fd = folder.empty() ? -1
                                  : posix::OpenNoFollow(folder + "/" + EncodeUtf8(name) + ".lock",
                                                        O_RDWR | O_CREAT);
    if (fd < 0)
        return false; // no lock to be had: run without one, as when the mutex cannot be made
    if (flock(fd, LOCK_EX | LOCK_NB) == 0)
        return false; // held until the process ends; the descriptor is never closed
    close(fd);
    return true;
}

} // namespace qm::platform
