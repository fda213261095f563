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

// The DestDir value of a file in `subfolder`, as written between its quotes: the destination
// text exactly as it stands (it is script: {app}\bin, a preprocessor expression; "{app}" when
// there is none) without one trailing "\", then "\" and the subfolder, which comes from the disk
// and is made safe for the compiler and the preprocessor; every run of backslashes collapsed into
// one.
QString DestDirFor(QStringView destDirText, QStringView subfolder);

// Why Windows cannot hold a file or folder of this name (a character it forbids, a trailing
// dot or blank, a device name such as CON or COM1), or an empty text.
QString WindowsNameProblem(QStringView name);

// The comment line for a file or folder that is not listed: "; Not converted: REASON: PATH".
QString NotConvertedLine(QStringView reason, QStringView path);

// The line: Source: "SOURCE"; DestDir: "DESTDIR"; then `flags` ("Flags: ...") and ";" when
// flags are given. `destDir` is written as DestDirFor made it; the Source path as Inno Setup
// reads it: "{" doubled when the external flag asks the compiler to expand constants there,
// every "{#" kept from the preprocessor. A path holding a character that would split or cut
// the line, or a quote (the compiler refuses one in Source), gives a comment line instead.
QString EntryLine(QStringView source, QStringView destDir, QStringView flags);

// The [Dirs] line that creates the folder `destDir` (as DestDirFor made it); a comment line,
// naming `path`, when the folder's name cannot be written.
QString DirsLine(QStringView destDir, QStringView path);

} // namespace qm::filelist
