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

// The line: Source: "SOURCE"; DestDir: "DESTDIR"; then `flags` ("Flags: ...") and ";" when
// flags are given. Written as Inno Setup reads it: a double quote in a path (possible outside
// Windows) doubled, "{" doubled in Source when the external flag asks the compiler to expand
// constants there, every "{#" kept from the preprocessor. A path holding a character that
// would split or cut the line gives a "; Not converted:" comment line instead.
QString EntryLine(QStringView source, QStringView destDir, QStringView flags);

} // namespace qm::filelist
