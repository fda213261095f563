#pragma once

// What the page benchmarks share: the window's message items, and a page's work run from the
// event loop with a probe timer that wants to run every millisecond; the longest wait between
// its runs is the longest time the window could not answer a click. Prints one line of
// `name=value` fields for the bench scripts.

#include "widgets/SectionText.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <sys/resource.h>

namespace qm::bench {

inline void AddMessageItems(QMenu& messages, std::initializer_list<const char*> names) {
    for (const char* name : names)
        messages.addAction(QString::fromLatin1(name))->setObjectName(QString::fromLatin1(name));
}

// Runs `work` once the event loop runs, then reports on it and on the section `lines` shows.
inline void MeasurePageWork(QApplication& app, const std::function<void()>& work,
                            const TSectionText& lines) {
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longestGap = 0;
    QTimer probe;
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longestGap = std::max(longestGap, now - last);
        last = now;
    });
    clock.start();
    probe.start();
    QTimer::singleShot(0, &app, [&] {
        work();
        app.quit();
    });
    app.exec();
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    probe.stop();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const qint64 bytes = lines.Utf8Size() + 2 * lines.LineCount(); // as written, in CR LF lines
    std::printf(
        "page_seconds=%.3f lines=%lld longest_event_gap_ms=%.1f max_rss_mb=%.1f "
        "section_mb=%.1f\n",
        seconds, static_cast<long long>(lines.LineCount()), static_cast<double>(longestGap) / 1e6,
        static_cast<double>(usage.ru_maxrss) / 1024.0, static_cast<double>(bytes) / 1048576);
}

} // namespace qm::bench
