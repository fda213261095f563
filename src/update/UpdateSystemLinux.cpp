// Linux: a Debian package and a zip archive of the program folder, a shell script for the
// portable build.

#include "platform/Shell.h"
#include "update/UpdateInstall.h"
#include "update/UpdateServers.h"
#include "update/UpdateSystem.h"

#include <QProcess>

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

bool StartUpdateScript(const QString& path) {
    return QProcess::startDetached(QStringLiteral("/bin/sh"), {path});
}

bool OpenInstaller(const QString& path, bool, const QString&) {
    // The package manager's own window asks what a silent Windows setup would not.
    return qm::platform::ShellOpen(path.toStdU16String());
}

} // namespace qm::update
