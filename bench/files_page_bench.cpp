// The Files page (real widgets, offscreen) scanning a folder tree: how long the scan takes, how
// long the event loop waits at most between two turns during it (how late a Stop click can be
// answered), the process's peak memory and the size of the section the page shows.
//
//   qm_files_page_bench DIR

#include "filelist/FilesPage.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: qm_files_page_bench DIR\n", stderr);
        return 2;
    }
    QMenu messages;
    for (const char* name : {"LangSearch", "LangStop", "LangSelectFolder"}) {
        auto* item = messages.addAction(QString::fromLatin1(name));
        item->setObjectName(QString::fromLatin1(name));
    }
    TFilesPage page(&messages);
    page.resize(800, 500);
    page.show();
    page.EditPath->setText(QString::fromLocal8Bit(argv[1]));

    // A timer that wants to run every millisecond: the longest wait between its runs is the
    // longest time the window could not answer a click.
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longestGap = 0;
    QTimer probe;
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (last >= 0)
            longestGap = std::max(longestGap, now - last);
        last = now;
    });

    clock.start();
    probe.start();
    page.ButtonSearchClick();
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    probe.stop();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const TSectionText& lines = page.MemoFileList->Lines();
    const qint64 bytes = lines.Utf8Size() + 2 * lines.LineCount(); // as written, in CR LF lines
    std::printf(
        "page_seconds=%.3f lines=%d longest_event_gap_ms=%.1f max_rss_mb=%.1f "
        "section_mb=%.1f\n",
        seconds, static_cast<int>(lines.LineCount() - 1), static_cast<double>(longestGap) / 1e6,
        static_cast<double>(usage.ru_maxrss) / 1024.0, static_cast<double>(bytes) / 1048576);
    return 0;
}
