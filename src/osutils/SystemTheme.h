#pragma once

// The system's own dark-apps preference and its change notification. Windows: the registry
// (and WM_SETTINGCHANGE, which reaches the main window itself). Linux: the freedesktop
// settings portal over D-Bus.

#include <QObject>
#include <functional>

namespace qm::osutils {

bool SystemPrefersDark();

// Calls `changed` whenever the system announces a change of its appearance settings, for as
// long as `owner` lives. False when a session bus runs but refused the subscription.
bool WatchSystemTheme(QObject* owner, std::function<void()> changed);

// The Windows answer: the integer value AppsUseLightTheme of the current user's key
// Software\Microsoft\Windows\CurrentVersion\Themes\Personalize is 0. A missing key or value is
// light; a value that is not an integer throws qm::platform::RegistryError. Built everywhere,
// on the registry's stand-in elsewhere, so that the rule is tested on every system.
bool SystemUsesDarkThemeFromRegistry();

} // namespace qm::osutils
