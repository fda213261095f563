#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// Where a conversion shows its lines: the Registry page's text area, or the command line's
// output. The converter clears it once per run and appends the result.
class ITextSink {
public:
    virtual ~ITextSink() = default;
    virtual void Clear() = 0;
    virtual void AppendLine(const QString& line) = 0;
    virtual void AppendLines(const QStringList& lines) = 0;
    // Lines written one after another, each ending in CR LF (no line holds a CR or an LF):
    // how the streaming converter hands over its text, without a string per line. A sink that
    // can take the text as it stands overrides this.
    virtual void AppendText(QStringView lines) { AppendLines(SplitText(lines)); }
    // The lines of such text, without their CR LF.
    static QStringList SplitText(QStringView lines) {
        QStringList split;
        for (qsizetype at = 0; at < lines.size();) {
            const qsizetype end = lines.indexOf(u'\r', at); // no line holds a CR
            split.append(lines.sliced(at, end - at).toString());
            at = end + 2;
        }
        return split;
    }
    // Asked every few thousand lines of the export: whether to go on. A window's sink lets the
    // window's events run here, and says stop when the window is closing.
    virtual bool Proceed() { return true; }
};

// Keeps the lines in memory; QStringList's implicit sharing makes AppendLines copy no text.
class TStringListSink final : public ITextSink {
public:
    void Clear() override { Lines.clear(); }
    void AppendLine(const QString& line) override { Lines.append(line); }
    void AppendLines(const QStringList& lines) override {
        if (Lines.isEmpty())
            Lines = lines;
        else
            Lines.append(lines);
    }

    QStringList Lines;
};
