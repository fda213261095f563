#pragma once

// Installing a downloaded build: the progress arithmetic of the download, the installer's
// parameters, and the scripts that replace a portable build in place.

#include <QByteArray>
#include <QString>
#include <QTime>

namespace qm::update {

// Bytes per percent of a download of `total` bytes: total / 100 rounded to the nearest integer,
// halves to even (50 bytes give 0, 150 give 2).
qint64 ProgressStepFor(qint64 total);
// The progress bar's position after `received` bytes: received / step rounded as above, at
// most 100; `current` when the step is 0 or less (no size announced, or 50 bytes or fewer).
int ProgressPosition(qint64 received, qint64 step, int current);

// The installer build's parameters for a quick update: silent, closing the applications that
// hold its files, no message boxes, in `language`, with the task that starts the program.
QString InstallerParameters(const QString& language);

// "update_" + the time as hhnnss (24-hour) + "." + extension.
QString UpdateScriptName(const QTime& time, const QString& extension);

// The command script that replaces a Windows portable build: it enters `folder` (with its
// trailing separator; pushd, so a network folder works too) or stops, ends `exe`, extracts
// `zip` into a staging folder refusing entries with a ".." part or an absolute path, copies
// that over the folder, deletes `zip`, starts `exe` again and deletes itself. A failed
// extraction leaves the program as it was and the archive kept. CR LF line ends. In the
// system's OEM code page, which the command interpreter reads; when a name has no form there,
// in UTF-8 with "chcp 65001 >nul" as its second line. "%" in the names is doubled, since the
// command interpreter would expand it, and in the PowerShell string the archive name's single
// quotes are doubled. Empty when a name holds a double quote or a control character, which no
// Windows name holds and no script line can quote.
QByteArray PortableUpdateBatch(const QString& folder, const QString& exe, const QString& zip);

// The same steps as a POSIX shell script (UTF-8, LF): it ends the process `pid` (the running
// program) and waits for it to exit, extracts with "unzip -o" (the archive is deleted only when
// that succeeded), and starts `exe` detached. Empty when a name holds a zero character.
QByteArray PortableUpdateShell(const QString& folder, const QString& exe, const QString& zip,
                               qint64 pid);

// Writes a script into the private work folder (executable for its owner); its path, or the
// empty text when the file does not exist afterwards or `bytes` is empty (no script made).
[[nodiscard]] QString WriteUpdateScript(const QString& name, const QByteArray& bytes);

} // namespace qm::update
