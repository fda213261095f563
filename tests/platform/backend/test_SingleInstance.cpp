// The single-instance rule across real processes: a second process sees the first, and once
// the first has ended a third one starts as the only instance.
#include "BackendTest.h"
#include "platform/SingleInstance.h"

#include <chrono>
#include <string_view>
#include <thread>

namespace qm::backendtest {

namespace {

constexpr int kAlreadyRunning = 3;

std::u16string Wide(const std::string& text) {
    return {text.begin(), text.end()};
}

// Polls for a file for up to 30 s (a first start under wine is slow).
bool WaitForFile(const std::string& path) {
    for (int i = 0; i < 3000; ++i) {
        if (FileExists(path))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

} // namespace

// --qm-hold-instance NAME READY RELEASE: takes the instance lock, says so in READY, and holds
// it until RELEASE exists. --qm-try-instance NAME: only tries. Exit 0: this process was the
// only instance; kAlreadyRunning: another one holds it.
int RunChildMode(int argc, char** argv) {
    if (argc < 3)
        return -1;
    const std::string_view mode(argv[1]);
    if (mode != "--qm-hold-instance" && mode != "--qm-try-instance")
        return -1;
    if (qm::platform::InstanceAlreadyRunning(Wide(argv[2])))
        return kAlreadyRunning;
    if (mode == "--qm-hold-instance" && argc == 5) {
        WriteFile(argv[3], "held");
        if (!WaitForFile(argv[4]))
            return 4;
    }
    return 0;
}

TEST_CASE("single instance: across processes") {
    const std::string name = UniqueName("QuillmarkTest");
    const std::string ready = TemporaryPath(name + ".ready");
    const std::string release = TemporaryPath(name + ".release");

    Child first({"--qm-hold-instance", name, ready, release});
    REQUIRE(first.Started());
    REQUIRE(WaitForFile(ready));
    CHECK(qm::platform::InstanceAlreadyRunning(Wide(name)));
    CHECK(RunSelf({"--qm-try-instance", name}) == kAlreadyRunning);

    WriteFile(release, "go");
    CHECK(first.Wait() == 0);
    // Asking did not make this process an instance: the next one to start is the only one.
    CHECK(RunSelf({"--qm-try-instance", name}) == 0);
    std::remove(ready.c_str());
    std::remove(release.c_str());
}

} // namespace qm::backendtest
