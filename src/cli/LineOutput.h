#pragma once

#include "regconv/TextSink.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QString>
#include <QStringEncoder>
#include <QStringList>
#include <functional>

namespace qm::cli {

// Where a command writes its section: standard output, or a file that is replaced only once
// the whole text is written. Lines are encoded as UTF-8, each followed by CR LF, straight into
// a 1 MiB buffer, so a large section is neither copied nor held a second time.
class TLineOutput {
public:
    // An empty path, or "-", is standard output.
    bool Open(const QString& outPath);
    // Whether lines go to standard output, and that is a terminal.
    static bool ToTerminal(const QString& outPath);
    [[nodiscard]] bool Write(const QStringList& lines);
    // Text whose lines already end in CR LF.
    [[nodiscard]] bool WriteText(QStringView text);
    [[nodiscard]] bool Commit();
    // What failed, naming the file.
    [[nodiscard]] QString ErrorMessage() const;

private:
    bool Flush();
    QIODevice& Device() { return m_toFile ? static_cast<QIODevice&>(m_file) : m_stdout; }

    QString m_path;
    bool m_toFile = false;
    QFile m_stdout;
    QSaveFile m_file;
    QStringEncoder m_encoder{QStringEncoder::Utf8};
    QByteArray m_buffer;
    qsizetype m_used = 0;
};

// A converter's output going straight to a TLineOutput.
class TLineOutputSink final : public ITextSink {
public:
    explicit TLineOutputSink(TLineOutput& output) : m_output(output) {}
    void Clear() override {}
    void AppendLine(const QString& line) override { AppendLines(QStringList{line}); }
    void AppendLines(const QStringList& lines) override {
        m_ok = m_ok && m_output.Write(lines);
        AfterWrite();
    }
    void AppendText(QStringView lines) override {
        m_ok = m_ok && m_output.WriteText(lines);
        AfterWrite();
    }
    // Called after each write (to report progress).
    void SetAfterWrite(std::function<void()> afterWrite) { m_afterWrite = std::move(afterWrite); }
    // False once a write has failed (the output says why).
    [[nodiscard]] bool Ok() const { return m_ok; }

private:
    void AfterWrite() {
        if (m_afterWrite)
            m_afterWrite();
    }

    TLineOutput& m_output;
    bool m_ok = true;
    std::function<void()> m_afterWrite;
};

// Writes all lines to `outPath` (empty or "-": standard output). Returns an error message, or an
// empty text on success.
[[nodiscard]] QString WriteLines(const QStringList& lines, const QString& outPath);

} // namespace qm::cli
