// Windows: the setup program and the zip archive, a command script for the portable build.

#include "platform/Shell.h"
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

bool StartUpdateScript(const QString& path) {
    return qm::platform::ShellOpen(path.toStdU16String(), u"", qm::platform::ShowMode::Hidden);
}

bool OpenInstaller(const QString& path, bool quick, const QString& language) {
    return qm::platform::ShellOpen(path.toStdU16String(),
                                   quick ? InstallerParameters(language).toStdU16String()
                                         : std::u16string(),
                                   qm::platform::ShowMode::Normal);
}

} // namespace qm::update
