// Windows: the setup program and the zip archive, a command script for the portable build.

#include "update/UpdateInstall.h"
#include "update/UpdateServers.h"
#include "update/UpdateSystem.h"

namespace qm::update {

QString SetupFileName() {
    return ServerProductName() + QStringLiteral("-setup.exe");
}

QString PortableZipName() {
    return ServerProductName() + QStringLiteral(".zip");
}

QString WritePortableUpdateScript(const QString& folder, const QString& exe, const QString& zip,
                                  qint64) {
    return WriteUpdateScript(UpdateScriptName(QTime::currentTime(), QStringLiteral("bat")),
                             PortableUpdateBatch(folder, exe, zip));
}

} // namespace qm::update
