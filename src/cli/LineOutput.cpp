#include "cli/LineOutput.h"

#include "platform/Console.h"

#include <algorithm>
#include <cstdio>

namespace qm::cli {

namespace {
constexpr qsizetype kBufferSize = 1 << 20;
} // namespace

bool TLineOutput::ToTerminal(const QString& outPath) {
    return (outPath.isEmpty() || outPath == u"-") && qm::platform::StdoutIsTerminal();
}

bool TLineOutput::Open(const QString& outPath) {
    m_path = outPath;
    m_toFile = !outPath.isEmpty() && outPath != u"-";
    if (m_toFile) {
        m_file.setFileName(outPath);
        return m_file.open(QIODevice::WriteOnly);
    }
    std::fflush(stdout);
    qm::platform::SetStdoutBinary();
    return m_stdout.open(stdout, QIODevice::WriteOnly);
}

bool TLineOutput::Write(const QStringList& lines) {
    for (const QString& line : lines) {
        if (!WriteText(line) || !WriteText(u"\r\n"))
            return false;
    }
    return true;
}

bool TLineOutput::WriteText(QStringView text) {
    // UTF-8 takes at most three bytes per UTF-16 code unit.
    const qsizetype need = text.size() * 3;
    if (m_buffer.size() - m_used < need) {
        if (!Flush())
            return false;
        if (m_buffer.size() < need)
            m_buffer.resize(std::max(need, kBufferSize));
    }
    m_used = m_encoder.appendToBuffer(m_buffer.data() + m_used, text) - m_buffer.constData();
    return true;
}

bool TLineOutput::Flush() {
    if (m_used > 0 && Device().write(m_buffer.constData(), m_used) != m_used)
        return false;
    m_used = 0;
    return true;
}

bool TLineOutput::Commit() {
    if (!Flush())
        return false;
    return m_toFile ? m_file.commit() : m_stdout.flush();
}

QString TLineOutput::ErrorMessage() const {
    if (m_toFile)
        return QStringLiteral("cannot write \"%1\": %2").arg(m_path, m_file.errorString());
    return QStringLiteral("cannot write to standard output: ") + m_stdout.errorString();
}

QString WriteLines(const QStringList& lines, const QString& outPath) {
    TLineOutput out;
    if (!out.Open(outPath) || !out.Write(lines) || !out.Commit())
        return out.ErrorMessage();
    return {};
}

} // namespace qm::cli
