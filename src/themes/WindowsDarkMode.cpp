#include "themes/WindowsDarkMode.h"

#include "platform/Registry.h"
#include "themes/ModernStyles.h"
#include "themes/SystemTheme.h"

namespace {

QString& AppliedStyle() {
    static QString name;
    return name;
}

TDarkThemeSource& Source() {
    static TDarkThemeSource source;
    return source;
}

} // namespace

void SelectStyle(bool Flag, const QString& StyleIfSet, const QString& StyleIfClear) {
    const QString& name = Flag ? StyleIfSet : StyleIfClear;
    if (qm::themes::ApplyModernStyle(name))
        AppliedStyle() = name;
}

QString CurrentStyleName() {
    return AppliedStyle();
}

bool SystemUsesDarkTheme() {
    return Source() ? Source()() : qm::themes::SystemPrefersDark();
}

void SetDarkThemeSource(TDarkThemeSource source) {
    Source() = std::move(source);
}

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
