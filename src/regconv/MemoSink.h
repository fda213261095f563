#pragma once

#include "regconv/TextSink.h"

#include <QElapsedTimer>

class TSectionView;

// The Registry page's section view as the streaming converter's output: the lines go to the
// view as they come, and every few milliseconds the window's events run, so the window answers
// (and can stop the conversion) however large the export.
class TMemoSink final : public ITextSink {
public:
    explicit TMemoSink(TSectionView* memo) : FMemo(memo) {}
    void Clear() override;
    void AppendLine(const QString& line) override;
    void AppendLines(const QStringList& lines) override;
    void AppendText(QStringView lines) override;
    bool Proceed() override;

    // A conversion begins; Stop makes it end at the next question.
    void Start();
    void Stop() { FStopped = true; }
    [[nodiscard]] bool Stopped() const { return FStopped; }

private:
    TSectionView* FMemo;
    QElapsedTimer FPumpClock;
    bool FStopped = false;
};
