#include "regconv/MemoSink.h"

#include "widgets/SectionView.h"

#include <QCoreApplication>

namespace {

// Often enough that the window answers at once, seldom enough to cost nothing.
constexpr qint64 kPumpNanoseconds = 16'000'000;

} // namespace

void TMemoSink::Clear() {
    FPending.clear();
    FMemo->clear();
}

void TMemoSink::AppendLine(const QString& line) {
    FPending.append(line);
}

void TMemoSink::AppendLines(const QStringList& lines) {
    FPending.append(lines);
}

void TMemoSink::Start() {
    FStopped = false;
    FPumpClock.start();
}

void TMemoSink::Flush() {
    if (FPending.isEmpty())
        return;
    FMemo->AppendLines(FPending);
    FPending.clear();
}

bool TMemoSink::Proceed() {
    if (FPumpClock.nsecsElapsed() >= kPumpNanoseconds) {
        Flush();
        QCoreApplication::processEvents();
        FPumpClock.start();
    }
    return !FStopped;
}
