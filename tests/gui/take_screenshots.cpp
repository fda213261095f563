// Takes the screenshots in docs/screenshots: the main window with the output of both pages,
// the About window, and the update window checking, offering and downloading an update (from
// a local test server). Run it on a real display or under Xvfb (scripts/screenshots.sh).
//
//   qm_take_screenshots [--windows] OUTPUT_FOLDER EXAMPLE_FOLDER EXAMPLE_EXPORT
//
// With --windows (the Windows build under wine on Xvfb: scripts/screenshots.sh --windows) only
// the main window's two pages, in the platform's own style.

#include "UpdateTestServer.h"
#include "about/Unit_About.h"
#include "app/AppIcons.h"
#include "app/Unit_Base.h"
#include "filelist/FilesPage.h"
#include "regconv/RegistryPage.h"
#include "settings/IniFile.h"
#include "settings/PortablePath.h"
#include "themes/WindowsDarkMode.h"
#include "update/Unit_Update.h"
#include "update/UpdateHttp.h"
#include "update/UpdateServers.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

namespace {

bool Save(QWidget& window, const QString& file) {
    QApplication::processEvents();
    return window.grab().save(file);
}

// The update window against a local server: checking, an update found, downloading.
bool TakeUpdateWindow(const QString& out) {
    TUpdateTestServer server;
    if (!server.Error().isEmpty())
        return false;
    qm::update::THttpClient::SetExtraCaCertificates({server.Certificate()});
    qputenv(qm::update::kUpdateUrlsVariable, server.HttpsBase().toUtf8());
    const QByteArray folder = "/download/Quillmark/";
    server.SetRoute(folder + "version.txt", TRoute::Stalled());
    server.SetRoute(folder + qm::update::SetupFileName().toUtf8(),
                    TRoute::Slow(QByteArray(4'000'000, 'x'), 40'000, 10));
    TIniFile settings(PortablePath());
    settings.WriteBool(QStringLiteral("Option"), QStringLiteral("CheckBoxAutoCheck"), false);
    if (!settings.Save())
        qFatal("cannot write the settings");

    bool ok = false;
    {
        TForm10 checking;
        checking.show();
        ok = Save(checking, QStringLiteral("%1update-checking.png").arg(out));
    }
    server.SetRoute(folder + "version.txt", TRoute::Answer(200, "0.2.0.0"));
    TForm10 form10;
    form10.show();
    while (form10.LabelServerVersion->text().isEmpty() || !form10.GroupBoxOption->isEnabled())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    ok = Save(form10, QStringLiteral("%1update-available.png").arg(out)) && ok;
    bool downloading = false;
    QTimer grab;
    QObject::connect(&grab, &QTimer::timeout, [&] {
        if (form10.ProgressBarUpdate->value() < 40)
            return;
        grab.stop();
        downloading = Save(form10, QStringLiteral("%1update-downloading.png").arg(out));
        form10.ButtonDownload->click(); // cancels
    });
    grab.start(5);
    form10.ButtonDownload->click();
    form10.close();
    return ok && downloading;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmark"));
    QApplication::setWindowIcon(qm::app::ProgramIcon());
    QStringList args = QApplication::arguments();
    const bool windows = args.value(1) == u"--windows";
    if (windows)
        args.removeAt(1);
    if (args.size() != 4) {
        std::fputs(
            "usage: qm_take_screenshots [--windows] OUTPUT_FOLDER EXAMPLE_FOLDER EXAMPLE_EXPORT\n",
            stderr);
        return 2;
    }
    const QString out = args[1] + u'/';
    TForm1 form1({});
    TForm8 form8(&form1);
    form1.resize(860, 560);
    form1.show();

    form1.TabFile->ComboBoxDestDir->addItem(QStringLiteral("{app}"));
    form1.TabFile->ComboBoxDestDir->setCurrentIndex(0);
    form1.TabFile->LabelDestDir->setText(QStringLiteral("The application folder"));
    form1.TabFile->CheckListBoxFlags->item(0)->setCheckState(Qt::Checked);
    form1.TabFile->SetFileOptionsVisible(true);
    form1.DropItem(args[2]);
    if (windows) {
        bool shown = Save(form1, out + QStringLiteral("windows-files-page.png"));
        form1.TabReg->SetRegOptionsVisible(true);
        form1.DropItem(args[3]);
        shown = Save(form1, out + QStringLiteral("windows-registry-page.png")) && shown;
        return shown ? 0 : 1;
    }
    bool ok = Save(form1, out + QStringLiteral("files-page.png"));

    form1.TabReg->SetRegOptionsVisible(true);
    form1.TabReg->CheckBoxUninsdeletekeyifempty->setChecked(true);
    form1.DropItem(args[3]);
    ok = Save(form1, out + QStringLiteral("registry-page.png")) && ok;

    form8.show();
    ok = Save(form8, out + QStringLiteral("about.png")) && ok;
    form8.hide();
    ok = TakeUpdateWindow(out) && ok;

    // In English: the language chosen as the language menu chooses it.
    TIniFile settings(PortablePath());
    settings.WriteString(QStringLiteral("Language"), QStringLiteral("Language"),
                         QStringLiteral("English"));
    if (!settings.Save())
        qFatal("cannot write the settings");
    form1.SetApplicationWindows({&form1, &form8});
    form1.LoadLanguage();
    form1.globLoad();
    form1.ButtonRegClick();
    ok = Save(form1, out + QStringLiteral("english-registry-page.png")) && ok;
    form1.ButtonFilesClick();
    ok = Save(form1, out + QStringLiteral("english-files-page.png")) && ok;

    SelectStyle(true, kStyleModernLight, kStyleModernLight);
    ok = Save(form1, out + QStringLiteral("style-light.png")) && ok;
    SelectStyle(true, kStyleModernDark, kStyleModernDark);
    ok = Save(form1, out + QStringLiteral("style-dark.png")) && ok;
    return ok ? 0 : 1;
}
