#include "osutils/SystemTheme.h"

#include "platform/Registry.h"

namespace qm::osutils {

bool SystemUsesDarkThemeFromRegistry() {
    qm::platform::RegistryAccessor registry(qm::platform::RegistryAccessor::Access::Read);
    if (!registry.OpenKey(u"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize\\",
                          false))
        return false;
    const bool dark = registry.ValueExists(u"AppsUseLightTheme") &&
                      registry.ReadInteger(u"AppsUseLightTheme") == 0;
    registry.CloseKey();
    return dark;
}

} // namespace qm::osutils
