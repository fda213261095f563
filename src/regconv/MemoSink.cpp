#include "regconv/MemoSink.h"

#include "widgets/SectionView.h"

#include <QCoreApplication>

namespace {

// Often enough that the window answers at once, seldom enough to cost nothing.
constexpr qint64 kPumpNanoseconds = 16'000'000;

} // namespace

void TMemoSink::Clear() {
    FMemo->clear();
}

void TMemoSink::AppendLine(const QString& line) {
    FMemo->AppendLines({line});
}

void TMemoSink::AppendLines(const QStringList& lines) {
    FMemo->AppendLines(lines);
}

void TMemoSink::AppendText(QStringView lines) {
    FMemo->AppendText(lines);
}

void TMemoSink::Start() {
    FStopped = false;
    FPumpClock.start();
}

bool TMemoSink::Proceed() {
    if (FPumpClock.nsecsElapsed() >= kPumpNanoseconds) {
        QCoreApplication::processEvents();
        FPumpClock.start();
    }
    return !FStopped;
}
