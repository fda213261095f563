// The Registry page (real widgets, offscreen) converting an export: how long the conversion
// takes, how long the event loop waits at most between two turns during it (how late a click
// can be answered), the process's peak memory and the size of the section shown. With
// --accessible, then what a screen reader's request for all of the section's text costs: its
// time, the memory in use before, at its peak and after the answer is dropped, and the time of
// a request for the last line.
//
//   qm_registry_page_bench FILE [--accessible]

#include "PageBench.h"
#include "regconv/AdvancedRegConverter.h"
#include "regconv/RegistryPage.h"

#include <QAccessible>
#include <QElapsedTimer>
#include <QLineEdit>
#include <cstdio>
#include <unistd.h>

namespace {

// The memory the process uses now, in MB.
double ResidentMb() {
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1048576;
}

void MeasureAccessibleText(TSectionView* view) {
    QAccessibleTextInterface* text = QAccessible::queryAccessibleInterface(view)->textInterface();
    const double before = ResidentMb();
    QElapsedTimer clock;
    clock.start();
    double peak = 0;
    int characters = 0;
    {
        int start = 0;
        int end = 0;
        const QString all = text->textAtOffset(0, QAccessible::NoBoundary, &start, &end);
        characters = static_cast<int>(all.size());
        peak = ResidentMb();
    }
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    const double after = ResidentMb();
    clock.restart();
    int start = 0;
    int end = 0;
    const QString last =
        text->textAtOffset(text->characterCount() - 1, QAccessible::LineBoundary, &start, &end);
    std::printf("all_text_seconds=%.3f characters=%d rss_before_mb=%.1f rss_peak_mb=%.1f "
                "rss_after_mb=%.1f last_line_ms=%.3f\n",
                seconds, characters, before, peak, after,
                static_cast<double>(clock.nsecsElapsed()) / 1e6);
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool accessible = argc == 3 && QByteArrayView(argv[2]) == "--accessible";
    if (argc != 2 && !accessible) {
        std::fputs("usage: qm_registry_page_bench FILE [--accessible]\n", stderr);
        return 2;
    }
    QMenu messages;
    qm::bench::AddMessageItems(messages, {"LangSelectFolder", "LangBadMinVersion"});
    TAdvancedRegConverter converter;
    TRegistryPage page(&messages);
    page.SetConverter(&converter);
    page.resize(800, 500);
    page.show();
    page.EditPathReg->setText(QString::fromLocal8Bit(argv[1]));
    qm::bench::MeasurePageWork(
        app, [&] { page.ButtonChangeRegClick(); }, page.MemoReg->Lines());
    if (accessible)
        MeasureAccessibleText(page.MemoReg);
    return 0;
}
