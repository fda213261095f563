#pragma once

// Files a test makes: written whole, their folder made first, or the test program stops.

#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

namespace qm::testing {

// Writes `bytes` to `path` (replacing it) and returns the path.
inline QString WriteFile(const QString& path, QByteArrayView bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        f.write(bytes.data(), bytes.size()) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

} // namespace qm::testing
