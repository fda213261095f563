#pragma once

// What differs between the systems in installing an update; one implementation per system,
// chosen by the build. (The file names are declared in UpdateServers.h.)

#include <QString>

namespace qm::update {

// Writes this system's portable update script (see UpdateInstall.h) for the program `exe` in
// `folder` (with its trailing separator), running as process `pid`, and the archive `zip`
// there; its path, or the empty text when it could not be written.
[[nodiscard]] QString WritePortableUpdateScript(const QString& folder, const QString& exe,
                                                const QString& zip, qint64 pid);

// Starts a written portable update script, hidden (Linux: read by /bin/sh, so a folder that
// runs no programs still runs it). False when it could not be started.
bool StartUpdateScript(const QString& path);

// Opens the downloaded installer build. Quick: unattended, in `language` (Windows: the setup
// program's silent parameters); otherwise as the user would open it. Elsewhere the package
// goes to the desktop's handler either way. False when it could not be started.
bool OpenInstaller(const QString& path, bool quick, const QString& language);

} // namespace qm::update
