// Test helper: writes COUNT values named PREFIX0, PREFIX1, ... into HKCU\Software\Parallel.
//   qm_registry_writer PREFIX COUNT

#include "platform/CodePage.h"
#include "platform/Registry.h"

#include <cstdlib>
#include <string>

int main(int argc, char* argv[]) {
    if (argc != 3)
        return 2;
    qm::platform::RegistryAccessor registry(qm::platform::RegistryAccessor::Access::Full);
    if (!registry.OpenKey(u"Software\\Parallel", false))
        return 1;
    const int count = std::atoi(argv[2]);
    for (int i = 0; i < count; ++i) {
        const std::u16string name =
            qm::platform::DecodeUtf8(std::string(argv[1]) + std::to_string(i));
        if (!registry.WriteString(name, u"1"))
            return 1;
    }
    return 0;
}
