// The main window's settings, read at creation and written at close, and its size and place.

#include "app/Unit_Base.h"
#include "filelist/FilesPage.h"
#include "regconv/RegistryPage.h"
#include "settings/IniFile.h"
#include "settings/PortablePath.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

namespace {

const QString kOption = QStringLiteral("Option");

const QString kRegistry = QStringLiteral("Registry");

const QString kFiles = QStringLiteral("Files");

} // namespace

void TForm1::LoadNastr() {
    CheckAndSetRegistryForFileTypes();
    const TIniFile ini(PortablePath());
    // A stored item is clicked, which applies its style: of several, the last one wins.
    const std::pair<QAction*, void (TForm1::*)()> themes[] = {
        {ThemeAuto, &TForm1::ThemeAutoClick},
        {ThemeLight, &TForm1::ThemeLightClick},
        {ThemeDark, &TForm1::ThemeDarkClick}};
    for (const auto& [item, click] : themes) {
        item->setChecked(ini.ReadBool(kOption, item->objectName(), false));
        if (item->isChecked())
            (this->*click)();
    }
    TabFile->CheckBoxFullName->setChecked(
        ini.ReadBool(kOption, QStringLiteral("CheckBoxFullName"), false));
    TabFile->CheckBoxEmptyDirs->setChecked(
        ini.ReadBool(kFiles, TabFile->CheckBoxEmptyDirs->objectName(), false));
    // In this order: the page's handlers keep the two key options apart.
    for (QCheckBox* box : {TabReg->CheckBoxUninsdeletevalue, TabReg->CheckBoxUninsdeletekey,
                           TabReg->CheckBoxUninsdeletekeyifempty, TabReg->CheckBoxClassesAsHka,
                           TabReg->CheckBoxWow64View})
        box->setChecked(ini.ReadBool(kRegistry, box->objectName(), false));
    TabReg->SetPrivilegesText(
        ini.ReadString(kRegistry, TabReg->ComboBoxPrivileges->objectName(), QString()));
    TabReg->EditMinVersion->setText(
        ini.ReadString(kRegistry, TabReg->EditMinVersion->objectName(), QString()));
    TabFile->SetFileOptionsVisible(
        ini.ReadBool(kOption, QStringLiteral("ButtonFileOption"), false));
    TabReg->SetRegOptionsVisible(ini.ReadBool(kOption, QStringLiteral("ButtonRegOption"), false));

    if (ini.ReadString(kOption, QStringLiteral("Window"), QString()) == u"wsMaximized") {
        setWindowState(windowState() | Qt::WindowMaximized);
        return;
    }
    // A size not stored keeps the window's current one.
    const QSize outer = frameGeometry().size();
    const int width = ini.ReadInteger(kOption, QStringLiteral("Width"), -1);
    const int height = ini.ReadInteger(kOption, QStringLiteral("Height"), -1);
    if (width < 0 && height < 0)
        return;
    // A size stored on a larger screen is kept to this one's free area, frame included, so the
    // title strip and the general-menu button stay on the screen.
    QSize stored(width < 0 ? outer.width() : width, height < 0 ? outer.height() : height);
    if (screen())
        stored = stored.boundedTo(screen()->availableGeometry().size());
    if (isVisible())
        resize(stored - (frameGeometry().size() - size()));
    else
        FPendingOuterSize = stored; // the frame is known once the window is shown
}

bool TForm1::SaveNastr(QString& error) {
    ApplyPendingVerb(EmbedFolderMenu, FPrevEmbedMenuState, &TForm1::RegisterContextMenu,
                     &TForm1::UnregisterContextMenu);
    ApplyPendingVerb(EmbedRegMenu, FPrevEmbedMenuStateReg, &TForm1::RegisterContextMenuReg,
                     &TForm1::UnregisterContextMenuReg);
    TIniFile ini(PortablePath());
    ini.WriteBool(kOption, QStringLiteral("CheckBoxQuickUpdate"),
                  FQuickUpdate ? FQuickUpdate() : true);
    ini.WriteBool(kOption, QStringLiteral("CheckBoxFullName"),
                  TabFile->CheckBoxFullName->isChecked());
    for (QCheckBox* box : {TabReg->CheckBoxUninsdeletevalue, TabReg->CheckBoxUninsdeletekey,
                           TabReg->CheckBoxUninsdeletekeyifempty, TabReg->CheckBoxClassesAsHka,
                           TabReg->CheckBoxWow64View})
        ini.WriteBool(kRegistry, box->objectName(), box->isChecked());
    ini.WriteString(kRegistry, TabReg->ComboBoxPrivileges->objectName(), TabReg->PrivilegesText());
    ini.WriteString(kRegistry, TabReg->EditMinVersion->objectName(),
                    TabReg->EditMinVersion->text().trimmed());
    ini.WriteBool(kFiles, TabFile->CheckBoxEmptyDirs->objectName(),
                  TabFile->CheckBoxEmptyDirs->isChecked());
    ini.WriteBool(kOption, QStringLiteral("ButtonFileOption"), TabFile->FileOptionsVisible());
    ini.WriteBool(kOption, QStringLiteral("ButtonRegOption"), TabReg->RegOptionsVisible());
    for (QAction* theme : {ThemeAuto, ThemeLight, ThemeDark})
        ini.WriteBool(kOption, theme->objectName(), theme->isChecked());
    if (isMaximized()) {
        ini.WriteString(kOption, QStringLiteral("Window"), QStringLiteral("wsMaximized"));
    } else {
        ini.WriteString(kOption, QStringLiteral("Window"), QStringLiteral("wsNormal"));
        ini.WriteInteger(kOption, QStringLiteral("Height"), frameGeometry().height());
        ini.WriteInteger(kOption, QStringLiteral("Width"), frameGeometry().width());
    }
    if (ini.Save())
        return true;
    error = ini.ErrorString();
    return false;
}

void TForm1::closeEvent(QCloseEvent* event) {
    // A scan or a conversion still running is stopped: the window it writes to is going away.
    if (TabFile->Scanner().ButtonState() == TFileScanner::bsScanning)
        TabFile->ButtonSearchClick();
    TabReg->StopConversion();
    QString error;
    const bool saved =
        SaveNastr(error) && TabFile->SaveFlagsToIni(error) && TabFile->SaveDestDirToIni(error);
    if (!saved) {
        // Told once; the window closes all the same.
        QMessageBox::warning(this, kApplicationTitle,
                             SettingsNotSavedMessage(PortablePath(), error));
    }
    event->accept();
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!FPlaced) {
        FPlaced = true;
        AwaitFrame(0);
    }
}

// The stored size is the outer one, frame included, and the window is centred frame and all:
// both need the frame, which an X11 window manager adds only some time after the window has
// been shown, later still on a busy machine. The window is sized and centred as soon as the
// frame is known (a second resize while the manager still frames the window can be lost).
// After five seconds without one it is placed as it is, for there may be no window manager;
// a frame that comes later still (seen on a loaded machine) has it placed again.
void TForm1::AwaitFrame(int tries) {
    constexpr int kFramePolls = 500;     // every 10 ms
    constexpr int kLateFramePolls = 250; // then every 100 ms
    // Known: a frame around the window, not the window alone (nor a frame being made).
    const bool framed = frameGeometry() != geometry() && frameGeometry().contains(geometry());
    if (!framed && tries < kFramePolls + kLateFramePolls &&
        QGuiApplication::platformName() == u"xcb") {
        if (tries == kFramePolls)
            PlaceWindow();
        QTimer::singleShot(tries < kFramePolls ? 10 : 100, this,
                           [this, tries] { AwaitFrame(tries + 1); });
        return;
    }
    if (framed || tries < kFramePolls)
        PlaceWindow();
    FPendingOuterSize = QSize();
}

void TForm1::PlaceWindow() {
    if (isMaximized())
        return;
    if (FPendingOuterSize.isValid())
        resize(FPendingOuterSize - (frameGeometry().size() - size()));
    if (screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen()->availableGeometry().center());
        move(frame.topLeft());
    }
}
