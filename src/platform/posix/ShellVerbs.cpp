#include "platform/ShellVerbs.h"

#include "platform/CodePage.h"
#include "platform/posix/XdgFolders.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

extern char** environ;

namespace qm::platform {

namespace {

std::string ApplicationsFolder() {
    const std::string data = posix::XdgDataHome();
    return data.empty() ? std::string() : data + "/applications";
}

std::string EntryPath(std::u16string_view id) {
    const std::string folder = ApplicationsFolder();
    return folder.empty() ? std::string() : folder + "/quillmark-" + EncodeUtf8(id) + ".desktop";
}

// A value of a desktop entry: no line breaks, backslash escaped.
std::string EntryValue(std::u16string_view text) {
    std::string out;
    for (const char c : EncodeUtf8(text)) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

// The Exec key's quoting: the argument in double quotes, with ", `, $ and \ escaped by a
// backslash, and every "%" doubled (a lone "%" starts a field code). The key's value is read as
// a string first, which takes one backslash away: each escaping backslash, and a backslash of
// the path itself, is therefore written twice.
std::string ExecArgument(std::u16string_view path) {
    std::string out = "\"";
    for (const char c : EncodeUtf8(path)) {
        if (c == '"' || c == '`' || c == '$')
            out += "\\\\";
        else if (c == '\\')
            out += "\\\\\\";
        else if (c == '%')
            out += '%';
        out += c;
    }
    return out + "\"";
}

} // namespace

bool PublishVerb(const ShellVerb& verb) {
    const std::string path = EntryPath(verb.Id);
    if (path.empty())
        return false;
    for (std::size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1))
        mkdir(path.substr(0, at).c_str(), 0755);
    const std::string temp = path + ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << "[Desktop Entry]\n"
            << "Type=Application\n"
            << "Name=" << EntryValue(verb.Caption) << '\n'
            << "Exec=" << ExecArgument(verb.Executable) << " %f\n"
            << "MimeType=" << EntryValue(verb.MimeType) << ";\n"
            << "NoDisplay=true\n"
            << "Terminal=false\n";
        out.flush();
        if (!out)
            return false;
    }
    return std::rename(temp.c_str(), path.c_str()) == 0;
}

void WithdrawVerb(std::u16string_view id) {
    const std::string path = EntryPath(id);
    if (!path.empty())
        std::remove(path.c_str());
}

void NotifyAssociationsChanged() {
    std::string folder = ApplicationsFolder();
    if (folder.empty())
        return;
    char tool[] = "update-desktop-database";
    char* argv[] = {tool, folder.data(), nullptr};
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    // Missing tool: nothing to refresh.
    if (posix_spawnp(&pid, tool, &quiet, nullptr, argv, environ) == 0)
        waitpid(pid, nullptr, 0);
    posix_spawn_file_actions_destroy(&quiet);
}

} // namespace qm::platform
