#pragma once

// Starting what an update leaves behind. Windows: through the shell. Linux: the script read by
// /bin/sh (so a folder that runs no programs still runs it), the package by the desktop's
// handler.

#include <QString>

namespace qm::osutils {

// Starts a script, hidden, not waiting for it. False when it could not be started.
bool StartScriptHidden(const QString& path);

// Opens an installer: with `silentParameters` (Windows: the setup program's own; elsewhere the
// package manager's window asks what a silent setup would not, and they are not used), or as
// the user would open it when they are empty. False when it could not be started.
bool OpenInstaller(const QString& path, const QString& silentParameters);

} // namespace qm::osutils
