#include "osutils/Launch.h"

#include "platform/Shell.h"

namespace qm::osutils {

bool StartScriptHidden(const QString& path) {
    return qm::platform::ShellOpen(path.toStdU16String(), u"", qm::platform::ShowMode::Hidden);
}

bool OpenInstaller(const QString& path, const QString& silentParameters) {
    return qm::platform::ShellOpen(path.toStdU16String(), silentParameters.toStdU16String(),
                                   qm::platform::ShowMode::Normal);
}

} // namespace qm::osutils
