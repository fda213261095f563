#pragma once

// The system's own dark-apps preference and its change notification; one implementation per
// system, chosen by the build.

#include <QObject>
#include <functional>

namespace qm::themes {

bool SystemPrefersDark();

// Calls `changed` whenever the system announces a change of its appearance settings, for as
// long as `owner` lives. (On Windows the main window receives WM_SETTINGCHANGE itself.) False
// when a session bus runs but refused the subscription.
bool WatchSystemTheme(QObject* owner, std::function<void()> changed);

} // namespace qm::themes
