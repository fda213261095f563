#pragma once

#include "regconv/TextSink.h"

#include <QElapsedTimer>

class TSectionView;

// The Registry page's section view as the streaming converter's output: every few
// milliseconds the lines written so far go to the view and the window's events run, so the
// window answers (and can stop the conversion) however large the export.
class TMemoSink final : public ITextSink {
public:
    explicit TMemoSink(TSectionView* memo) : FMemo(memo) {}
    void Clear() override;
    void AppendLine(const QString& line) override;
    void AppendLines(const QStringList& lines) override;
    bool Proceed() override;

    // A conversion begins; Stop makes it end at the next question.
    void Start();
    void Stop() { FStopped = true; }
    bool Stopped() const { return FStopped; }
    // Hands the lines waiting to the view.
    void Flush();

private:
    TSectionView* FMemo;
    QStringList FPending;
    QElapsedTimer FPumpClock;
    bool FStopped = false;
};
