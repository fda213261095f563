#pragma once

// The portable build's archive, looked at before its update script unpacks it over the program:
// the names in its central directory, read without extracting anything.

#include <QString>
#include <QStringView>

namespace qm::update {

// Whether an entry named `name` would land outside the folder it is unpacked into: an empty
// name, a leading slash or backslash, a drive ("C:"), or a part of dots and spaces holding two
// dots or more ("..", and "... " which Windows reads as ".."), with either slash as separator.
[[nodiscard]] bool LeavesFolder(QStringView name);

// Whether the zip archive at `path` can be read and every entry stays inside the folder: both
// the entry's name and the Unicode path that Info-ZIP's unzip prefers to it. An archive that
// spans several disks, or whose directory runs past the file, cannot be read.
[[nodiscard]] bool SafeToUnpack(const QString& path);

} // namespace qm::update
