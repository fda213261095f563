// The Files page (real widgets, offscreen) scanning a folder tree: how long the scan takes, how
// long the event loop waits at most between two turns during it (how late a Stop click can be
// answered), the process's peak memory and the size of the section the page shows.
//
//   qm_files_page_bench DIR

#include "PageBench.h"
#include "filelist/FilesPage.h"

#include <QLineEdit>

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: qm_files_page_bench DIR\n", stderr);
        return 2;
    }
    QMenu messages;
    qm::bench::AddMessageItems(messages, {"LangSearch", "LangStop", "LangSelectFolder"});
    TFilesPage page(&messages);
    page.resize(800, 500);
    page.show();
    page.EditPath->setText(QString::fromLocal8Bit(argv[1]));
    qm::bench::MeasurePageWork(
        app, [&] { page.ButtonSearchClick(); }, page.MemoFileList->Lines());
    return 0;
}
