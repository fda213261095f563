#pragma once

// Values of an executable's version resource. None of these fails: a file without version
// data, or with data that cannot be read, gives empty text.

#include <QString>

// The string ValueName of the file's version resource, from the block of its first
// translation.
QString GetVersionInfoValue(const QString& FileName, const QString& ValueName);
// The file version as dotted numbers: the FileVersion string's leading digits, dots and commas,
// else the four numbers of the fixed part.
QString GetFileVersionText(const QString& FileName);
QString GetLegalCopyright(const QString& FileName);
QString GetCompanyName(const QString& FileName);
// The string block the readers use ("040904E4" when the file names none); empty when the file
// has no version data.
QString GetVersionBlockKey(const QString& FileName);
