// Linux: a Debian package and a zip archive of the program folder, a shell script for the
// portable build.

#include "update/UpdateInstall.h"
#include "update/UpdateServers.h"
#include "update/UpdateSystem.h"

namespace qm::update {

QString SetupFileName() {
    return ServerProductName() + QStringLiteral("-linux-amd64.deb");
}

QString PortableZipName() {
    return ServerProductName() + QStringLiteral("-linux-x86_64.zip");
}

QString WritePortableUpdateScript(const QString& folder, const QString& exe, const QString& zip,
                                  qint64 pid) {
    return WriteUpdateScript(UpdateScriptName(QTime::currentTime(), QStringLiteral("sh")),
                             PortableUpdateShell(folder, exe, zip, pid));
}

} // namespace qm::update
