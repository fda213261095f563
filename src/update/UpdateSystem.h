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

} // namespace qm::update
