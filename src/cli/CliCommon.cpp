#include "cli/CliCommon.h"

#include "platform/Console.h"

#include <QFile>
#include <QSaveFile>
#include <cstdio>

namespace qm::cli {

namespace {

// Encodes in slices so a section of a million lines is never held twice as one block.
bool WriteUtf8Lines(QIODevice& device, const QStringList& lines) {
    constexpr qsizetype kSlice = 1 << 20;
    QString chunk;
    chunk.reserve(kSlice + 1024);
    for (const QString& line : lines) {
        chunk.append(line);
        chunk.append(QLatin1StringView("\r\n"));
        if (chunk.size() >= kSlice) {
            if (device.write(chunk.toUtf8()) < 0)
                return false;
            chunk.clear();
        }
    }
    return device.write(chunk.toUtf8()) >= 0;
}

} // namespace

void PrintError(const QString& message) {
    std::fputs(QString(QStringLiteral("quillmark-cli: ") + message + u'\n').toLocal8Bit().constData(), stderr);
}

int UsageError(const QString& message) {
    PrintError(message + QStringLiteral(" (see quillmark-cli --help)"));
    return kExitUsage;
}

void PrintText(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

QString WriteLines(const QStringList& lines, const QString& outPath) {
    if (outPath.isEmpty()) {
        std::fflush(stdout);
        qm::platform::SetStdoutBinary();
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly) || !WriteUtf8Lines(out, lines) || !out.flush())
            return QStringLiteral("cannot write to standard output: ") + out.errorString();
        return {};
    }
    QSaveFile out(outPath);
    if (!out.open(QIODevice::WriteOnly) || !WriteUtf8Lines(out, lines) || !out.commit())
        return QStringLiteral("cannot write \"%1\": %2").arg(outPath, out.errorString());
    return {};
}

} // namespace qm::cli
