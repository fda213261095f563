#include "themes/SystemTheme.h"
#include "themes/WindowsDarkMode.h"

namespace qm::themes {

bool SystemPrefersDark() {
    return SystemUsesDarkThemeFromRegistry();
}

// WM_SETTINGCHANGE reaches the main window directly.
void WatchSystemTheme(QObject*, std::function<void()>) {}

} // namespace qm::themes
