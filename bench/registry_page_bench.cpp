// The Registry page (real widgets, offscreen) converting an export: how long the conversion
// takes, how long the event loop waits at most between two turns during it (how late a click
// can be answered), the process's peak memory and the size of the section shown.
//
//   qm_registry_page_bench FILE

#include "regconv/AdvancedRegConverter.h"
#include "regconv/RegistryPage.h"

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
        std::fputs("usage: qm_registry_page_bench FILE\n", stderr);
        return 2;
    }
    QMenu messages;
    for (const char* name : {"LangSelectFolder", "LangBadMinVersion"}) {
        auto* item = messages.addAction(QString::fromLatin1(name));
        item->setObjectName(QString::fromLatin1(name));
    }
    TAdvancedRegConverter converter;
    TRegistryPage page(&messages);
    page.SetConverter(&converter);
    page.resize(800, 500);
    page.show();
    page.EditPathReg->setText(QString::fromLocal8Bit(argv[1]));

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
    QTimer::singleShot(0, &page, [&] {
        page.ButtonChangeRegClick();
        app.quit();
    });
    app.exec();
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    probe.stop();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const TSectionText& lines = page.MemoReg->Lines();
    const qint64 bytes = lines.Utf8Size() + 2 * lines.LineCount(); // as written, in CR LF lines
    std::printf("page_seconds=%.3f lines=%d longest_event_gap_ms=%.1f max_rss_mb=%.1f "
                "section_mb=%.1f\n",
                seconds, static_cast<int>(lines.LineCount()), static_cast<double>(longestGap) / 1e6,
                static_cast<double>(usage.ru_maxrss) / 1024.0,
                static_cast<double>(bytes) / 1048576);
    return 0;
}
