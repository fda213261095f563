#include "cli/VersionCommand.h"

#include "about/FileInfoUtils.h"
#include "cli/CliCommon.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace qm::cli {

const char kVersionUsage[] =
    "quillmark-cli version FILE\n"
    "    Prints the version information of an executable (.exe, .dll): file version,\n"
    "    company, copyright, and the string block they were read from.\n"
    "quillmark-cli --version\n"
    "    Prints the program's own version.\n";

int RunVersionCommand(const QStringList& args) {
    if (args.size() != 1 || args[0].isEmpty())
        return UsageError(QStringLiteral("version needs exactly one file"));
    const QString& file = args[0];
    if (!QFileInfo(file).isFile()) {
        PrintError(QStringLiteral("%1: no such file").arg(file));
        return kExitFailed;
    }
    PrintText(QStringLiteral("FileVersion: %1\nCompanyName: %2\nLegalCopyright: %3\nBlockKey: %4\n")
                  .arg(GetFileVersionText(file), GetCompanyName(file), GetLegalCopyright(file),
                       GetVersionBlockKey(file)));
    return kExitOk;
}

int PrintOwnVersion() {
    PrintText(QStringLiteral("quillmark-cli %1\n")
                  .arg(GetFileVersionText(QCoreApplication::applicationFilePath())));
    return kExitOk;
}

} // namespace qm::cli
