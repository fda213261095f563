#pragma once

// The pieces of one [Files] entry line.

#include <QString>
#include <QStringView>

namespace qm::filelist {

// Everything up to and including the last path separator of the folder text.
QStringView BaseDirectory(QStringView folderText);

// The names of the folders between the scanned folder (the folder text) and `folder`, joined
// with "\" for the installed system: "" for the scanned folder itself.
QString SubfolderPath(QStringView folder, QStringView folderText);

// The destination text of a file in `subfolder`: the base from the list (without one trailing
// "\"), "\" and the subfolder, with every run of backslashes collapsed into one. A "{" in a
// subfolder name is doubled, because Inno Setup expands constants in DestDir.
QString DestDirFor(QStringView destDirText, QStringView subfolder);

// The line: Source: "SOURCE"; DestDir: "DESTDIR"; then "Flags: ...;" when flags are given.
// A double quote in a path (possible outside Windows) is doubled.
QString EntryLine(QStringView source, QStringView destDir, QStringView flags);

} // namespace qm::filelist
