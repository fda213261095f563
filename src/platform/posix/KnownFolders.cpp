#include "platform/KnownFolders.h"

#include "platform/CodePage.h"
#include "platform/posix/XdgFolders.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace qm::platform {

std::u16string RoamingAppDataFolder() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
        return DecodeUtf8(config);
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* user = getpwuid(getuid());
        home = user ? user->pw_dir : nullptr;
    }
    return home && *home ? DecodeUtf8(std::string(home) + "/.config") : std::u16string();
}

std::u16string TemporaryFolder() {
    std::string folder = "/tmp";
    if (const char* tmp = std::getenv("TMPDIR"); tmp && *tmp == '/')
        folder = tmp;
    if (folder.back() != '/')
        folder += '/';
    return DecodeUtf8(folder);
}

std::u16string PrivateWorkFolder() {
    const std::string folder = posix::PrivateFolder();
    return folder.empty() ? std::u16string() : DecodeUtf8(folder + '/');
}

} // namespace qm::platform
