#include "regconv/MemoSink.h"

#include <QPlainTextEdit>

void TMemoSink::Clear() {
    FMemo->clear();
}

void TMemoSink::AppendLine(const QString& line) {
    FMemo->appendPlainText(line);
}

// One call for all lines: the text area lays the text out once.
void TMemoSink::AppendLines(const QStringList& lines) {
    FMemo->appendPlainText(lines.join(u'\n'));
}
