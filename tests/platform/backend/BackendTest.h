#pragma once

// What the platform-backend tests share. They run on the backend of the system they were built
// for: natively against the stand-ins, and, built with mingw-w64, under wine against the real
// Windows API. Qt-free, like the platform layer itself.

#include <doctest.h>
#include <string>
#include <vector>

namespace qm::backendtest {

// Options given after the test framework's own.
struct Options {
    std::string CodePageTables; // --qm-codepages=FILE: decodings written by the native build
    std::string PeFolder;       // --qm-pe-folder=FOLDER: PE files to read version data from
};
const Options& GivenOptions();

// Starts this test program again with `arguments` and waits for it to end; its exit code, or -1
// when it could not be started.
int RunSelf(const std::vector<std::string>& arguments);
// The same without waiting; Wait() gives the exit code.
class Child {
public:
    explicit Child(const std::vector<std::string>& arguments);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    bool Started() const;
    int Wait();

private:
    struct Impl;
    Impl* m_impl;
};

// A name no other run uses (process id and clock).
std::string UniqueName(const std::string& prefix);
bool FileExists(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
std::string TemporaryPath(const std::string& name);

// The child modes of main(); a mode's exit code, or -1 when `argv` names none.
int RunChildMode(int argc, char** argv);

} // namespace qm::backendtest
