// quillmark-cli: the generators of Quillmark without a window.

#include "cli/CliCommon.h"
#include "cli/FilesCommand.h"
#include "cli/RegistryCommand.h"
#include "cli/VersionCommand.h"
#include "platform/Memory.h"

#include <QCoreApplication>

namespace {

const char kUsageHead[] =
    "Usage: quillmark-cli COMMAND [ARGUMENTS]\n"
    "Writes Inno Setup script sections. Output is UTF-8 with CR LF line ends.\n"
    "Exit codes: 0 done, 1 the input could not be read, 2 wrong usage.\n"
    "\n";

void PrintUsage() {
    qm::cli::PrintText(QString::fromUtf8(kUsageHead) + QString::fromUtf8(qm::cli::kRegistryUsage) +
                       u'\n' + QString::fromUtf8(qm::cli::kFilesUsage) + u'\n' +
                       QString::fromUtf8(qm::cli::kVersionUsage));
}

} // namespace

int main(int argc, char* argv[]) {
    qm::platform::KeepFreedMemoryForReuse();
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.isEmpty())
        return qm::cli::UsageError(QStringLiteral("no command given"));
    const QString command = args.takeFirst();
    if (command == u"--version")
        return qm::cli::PrintOwnVersion();
    if (command == u"--help" || command == u"-h" || command == u"help") {
        PrintUsage();
        return qm::cli::kExitOk;
    }
    // COMMAND --help: that command's own usage.
    if (args.contains(u"--help") || args.contains(u"-h")) {
        const char* usage = command == u"registry"  ? qm::cli::kRegistryUsage
                            : command == u"files"   ? qm::cli::kFilesUsage
                            : command == u"version" ? qm::cli::kVersionUsage
                                                    : nullptr;
        if (!usage)
            return qm::cli::UsageError(QStringLiteral("unknown command %1").arg(command));
        qm::cli::PrintText(QString::fromUtf8(usage));
        return qm::cli::kExitOk;
    }
    if (command == u"registry")
        return qm::cli::RunRegistryCommand(args);
    if (command == u"files")
        return qm::cli::RunFilesCommand(args);
    if (command == u"version")
        return qm::cli::RunVersionCommand(args);
    return qm::cli::UsageError(QStringLiteral("unknown command %1").arg(command));
}
