#include "cli/CliCommon.h"

#include <cstdio>

namespace qm::cli {

void PrintError(const QString& message) {
    std::fputs(
        QString(QStringLiteral("quillmark-cli: ") + message + u'\n').toLocal8Bit().constData(),
        stderr);
}

int UsageError(const QString& message) {
    PrintError(message + QStringLiteral(" (see quillmark-cli --help)"));
    return kExitUsage;
}

void PrintText(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

} // namespace qm::cli
