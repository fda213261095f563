// The Registry page (real widgets, offscreen) converting an export: how long the conversion
// takes, how long the event loop waits at most between two turns during it (how late a click
// can be answered), the process's peak memory and the size of the section shown.
//
//   qm_registry_page_bench FILE

#include "PageBench.h"
#include "regconv/AdvancedRegConverter.h"
#include "regconv/RegistryPage.h"

#include <QLineEdit>

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: qm_registry_page_bench FILE\n", stderr);
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
    return 0;
}
