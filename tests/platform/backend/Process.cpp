// Child processes and small file helpers for the backend tests, per system.
#include "BackendTest.h"
#include "platform/CodePage.h"
#include "platform/KnownFolders.h"
#include "platform/VersionInfo.h"

#include <chrono>
#include <fstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace qm::backendtest {

namespace {

// The narrow form of a path (the test's paths are ASCII on Windows, where narrow is ANSI).
std::string Narrow(const std::u16string& text) {
    return qm::platform::EncodeUtf8(text);
}

} // namespace

#ifdef _WIN32

struct Child::Impl {
    PROCESS_INFORMATION Process{};
    bool Started = false;
};

Child::Child(const std::vector<std::string>& arguments) : m_impl(new Impl) {
    const std::u16string exe = qm::platform::OwnExecutablePath();
    std::u16string line = u"\"" + exe + u"\"";
    for (const std::string& a : arguments)
        line += u" \"" + std::u16string(a.begin(), a.end()) + u"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    m_impl->Started = CreateProcessW(reinterpret_cast<const wchar_t*>(exe.c_str()),
                                     reinterpret_cast<wchar_t*>(line.data()), nullptr, nullptr,
                                     FALSE, 0, nullptr, nullptr, &startup, &m_impl->Process) != 0;
}

Child::~Child() {
    if (m_impl->Started) {
        Wait();
        CloseHandle(m_impl->Process.hProcess);
        CloseHandle(m_impl->Process.hThread);
    }
    delete m_impl;
}

int Child::Wait() {
    if (!m_impl->Started)
        return -1;
    WaitForSingleObject(m_impl->Process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(m_impl->Process.hProcess, &code);
    return static_cast<int>(code);
}

#else

struct Child::Impl {
    pid_t Pid = -1;
    int Status = -1;
};

Child::Child(const std::vector<std::string>& arguments) : m_impl(new Impl) {
    const std::string exe = Narrow(qm::platform::OwnExecutablePath());
    std::vector<std::string> all = {exe};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&m_impl->Pid, exe.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        m_impl->Pid = -1;
}

Child::~Child() {
    Wait();
    delete m_impl;
}

int Child::Wait() {
    if (m_impl->Pid > 0) {
        int status = 0;
        if (waitpid(m_impl->Pid, &status, 0) == m_impl->Pid)
            m_impl->Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        m_impl->Pid = -1;
    }
    return m_impl->Status;
}

#endif

bool Child::Started() const {
#ifdef _WIN32
    return m_impl->Started;
#else
    return m_impl->Pid > 0 || m_impl->Status >= 0;
#endif
}

int RunSelf(const std::vector<std::string>& arguments) {
    Child child(arguments);
    return child.Wait();
}

std::string UniqueName(const std::string& prefix) {
#ifdef _WIN32
    const unsigned long pid = GetCurrentProcessId();
#else
    const unsigned long pid = static_cast<unsigned long>(getpid());
#endif
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    return prefix + "-" + std::to_string(pid) + "-" + std::to_string(now);
}

bool FileExists(const std::string& path) {
    return std::ifstream(path).good();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string TemporaryPath(const std::string& name) {
    return Narrow(qm::platform::TemporaryFolder()) + name;
}

} // namespace qm::backendtest
