#pragma once

// The program's two visual styles, and what the system says about dark apps.

#include <QString>
#include <functional>

inline const QString kStyleModernLight = QStringLiteral("Windows11 Modern Light");
inline const QString kStyleModernDark = QStringLiteral("Windows11 Modern Dark");

// Makes StyleIfSet (Flag true) or StyleIfClear the style of every window of the application.
// A name that is not one of the two styles changes nothing.
void SelectStyle(bool Flag, const QString& StyleIfSet, const QString& StyleIfClear);
// The style applied last; empty while the windows have the platform's default look.
QString CurrentStyleName();

// True when the system asks for dark apps. Asked anew at every call.
bool SystemUsesDarkTheme();

// Where SystemUsesDarkTheme asks; an empty source restores the system's. For tests.
using TDarkThemeSource = std::function<bool()>;
void SetDarkThemeSource(TDarkThemeSource source);
