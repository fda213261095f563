#include "FuzzSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace qm::fuzzing {

QString WriteScratchFile(const QByteArray& bytes, const QString& name) {
    static QTemporaryDir folder;
    const QString path = folder.filePath(name);
    QFile file(path);
    Require(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                file.write(bytes) == bytes.size(),
            "the scratch file can be written", path);
    return path;
}

} // namespace qm::fuzzing
