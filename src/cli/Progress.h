#pragma once
// Progress of a long run on standard error: shown only on a terminal, only once the work has
// taken half a second, redrawn at most four times a second on one line, and cleared at the
// end, so the terminal keeps only the command's own output and messages.
#include <QElapsedTimer>
#include <QString>

namespace qm::cli {

class TProgress {
public:
    // Off with --quiet, when standard error is no terminal, and when the section itself goes to
    // the same terminal (the lines printed there are the progress).
    TProgress(bool quiet, bool outputToTerminal);
    ~TProgress(); // clears the line
    TProgress(const TProgress&) = delete;
    TProgress& operator=(const TProgress&) = delete;

    [[nodiscard]] bool Enabled() const { return m_enabled; }
    // Asks for `text` to be shown; it is, when it is time for it.
    void Report(const QString& text);
    // Whether a report now would be shown (to spare building its text).
    [[nodiscard]] bool Due() const;

private:
    bool m_enabled;
    bool m_shown = false;
    QElapsedTimer m_started;
    qint64 m_lastAt = 0;
};

} // namespace qm::cli
