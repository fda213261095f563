// The smaller services: known folders, the writability test, the system version, the shell
// notification.
#include "BackendTest.h"
#include "platform/CodePage.h"
#include "platform/FileAccess.h"
#include "platform/KnownFolders.h"
#include "platform/OsVersion.h"
#include "platform/ShellVerbs.h"

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qm::backendtest {

namespace {

std::filesystem::path PathOf(const std::u16string& text) {
#ifdef _WIN32
    return std::filesystem::path(std::wstring(text.begin(), text.end()));
#else
    return std::filesystem::path(qm::platform::EncodeUtf8(text));
#endif
}

// Holds a file open so that nobody else may write it: no sharing on Windows, an exclusive
// advisory lock elsewhere.
class ExclusiveOpen {
public:
    explicit ExclusiveOpen(const std::u16string& path) {
#ifdef _WIN32
        m_handle = CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_READ, 0,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
#else
        m_fd = open(qm::platform::EncodeUtf8(path).c_str(), O_RDONLY | O_CLOEXEC);
        if (m_fd >= 0)
            flock(m_fd, LOCK_EX);
#endif
    }
    ~ExclusiveOpen() {
#ifdef _WIN32
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
#else
        if (m_fd >= 0)
            close(m_fd);
#endif
    }
    ExclusiveOpen(const ExclusiveOpen&) = delete;
    ExclusiveOpen& operator=(const ExclusiveOpen&) = delete;

private:
#ifdef _WIN32
    HANDLE m_handle = INVALID_HANDLE_VALUE;
#else
    int m_fd = -1;
#endif
};

// The read-only attribute on Windows; elsewhere no write permission bit for anyone.
void SetReadOnly(const std::u16string& path, bool readOnly) {
#ifdef _WIN32
    SetFileAttributesW(reinterpret_cast<const wchar_t*>(path.c_str()),
                       readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
#else
    chmod(qm::platform::EncodeUtf8(path).c_str(), readOnly ? 0444 : 0644);
#endif
}

} // namespace

TEST_CASE("known folders exist; the temporary one ends in a separator") {
    const std::u16string temp = qm::platform::TemporaryFolder();
    REQUIRE_FALSE(temp.empty());
    CHECK((temp.back() == u'\\' || temp.back() == u'/'));
    CHECK(std::filesystem::is_directory(PathOf(temp)));
    const std::u16string roaming = qm::platform::RoamingAppDataFolder();
    REQUIRE_FALSE(roaming.empty());
    std::filesystem::create_directories(PathOf(roaming));
    CHECK(std::filesystem::is_directory(PathOf(roaming)));
}

TEST_CASE("a file is writable only when nobody else may be writing it") {
    const std::string name = UniqueName("quillmark-writable");
    const std::u16string folder =
        qm::platform::TemporaryFolder() + std::u16string(name.begin(), name.end());
    std::filesystem::create_directory(PathOf(folder));
    const std::u16string file = folder + u"/settings.ini";
    WriteFile(qm::platform::EncodeUtf8(file), "[Options]\n");

    CHECK(qm::platform::IsFileWritable(file));
    CHECK_FALSE(qm::platform::IsFileWritable(folder + u"/missing.ini"));
    CHECK_FALSE(qm::platform::IsFileWritable(folder)); // a folder is no file
    {
        ExclusiveOpen held(file);
        CHECK_FALSE(qm::platform::IsFileWritable(file));
    }
    CHECK(qm::platform::IsFileWritable(file));
    SetReadOnly(file, true);
    CHECK_FALSE(qm::platform::IsFileWritable(file));
    SetReadOnly(file, false);
    std::filesystem::remove_all(PathOf(folder));
}

TEST_CASE("the system is a supported one, and telling the shell does not fail") {
    const qm::platform::OsVersion version = qm::platform::CurrentOsVersion();
    CAPTURE(version.Major);
    CAPTURE(version.Build);
    CHECK(qm::platform::IsSupportedWindowsVersion(version));
    CHECK(qm::platform::PublishVerb({u"test", u"Caption", u"/bin/true", u"inode/directory"}));
    qm::platform::WithdrawVerb(u"test");
    qm::platform::NotifyAssociationsChanged();
}

} // namespace qm::backendtest
