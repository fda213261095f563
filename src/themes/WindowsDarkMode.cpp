#include "themes/WindowsDarkMode.h"

#include "osutils/SystemTheme.h"
#include "themes/ModernStyles.h"

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
    return Source() ? Source()() : qm::osutils::SystemPrefersDark();
}

void SetDarkThemeSource(TDarkThemeSource source) {
    Source() = std::move(source);
}
