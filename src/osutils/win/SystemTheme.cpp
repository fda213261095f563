#include "osutils/SystemTheme.h"

namespace qm::osutils {

bool SystemPrefersDark() {
    return SystemUsesDarkThemeFromRegistry();
}

// WM_SETTINGCHANGE reaches the main window directly.
bool WatchSystemTheme(QObject*, std::function<void()>) {
    return true;
}

} // namespace qm::osutils
