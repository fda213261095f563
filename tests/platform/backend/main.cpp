// The runner: the framework's options, ours (--qm-...), and the child modes the
// single-instance test starts.
#define DOCTEST_CONFIG_IMPLEMENT
#include "BackendTest.h"
#include "platform/CodePage.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>

#ifndef _WIN32
#include <stdlib.h>
#endif

namespace qm::backendtest {

namespace {

Options g_options;

// --qm-dump-codepages=FILE: what this build decodes, for the Windows build to compare with.
// One line per code page and byte, "<page> <byte> <UTF-16 units in hex>", then one line per
// page for all 256 bytes decoded at once ("<page> all ...").
int DumpCodePages(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    const auto line = [&out](std::string_view page, const std::string& label,
                             const std::string& bytes) {
        out << page << ' ' << label;
        char hex[8];
        for (const char16_t unit : qm::platform::DecodeAnsi(bytes, page).Text) {
            std::snprintf(hex, sizeof hex, " %04X", static_cast<unsigned>(unit));
            out << hex;
        }
        out << '\n';
    };
    for (const std::string_view page : {"cp1250", "cp1251", "cp1252", "cp1253", "cp1254", "cp1255",
                                        "cp1256", "cp1257", "cp1258", "cp866", "utf-8"}) {
        std::string all;
        for (int b = 0; b < 256; ++b) {
            all += static_cast<char>(b);
            line(page, std::to_string(b), std::string(1, static_cast<char>(b)));
        }
        line(page, "all", all);
    }
    return out.good() ? 0 : 1;
}

#ifndef _WIN32
// The stand-ins keep their files where the user's desktop keeps its own: the tests give them a
// private folder of their own instead, which the child processes inherit.
struct PrivateHome {
    std::string Folder;
    PrivateHome() {
        std::string pattern =
            std::filesystem::temp_directory_path().string() + "/qm-backend-XXXXXX";
        if (!mkdtemp(pattern.data()))
            return;
        Folder = pattern;
        setenv("XDG_DATA_HOME", (Folder + "/data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (Folder + "/config").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", Folder.c_str(), 1);
        setenv("QUILLMARK_REGISTRY_FILE", (Folder + "/HKEY_CURRENT_USER.txt").c_str(), 1);
    }
    ~PrivateHome() {
        if (!Folder.empty())
            std::filesystem::remove_all(Folder);
    }
};
#endif

} // namespace

const Options& GivenOptions() {
    return g_options;
}

} // namespace qm::backendtest

int main(int argc, char** argv) {
    using namespace qm::backendtest;
    const int child = RunChildMode(argc, argv);
    if (child >= 0)
        return child;
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        const auto value = [&](std::string_view option) -> const char* {
            return arg.starts_with(option) ? argv[i] + option.size() : nullptr;
        };
        if (const char* v = value("--qm-dump-codepages="))
            return DumpCodePages(v);
        if (const char* v = value("--qm-codepages="))
            g_options.CodePageTables = v;
        else if (const char* v2 = value("--qm-pe-folder="))
            g_options.PeFolder = v2;
        else
            rest.push_back(argv[i]);
    }
#ifndef _WIN32
    const PrivateHome home;
#endif
    doctest::Context context(static_cast<int>(rest.size()), rest.data());
    return context.run();
}
