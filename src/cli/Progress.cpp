#include "cli/Progress.h"

#include "platform/Console.h"

#include <cstdio>

namespace qm::cli {

namespace {

constexpr qint64 kFirstAfterMs = 500;
constexpr qint64 kEveryMs = 250;

// Back to the line's start, and the rest of the line erased.
constexpr char kClearLine[] = "\r\033[K";

} // namespace

TProgress::TProgress(bool quiet, bool outputToTerminal)
    : m_enabled(!quiet && !outputToTerminal && qm::platform::StderrIsTerminal()) {
    m_started.start();
}

TProgress::~TProgress() {
    if (m_shown) {
        std::fputs(kClearLine, stderr);
        std::fflush(stderr);
    }
}

bool TProgress::Due() const {
    const qint64 now = m_started.elapsed();
    return m_enabled && now >= kFirstAfterMs && (!m_shown || now - m_lastAt >= kEveryMs);
}

void TProgress::Report(const QString& text) {
    if (!Due())
        return;
    m_lastAt = m_started.elapsed();
    m_shown = true;
    std::fputs(kClearLine, stderr);
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

} // namespace qm::cli
