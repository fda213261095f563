#include "themes/SystemTheme.h"
#include "themes/WindowsDarkMode.h"

namespace qm::themes {

bool SystemPrefersDark() {
    return SystemUsesDarkThemeFromRegistry();
}

// WM_SETTINGCHANGE reaches the main window directly.
bool WatchSystemTheme(QObject*, std::function<void()>) {
    return true;
}

} // namespace qm::themes
