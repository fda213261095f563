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
    "Exit codes: 0 done, 1 the input could not be read or converted, 2 wrong usage.\n"
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
    if (args.contains(u"--help") || args.contains(u"-h")) {
        PrintUsage();
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
