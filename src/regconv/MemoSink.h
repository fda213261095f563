#pragma once

#include "regconv/TextSink.h"

class QPlainTextEdit;

// A read-only text area as the converter's output.
class TMemoSink final : public ITextSink {
public:
    explicit TMemoSink(QPlainTextEdit* memo) : FMemo(memo) {}
    void Clear() override;
    void AppendLine(const QString& line) override;
    void AppendLines(const QStringList& lines) override;

private:
    QPlainTextEdit* FMemo;
};
