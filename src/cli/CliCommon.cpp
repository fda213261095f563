#include "cli/CliCommon.h"

#include "platform/Console.h"

#include <QFile>
#include <QSaveFile>
#include <QStringEncoder>
#include <algorithm>
#include <cstdio>

namespace qm::cli {

namespace {

// Encodes line by line straight into a 1 MiB output buffer, so a section of a million lines is
// neither copied nor held a second time.
bool WriteUtf8Lines(QIODevice& device, const QStringList& lines) {
    constexpr qsizetype kFlushAt = 1 << 20;
    QStringEncoder encoder(QStringEncoder::Utf8);
    QByteArray buffer;
    qsizetype used = 0;
    for (const QString& line : lines) {
        // UTF-8 takes at most three bytes per UTF-16 code unit.
        const qsizetype need = line.size() * 3 + 2;
        if (buffer.size() - used < need) {
            if (used > 0 && device.write(buffer.constData(), used) != used)
                return false;
            used = 0;
            if (buffer.size() < need)
                buffer.resize(std::max(need, kFlushAt));
        }
        char* end = encoder.appendToBuffer(buffer.data() + used, line);
        *end++ = '\r';
        *end++ = '\n';
        used = end - buffer.constData();
    }
    return used == 0 || device.write(buffer.constData(), used) == used;
}

} // namespace

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
