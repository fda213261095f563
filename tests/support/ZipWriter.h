#pragma once

// Zip archives for the update tests: stored entries with their names exactly as given (dots,
// slashes, drives), which zip tools would clean up.

#include <QByteArray>
#include <QList>

namespace qm::testing {

struct TZipEntry {
    QByteArray Name; // marked UTF-8 when it is not ASCII
    QByteArray Data;
    QByteArray UnicodePath; // Info-ZIP's Unicode path field, when not empty
};

// With `zip64`, the end record's fields are all-ones and the zip64 end record holds them, as
// tools write archives too large for the short fields.
QByteArray StoredZip(const QList<TZipEntry>& entries, const QByteArray& comment = {},
                     bool zip64 = false);

} // namespace qm::testing
