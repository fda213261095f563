#include "platform/Shell.h"

#include "platform/CodePage.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace qm::platform {

namespace {

// Starts `argv` in a grandchild, so it is never left a zombie of this process and outlives it.
bool SpawnDetached(char* const argv[]) {
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        setsid();
        pid_t grandchild = 0;
        const int rc = posix_spawnp(&grandchild, argv[0], nullptr, nullptr, argv, environ);
        _exit(rc == 0 ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

bool ShellOpen(std::u16string_view target) {
    std::string path = EncodeUtf8(target);
    struct stat st {};
    const bool executable =
        stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
    if (executable) {
        char* argv[] = {path.data(), nullptr};
        return SpawnDetached(argv);
    }
    char opener[] = "xdg-open";
    char* argv[] = {opener, path.data(), nullptr};
    return SpawnDetached(argv);
}

bool ShellOpen(std::u16string_view target, std::u16string_view parameters, ShowMode) {
    return parameters.empty() && ShellOpen(target);
}

std::u16string ShortcutTarget(std::u16string_view) {
    return {};
}

} // namespace qm::platform
