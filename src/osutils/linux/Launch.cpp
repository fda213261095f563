#include "osutils/Launch.h"

#include "platform/Shell.h"

#include <QProcess>

namespace qm::osutils {

bool StartScriptHidden(const QString& path) {
    return QProcess::startDetached(QStringLiteral("/bin/sh"), {path});
}

bool OpenInstaller(const QString& path, const QString&) {
    return qm::platform::ShellOpen(path.toStdU16String());
}

} // namespace qm::osutils
