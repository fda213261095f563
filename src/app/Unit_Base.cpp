#include "app/Unit_Base.h"

#include "about/FileInfoUtils.h"
#include "app/AppIcons.h"
#include "filelist/FilesPage.h"
#include "i18n/Components.h"
#include "i18n/LanguageFiles.h"
#include "platform/NativeMessages.h"
#include "platform/OsVersion.h"
#include "platform/Shell.h"
#include "regconv/AdvancedRegConverter.h"
#include "regconv/RegistryPage.h"
#include "settings/IniFile.h"
#include "settings/PortablePath.h"
#include "shell/ContextMenuVerbs.h"
#include "themes/SystemTheme.h"
#include "themes/WindowsDarkMode.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

namespace {

const QString kOption = QStringLiteral("Option");
const QString kRegistry = QStringLiteral("Registry");

// Message items of the main window with their built-in texts.
const std::pair<const char*, const char*> kMessageItems[] = {
    {"LangOpenInQuillmark", "Открыть в Quillmark"},
    {"LangSearch", "Поиск"},
    {"LangStop", "Стоп"},
    {"LangSelectFolder", "Выберите папку с файлами"},
    {"LangOnlyWindows", "Эта программа совместима только с Windows 10 и Windows 11."},
    {"LangError", "Ошибка"},
    {"LangElements", "Элементов:"},
    {"LangconvertInQuillmark", "Конвертировать в  Quillmark"},
};

QAction* NamedAction(QObject* parent, const char* name, const QString& text) {
    auto* action = qm::i18n::NewNamed<QAction>(name, parent);
    action->setText(text);
    return action;
}

QAction* Separator(QMenu* menu, const char* name) {
    QAction* separator = menu->addSeparator();
    separator->setObjectName(QString::fromLatin1(name));
    return separator;
}

QString TrimEndControl(QString text) {
    while (!text.isEmpty() && text.back().unicode() <= 32)
        text.chop(1);
    return text;
}

bool HasExtension(const QString& path, const char* lowerExtension) {
    return QFileInfo(path).suffix().toLower() == QLatin1StringView(lowerExtension);
}

} // namespace

TForm1::TForm1(QStringList arguments, QWidget* parent)
    : QWidget(parent), FArguments(std::move(arguments)) {
    BuildMenus();
    BuildWindow();
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &TForm1::FocusWindowChanged);
    qm::themes::WatchSystemTheme(this, [this] { WMSettingChange(); });
    FormCreate();
}

TForm1::~TForm1() {
    // FormDestroy
    TabReg->SetConverter(nullptr);
    delete FConverter;
    FConverter = nullptr;
    setAcceptDrops(false);
}

void TForm1::BuildMenus() {
    PopupMenuLanguage = qm::i18n::NewMessageMenu(this, kMessageItems);

    PopupMenu_General = new QMenu(this);
    PopupMenu_General->setObjectName(QStringLiteral("PopupMenu_General"));
    ThemeMenu = PopupMenu_General->addMenu(QStringLiteral("Тема"));
    ThemeMenu->setObjectName(QStringLiteral("ThemeMenu"));
    ThemeAuto = NamedAction(ThemeMenu, "ThemeAuto", QStringLiteral("Системная"));
    ThemeLight = NamedAction(ThemeMenu, "ThemeLight", QStringLiteral("Светлая"));
    ThemeDark = NamedAction(ThemeMenu, "ThemeDark", QStringLiteral("Темная"));
    // Radio items, but none is checked when the settings name none.
    auto* themes = new QActionGroup(ThemeMenu);
    themes->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction* theme : {ThemeAuto, ThemeLight, ThemeDark}) {
        theme->setCheckable(true);
        themes->addAction(theme);
        ThemeMenu->addAction(theme);
    }
    connect(ThemeAuto, &QAction::triggered, this, &TForm1::ThemeAutoClick);
    connect(ThemeLight, &QAction::triggered, this, &TForm1::ThemeLightClick);
    connect(ThemeDark, &QAction::triggered, this, &TForm1::ThemeDarkClick);
    ThemeAuto->setChecked(true);
    LanguageMenu = PopupMenu_General->addMenu(QStringLiteral("Язык"));
    LanguageMenu->setObjectName(QStringLiteral("LanguageMenu"));
    Separator(PopupMenu_General, "N5");
    EmbedFolderMenu =
        NamedAction(PopupMenu_General, "EmbedFolderMenu", QStringLiteral("Встроить в меню папок"));
    EmbedRegMenu = NamedAction(PopupMenu_General, "EmbedRegMenu",
                               QStringLiteral("Встроить в меню reg файлов"));
    for (QAction* verb : {EmbedFolderMenu, EmbedRegMenu}) {
        verb->setCheckable(true);
        PopupMenu_General->addAction(verb);
    }
    Separator(PopupMenu_General, "N3");
    CheckUpdateMenu =
        NamedAction(PopupMenu_General, "CheckUpdateMenu", QStringLiteral("Проверить обновления"));
    PopupMenu_General->addAction(CheckUpdateMenu);
    Separator(PopupMenu_General, "N2");
    AboutMenu = NamedAction(PopupMenu_General, "AboutMenu", QStringLiteral("О программе"));
    AboutMenu->setShortcut(QKeySequence(Qt::Key_F1));
    AboutMenu->setShortcutContext(Qt::WindowShortcut);
    PopupMenu_General->addAction(AboutMenu);
    addAction(AboutMenu); // F1 works with the menu closed
    connect(EmbedFolderMenu, &QAction::triggered, this, &TForm1::EmbedFolderMenuClick);
    connect(EmbedRegMenu, &QAction::triggered, this, &TForm1::EmbedRegMenuClick);
    connect(CheckUpdateMenu, &QAction::triggered, this, &TForm1::CheckUpdateMenuClick);
    connect(AboutMenu, &QAction::triggered, this, &TForm1::AboutMenuClick);
}

QMenu* TForm1::BuildTextAreaMenu(const char* menuName, QPlainTextEdit* memo,
                                 const std::array<const char*, 6>& names) {
    auto* menu = new QMenu(this);
    menu->setObjectName(QString::fromLatin1(menuName));
    QAction* lines = NamedAction(menu, names[0], QStringLiteral("Копировать выделенные строки"));
    QAction* text = NamedAction(menu, names[1], QStringLiteral("Копировать выделенный текст"));
    QAction* all = NamedAction(menu, names[3], QStringLiteral("Копировать весь текст"));
    QAction* clear = NamedAction(menu, names[5], QStringLiteral("Очистить"));
    menu->addAction(lines);
    menu->addAction(text);
    Separator(menu, names[2]);
    menu->addAction(all);
    Separator(menu, names[4]);
    menu->addAction(clear);
    memo->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(memo, &QWidget::customContextMenuRequested, menu,
            [menu, memo](const QPoint& at) { menu->popup(memo->mapToGlobal(at)); });
    const bool files = memo == TabFile->MemoFileList;
    connect(lines, &QAction::triggered, this,
            files ? &TForm1::CopySelectedLinesMenuClick : &TForm1::CopySelectedLinesRegMenuClick);
    connect(text, &QAction::triggered, this,
            files ? &TForm1::CopySelectedTextMenuClick : &TForm1::CopySelectedTextRegMenuClick);
    connect(all, &QAction::triggered, this,
            files ? &TForm1::CopyAllTextMenuClick : &TForm1::CopyAllTextRegMenuClick);
    connect(clear, &QAction::triggered, this,
            files ? &TForm1::ClearTextMenuClick : &TForm1::ClearTextRegMenuClick);
    return menu;
}

void TForm1::BuildWindow() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kApplicationTitle);
    setFont(QFont(QStringLiteral("Segoe UI"), 9));
    resize(684, 511);
    setMinimumSize(684, 511);

    TabControlTitle = new QFrame(this);
    TabControlTitle->setObjectName(QStringLiteral("TabControlTitle"));
    TabControlTitle->setFixedHeight(32);
    SpeedButton_GeneralMenu = new QToolButton(TabControlTitle);
    SpeedButton_GeneralMenu->setObjectName(QStringLiteral("SpeedButton_GeneralMenu"));
    SpeedButton_GeneralMenu->setText(QStringLiteral("≡"));
    QFont menuFont(QStringLiteral("Tahoma"));
    menuFont.setPixelSize(21);
    SpeedButton_GeneralMenu->setFont(menuFont);
    SpeedButton_GeneralMenu->setFixedSize(22, 22);
    SpeedButton_GeneralMenu->setAutoRaise(true);
    SpeedButton_GeneralMenu->setCheckable(true);
    SpeedButton_GeneralMenu->setCursor(Qt::PointingHandCursor);
    auto* titleRow = new QHBoxLayout(TabControlTitle);
    titleRow->setContentsMargins(4, 5, 6, 5);
    titleRow->addStretch(1);
    titleRow->addWidget(SpeedButton_GeneralMenu);

    TabControlPanel = new QFrame(this);
    TabControlPanel->setObjectName(QStringLiteral("TabControlPanel"));
    TabControlPanel->setFixedWidth(108);
    const auto pageButton = [this](const char* name, const QString& caption, const QIcon& icon) {
        auto* button = new QToolButton(TabControlPanel);
        button->setObjectName(QString::fromLatin1(name));
        button->setText(caption);
        button->setIcon(icon);
        button->setIconSize(QSize(48, 48));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setFixedSize(100, 100);
        button->setCursor(Qt::PointingHandCursor);
        return button;
    };
    ButtonFiles = pageButton("ButtonFiles", QStringLiteral("Файлы"), qm::app::FilesPageIcon());
    ButtonReg = pageButton("ButtonReg", QStringLiteral("Реестр"), qm::app::RegistryPageIcon());
    auto* panelColumn = new QVBoxLayout(TabControlPanel);
    panelColumn->setContentsMargins(4, 20, 4, 4);
    panelColumn->addWidget(ButtonFiles);
    panelColumn->addWidget(ButtonReg);
    panelColumn->addStretch(1);

    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PageControl->setTabPosition(QTabWidget::South);
    TabFile = new TFilesPage(PopupMenuLanguage, PageControl);
    TabReg = new TRegistryPage(PopupMenuLanguage, PageControl);
    PageControl->addTab(TabFile, QStringLiteral("Файлы"));
    PageControl->addTab(TabReg, QStringLiteral("Реестр"));
    TabFile->ButtonFileOption->setIcon(qm::app::OptionsIcon());
    TabReg->ButtonRegOption->setIcon(qm::app::OptionsIcon());
    TabFile->SetWindowScanControls({TabControlTitle, TabControlPanel});

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(TabControlTitle, 0, 0, 1, 2);
    grid->addWidget(TabControlPanel, 1, 0);
    grid->addWidget(PageControl, 1, 1);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(1, 1);

    PopupMenuList = BuildTextAreaMenu("PopupMenuList", TabFile->MemoFileList,
                                      {"CopySelectedLinesMenu", "CopySelectedTextMenu", "N4",
                                       "CopyAllTextMenu", "N6", "ClearTextMenu"});
    PopupMenuRegList =
        BuildTextAreaMenu("PopupMenuRegList", TabReg->MemoReg,
                          {"CopySelectedLinesRegMenu", "CopySelectedTextRegMenu", "MenuItem3",
                           "CopyAllTextRegMenu", "MenuItem5", "ClearTextRegMenu"});

    connect(ButtonFiles, &QToolButton::clicked, this, &TForm1::ButtonFilesClick);
    connect(ButtonReg, &QToolButton::clicked, this, &TForm1::ButtonRegClick);
    connect(SpeedButton_GeneralMenu, &QToolButton::clicked, this,
            &TForm1::SpeedButton_GeneralMenuClick);

    // Moving the mouse over these areas releases the general-menu button.
    setMouseTracking(true);
    for (QWidget* area :
         {static_cast<QWidget*>(TabFile->GroupBoxControl),
          static_cast<QWidget*>(TabReg->GroupBoxControlReg),
          static_cast<QWidget*>(TabFile->GroupBoxPath), static_cast<QWidget*>(TabReg->GroupBox1),
          TabFile->MemoFileList->viewport()}) {
        area->setMouseTracking(true);
        area->installEventFilter(this);
    }
}

void TForm1::FormCreate() {
    PortableMode = DetectPortableMode();
    setWindowTitle(kApplicationTitle + u' ' +
                   GetFileVersionText(QCoreApplication::applicationFilePath()) +
                   QStringLiteral(" (%1-bit)").arg(QT_POINTER_SIZE * 8) +
                   (PortableMode ? QStringLiteral(" Portable") : QString()));
    setWindowIcon(qm::app::ProgramIcon());
    setAcceptDrops(true);
    FPrevEmbedMenuState = false;
    FPrevEmbedMenuStateReg = false;
    PageControl->tabBar()->hide();
    PageControl->setCurrentWidget(TabFile);
    SetBold(ButtonFiles, ButtonReg);
    FDefaultButton = ButtonFiles;

    LoadNastr();
    TabFile->LoadFlagsFromIni();
    TabFile->LoadDestDirComboBox();
    TabFile->LoadDestDirFromIni();
    TabFile->ComboBoxDestDirChange();

    FConverter = new TAdvancedRegConverter;
    FConverter->SetOptionsSource([page = TabReg] { return page->Options(); });
    TabReg->SetConverter(FConverter);
    QCoreApplication::processEvents();
}

bool TForm1::IsWindows10Or11() const {
    return qm::platform::IsSupportedWindowsVersion(qm::platform::CurrentOsVersion());
}

QString TForm1::Message(const char* item) const {
    return qm::i18n::MessageText(PopupMenuLanguage, item);
}

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
    // In this order: the page's handlers keep the two key options apart.
    for (QCheckBox* box : {TabReg->CheckBoxUninsdeletevalue, TabReg->CheckBoxUninsdeletekey,
                           TabReg->CheckBoxUninsdeletekeyifempty})
        box->setChecked(ini.ReadBool(kRegistry, box->objectName(), false));
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
    const QSize stored(width < 0 ? outer.width() : width, height < 0 ? outer.height() : height);
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
                           TabReg->CheckBoxUninsdeletekeyifempty})
        ini.WriteBool(kRegistry, box->objectName(), box->isChecked());
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
    // A scan still running is stopped: the window it writes to is going away.
    if (TabFile->Scanner().ButtonState() == TFileScanner::bsScanning)
        TabFile->ButtonSearchClick();
    QString error;
    const bool saved =
        SaveNastr(error) && TabFile->SaveFlagsToIni(error) && TabFile->SaveDestDirToIni(error);
    if (!saved) {
        // Told once; the window closes all the same.
        QMessageBox::warning(this, kApplicationTitle,
                             QStringLiteral("The settings could not be saved to \"%1\": %2")
                                 .arg(QDir::toNativeSeparators(PortablePath()), error));
    }
    event->accept();
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!FPlaced) {
        FPlaced = true;
        PlaceOnceFramed(0);
    }
}

// The stored size is the outer one, frame included, and the window is centred frame and all:
// both need the frame, which an X11 window manager adds only some time after the window has
// been shown. Without a window manager none comes, and the window is placed after a short wait.
void TForm1::PlaceOnceFramed(int tries) {
    const bool framed = frameGeometry().size() != size();
    if (!framed && tries < 50 && QGuiApplication::platformName() == u"xcb") {
        QTimer::singleShot(10, this, [this, tries] { PlaceOnceFramed(tries + 1); });
        return;
    }
    if (isMaximized())
        return;
    if (FPendingOuterSize.isValid()) {
        resize(FPendingOuterSize - (frameGeometry().size() - size()));
        FPendingOuterSize = QSize();
    }
    if (screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen()->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TForm1::FocusWindowChanged(QWindow* window) {
    // Menus and tool tips come and go without making another window active.
    if (window && (window->type() == Qt::Popup || window->type() == Qt::ToolTip))
        return;
    const bool returning = window && window == windowHandle() &&
                           (!FActivatedOnce || (FLastActiveWindow && FLastActiveWindow != window));
    FLastActiveWindow = window;
    if (returning) {
        FActivatedOnce = true;
        FormActivate();
    }
}

void TForm1::FormActivate() {
    setAcceptDrops(true);
    if (FArguments.isEmpty())
        return;
    LoadNastr();
    QCoreApplication::processEvents();

    QString argument = FArguments.front();
    if (argument.size() >= 2 && argument.startsWith(u'"') && argument.endsWith(u'"'))
        argument = argument.sliced(1, argument.size() - 2);
    const QFileInfo info(argument);
    if (!argument.isEmpty() && info.isDir()) {
        try {
            PageControl->setCurrentWidget(TabFile);
            TabFile->EditPath->setText(argument);
            FDefaultButton = ButtonFiles;
            QCoreApplication::processEvents();
            SetBold(ButtonFiles, ButtonReg);
            TabFile->ButtonSearchClick();
        } catch (...) {
            // A failing scan of the command-line folder is not reported.
        }
    }
    if (argument.isEmpty() || !info.exists() || info.isDir())
        return;
    if (HasExtension(argument, "reg")) {
        PageControl->setCurrentWidget(TabReg);
        TabReg->EditPathReg->setText(argument);
        SetBold(ButtonReg, ButtonFiles);
        FDefaultButton = ButtonReg;
        const QString path = TabReg->EditPathReg->text();
        if (!path.isEmpty() && QFileInfo::exists(path))
            FConverter->ConvertFromFileToMemo(path, &TabReg->MemoSink());
    }
    QCoreApplication::processEvents();
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    event->acceptProposedAction();
    if (!urls.isEmpty() && urls.front().isLocalFile())
        DropItem(QDir::toNativeSeparators(urls.front().toLocalFile()));
}

void TForm1::DropItem(const QString& dropped) {
    QString path = dropped;
    if (HasExtension(path, "lnk")) {
        const QString target = GetShortcutTarget(path);
        if (!target.isEmpty())
            path = target;
    }
    if (QFileInfo(path).isDir()) {
        PageControl->setCurrentWidget(TabFile);
        FDefaultButton = ButtonFiles;
        TabFile->EditPath->setText(path);
        QCoreApplication::processEvents();
        SetBold(ButtonFiles, ButtonReg);
        TabFile->ButtonSearchClick();
    } else if (HasExtension(path, "reg")) {
        PageControl->setCurrentWidget(TabReg);
        FDefaultButton = ButtonReg;
        SetBold(ButtonReg, ButtonFiles);
        TabReg->EditPathReg->setText(path);
        TabReg->ButtonChangeRegClick();
    }
}

QString TForm1::GetShortcutTarget(const QString& path) {
    return QString::fromStdU16String(qm::platform::ShortcutTarget(path.toStdU16String()));
}

void TForm1::SetBold(QToolButton* bold, QToolButton* regular) {
    QFont f = bold->font();
    f.setBold(true);
    bold->setFont(f);
    f.setBold(false);
    regular->setFont(f);
}

void TForm1::ButtonFilesClick() {
    PageControl->setCurrentWidget(TabFile);
    SetBold(ButtonFiles, ButtonReg);
}

void TForm1::ButtonRegClick() {
    PageControl->setCurrentWidget(TabReg);
    SetBold(ButtonReg, ButtonFiles);
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    // Enter presses the default button, as in a dialog.
    auto* button = qobject_cast<QAbstractButton*>(FDefaultButton);
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && button) {
        button->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TForm1::SpeedButton_GeneralMenuClick() {
    if (FMenuAllowUp) {
        FMenuAllowUp = false;
        FMenuPressed = true;
        SpeedButton_GeneralMenu->setChecked(true);
        QCoreApplication::processEvents();
        const QPoint corner = SpeedButton_GeneralMenu->mapToGlobal(
            QPoint(SpeedButton_GeneralMenu->width(), SpeedButton_GeneralMenu->height()));
        // The menu's right edge lies on the button's bottom-right corner; this waits until
        // the menu closes.
        PopupMenu_General->exec(corner - QPoint(PopupMenu_General->sizeHint().width(), 0));
    } else {
        FMenuAllowUp = true;
        FMenuPressed = false;
        SpeedButton_GeneralMenu->setChecked(false);
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        QCoreApplication::processEvents();
    }
}

void TForm1::ReleaseGeneralMenuButton() {
    FMenuAllowUp = true;
    FMenuPressed = false;
    SpeedButton_GeneralMenu->setChecked(false);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove)
        ReleaseGeneralMenuButton();
    return QWidget::eventFilter(watched, event);
}

void TForm1::UnCheckTheme() {
    for (QAction* item : ThemeMenu->actions())
        item->setChecked(false);
}

void TForm1::FollowSystemTheme() {
    if (SystemUsesDarkTheme()) {
        SelectStyle(true, kStyleModernDark, kStyleModernDark);
        QCoreApplication::processEvents();
    }
    if (!SystemUsesDarkTheme()) {
        SelectStyle(true, kStyleModernLight, kStyleModernLight);
        QCoreApplication::processEvents();
    }
}

void TForm1::ThemeAutoClick() {
    ReleaseGeneralMenuButton();
    UnCheckTheme();
    ThemeAuto->setChecked(true);
    try {
        FollowSystemTheme();
    } catch (const std::exception& e) {
        // The system's preference could not be read: the check mark has moved, the style
        // stays, and the user is told.
        QMessageBox::critical(this, kApplicationTitle, QString::fromUtf8(e.what()));
    }
}

void TForm1::ThemeLightClick() {
    ReleaseGeneralMenuButton();
    UnCheckTheme();
    ThemeLight->setChecked(true);
    SelectStyle(true, kStyleModernLight, kStyleModernLight);
    QCoreApplication::processEvents();
}

void TForm1::ThemeDarkClick() {
    ReleaseGeneralMenuButton();
    UnCheckTheme();
    ThemeDark->setChecked(true);
    SelectStyle(true, kStyleModernDark, kStyleModernDark);
    QCoreApplication::processEvents();
}

void TForm1::WMSettingChange() {
    if (ThemeAuto->isChecked()) {
        try {
            FollowSystemTheme();
        } catch (const std::exception&) {
            // An unreadable preference leaves the style as it is.
        }
    }
    QCoreApplication::processEvents();
}

bool TForm1::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    if (qm::platform::IsSettingsChangeMessage(eventType.toStdString(), message)) {
        WMSettingChange();
        *result = 0;
        return true; // handled completely here
    }
    return QWidget::nativeEvent(eventType, message, result);
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ThemeChange)
        WMSettingChange();
    QWidget::changeEvent(event);
}

void TForm1::RegisterContextMenu() {
    qm::shell::RegisterVerb(TVerbKind::Folder, Message("LangOpenInQuillmark"),
                            QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
}

void TForm1::RegisterContextMenuReg() {
    qm::shell::RegisterVerb(TVerbKind::RegFile, Message("LangconvertInQuillmark"),
                            QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
}

void TForm1::UnregisterContextMenu() {
    qm::shell::UnregisterVerb(TVerbKind::Folder);
}

void TForm1::UnregisterContextMenuReg() {
    qm::shell::UnregisterVerb(TVerbKind::RegFile);
}

void TForm1::CheckAndSetRegistryForFileTypes() {
    const bool folder = qm::shell::VerbRegistered(TVerbKind::Folder);
    const bool reg = qm::shell::VerbRegistered(TVerbKind::RegFile);
    EmbedFolderMenu->setChecked(folder);
    EmbedRegMenu->setChecked(reg);
    FPrevEmbedMenuState = folder;
    FPrevEmbedMenuStateReg = reg;
}

void TForm1::EmbedFolderMenuClick() {
    if (EmbedFolderMenu->isChecked())
        RegisterContextMenu();
    else
        UnregisterContextMenu();
    qm::shell::NotifyShell();
    FPrevEmbedMenuState = EmbedFolderMenu->isChecked();
    QCoreApplication::processEvents();
}

void TForm1::EmbedRegMenuClick() {
    if (EmbedRegMenu->isChecked())
        RegisterContextMenuReg();
    else
        UnregisterContextMenuReg();
    qm::shell::NotifyShell();
    FPrevEmbedMenuStateReg = EmbedRegMenu->isChecked();
    QCoreApplication::processEvents();
}

// A check mark that differs from the verb's last applied state is applied at close.
void TForm1::ApplyPendingVerb(QAction* item, bool& applied, void (TForm1::*registerVerb)(),
                              void (TForm1::*unregisterVerb)()) {
    if (item->isChecked() == applied)
        return;
    (this->*(item->isChecked() ? registerVerb : unregisterVerb))();
    qm::shell::NotifyShell();
    QCoreApplication::processEvents();
    applied = item->isChecked();
}

QList<TComponent> TForm1::Components() const {
    using K = TComponentKind;
    // The order of the window's definition: the start-up pass looks keys up in this order.
    return ComponentTable(this, {
                                    {"TabControlTitle", K::TabControl},
                                    {"SpeedButton_GeneralMenu", K::SpeedButton},
                                    {"PageControl", K::PageControl},
                                    {"TabFile", K::TabSheet},
                                    {"GroupBoxControl", K::GroupBox},
                                    {"ComboBoxDestDir", K::ComboBox},
                                    {"LabelDestDir", K::Label},
                                    {"GroupBoxFlags", K::GroupBox},
                                    {"CheckListBoxFlags", K::CheckListBox},
                                    {"GroupBoxList", K::GroupBox},
                                    {"MemoFileList", K::Memo},
                                    {"StatusBar1", K::StatusBar},
                                    {"GroupBoxPath", K::GroupBox},
                                    {"EditPath", K::Edit},
                                    {"ButtonBrowse", K::Button},
                                    {"GroupBoxSearch", K::GroupBox},
                                    {"ButtonSearch", K::Button},
                                    {"CheckBoxFullName", K::CheckBox},
                                    {"ButtonFileOption", K::SpeedButton},
                                    {"TabReg", K::TabSheet},
                                    {"GroupBox1", K::GroupBox},
                                    {"EditPathReg", K::Edit},
                                    {"ButtonBrowseReg", K::Button},
                                    {"GroupBox2", K::GroupBox},
                                    {"ButtonChangeReg", K::Button},
                                    {"ButtonRegOption", K::SpeedButton},
                                    {"GroupBoxListReg", K::GroupBox},
                                    {"MemoReg", K::Memo},
                                    {"StatusBar2", K::StatusBar},
                                    {"GroupBoxControlReg", K::GroupBox},
                                    {"CheckBoxUninsdeletevalue", K::CheckBox},
                                    {"CheckBoxUninsdeletekeyifempty", K::CheckBox},
                                    {"CheckBoxUninsdeletekey", K::CheckBox},
                                    {"TabControlPanel", K::TabControl},
                                    {"ButtonReg", K::Button},
                                    {"ButtonFiles", K::Button},
                                    {"PopupMenuLanguage", K::PopupMenu},
                                    {"LangOpenInQuillmark", K::MenuItem},
                                    {"LangSearch", K::MenuItem},
                                    {"LangStop", K::MenuItem},
                                    {"LangSelectFolder", K::MenuItem},
                                    {"LangOnlyWindows", K::MenuItem},
                                    {"LangError", K::MenuItem},
                                    {"LangElements", K::MenuItem},
                                    {"LangconvertInQuillmark", K::MenuItem},
                                    {"PopupMenuList", K::PopupMenu},
                                    {"CopySelectedLinesMenu", K::MenuItem},
                                    {"CopySelectedTextMenu", K::MenuItem},
                                    {"N4", K::MenuItem},
                                    {"CopyAllTextMenu", K::MenuItem},
                                    {"N6", K::MenuItem},
                                    {"ClearTextMenu", K::MenuItem},
                                    {"PopupMenu_General", K::PopupMenu},
                                    {"ThemeMenu", K::MenuItem},
                                    {"ThemeAuto", K::MenuItem},
                                    {"ThemeLight", K::MenuItem},
                                    {"ThemeDark", K::MenuItem},
                                    {"LanguageMenu", K::MenuItem},
                                    {"N5", K::MenuItem},
                                    {"EmbedFolderMenu", K::MenuItem},
                                    {"EmbedRegMenu", K::MenuItem},
                                    {"N3", K::MenuItem},
                                    {"CheckUpdateMenu", K::MenuItem},
                                    {"N2", K::MenuItem},
                                    {"AboutMenu", K::MenuItem},
                                    {"PopupMenuRegList", K::PopupMenu},
                                    {"CopySelectedLinesRegMenu", K::MenuItem},
                                    {"CopySelectedTextRegMenu", K::MenuItem},
                                    {"MenuItem3", K::MenuItem},
                                    {"CopyAllTextRegMenu", K::MenuItem},
                                    {"MenuItem5", K::MenuItem},
                                    {"ClearTextRegMenu", K::MenuItem},
                                    {"ImageList3", K::ImageList},
                                    {"ImageList_Menu", K::ImageList},
                                });
}

void TForm1::LoadLanguage() {
    for (QAction* item : LanguageMenu->actions()) {
        LanguageMenu->removeAction(item);
        item->deleteLater(); // it may be the item whose click is being dispatched
    }
    for (QActionGroup* old : LanguageMenu->findChildren<QActionGroup*>(Qt::FindDirectChildrenOnly))
        old->deleteLater();
    CurrentLanguage =
        TIniFile(PortablePath())
            .ReadString(QStringLiteral("Language"), QStringLiteral("Language"), QString());
    auto* group = new QActionGroup(LanguageMenu);
    for (const QString& file : qm::i18n::ListLanguageFiles()) {
        const QString name = QFileInfo(file).completeBaseName();
        auto* item =
            new QAction(name + QStringLiteral("\t\t") + qm::i18n::LanguageDisplayName(file, name),
                        LanguageMenu);
        item->setCheckable(true);
        item->setActionGroup(group);
        item->setChecked(qm::i18n::SameName(name, CurrentLanguage) ||
                         name + QStringLiteral(".ini") == CurrentLanguage);
        connect(item, &QAction::triggered, this, [this, item] { LanguageItemClick(item); });
        LanguageMenu->addAction(item);
    }
}

void TForm1::LanguageItemClick(QAction* item) {
    const QString name = item->text().section(u'\t', 0, 0);
    CurrentLanguage = name;
    for (QAction* other : LanguageMenu->actions())
        other->setChecked(false);
    item->setChecked(true);
    TIniFile settings(PortablePath());
    settings.WriteString(QStringLiteral("Language"), QStringLiteral("Language"), name);
    if (!settings.Save()) {
        QMessageBox::critical(this, kApplicationTitle, settings.ErrorString());
        return;
    }
    LoadLanguage();
    globLoad();
    // The folder verb's text follows the language.
    if (EmbedFolderMenu->isChecked()) {
        RegisterContextMenu();
        qm::shell::NotifyShell();
    }
}

void TForm1::globLoad() {
    TTranslation translation;
    for (ITranslatableWindow* window : FWindows) {
        const TIniFile language(LanguageFilePath(CurrentLanguageName()));
        if (!language.SectionExists(kApplicationTitle))
            continue;
        TranslateForm(translation, *window, kApplicationTitle);
        QCoreApplication::processEvents();
    }
}

void TForm1::CleanTranslationsLikeGlobload() {
    for (const QString& file : qm::i18n::LanguageFilesInFolderOrder())
        qm::i18n::CleanLanguageFile(
            ProgramFolder() + QStringLiteral("Language") + QDir::separator() + file, FWindows);
}

// The window's own free area.
void TForm1::mouseMoveEvent(QMouseEvent* event) {
    ReleaseGeneralMenuButton();
    QWidget::mouseMoveEvent(event);
}

void TForm1::CheckUpdateMenuClick() {
    ReleaseGeneralMenuButton();
    if (auto* update = qobject_cast<QDialog*>(FForm10))
        update->exec();
}

void TForm1::AboutMenuClick() {
    ReleaseGeneralMenuButton();
    if (auto* about = qobject_cast<QDialog*>(FForm8))
        about->exec();
}

void TForm1::CopyToClipboard(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

QString TForm1::GetSelectedLines(const QPlainTextEdit* memo) {
    const QTextCursor cursor = memo->textCursor();
    const QTextDocument* document = memo->document();
    const int first = document->findBlock(cursor.selectionStart()).blockNumber();
    const int last = document->findBlock(cursor.selectionEnd()).blockNumber();
    if (last < first)
        return {};
    QString result;
    for (int i = first; i <= last && i < document->blockCount(); ++i)
        result += document->findBlockByNumber(i).text() + QStringLiteral("\r\n");
    return TrimEndControl(result);
}

// The text areas hold lines; on the clipboard they are separated by CR LF, as in a script.
void TForm1::CopySelectedLines(QPlainTextEdit* memo) {
    ReleaseGeneralMenuButton();
    CopyToClipboard(GetSelectedLines(memo));
}

void TForm1::CopySelectedText(QPlainTextEdit* memo) {
    ReleaseGeneralMenuButton();
    CopyToClipboard(memo->textCursor().selectedText().replace(QChar::ParagraphSeparator,
                                                              QStringLiteral("\r\n")));
}

void TForm1::CopyAllText(QPlainTextEdit* memo) {
    ReleaseGeneralMenuButton();
    // The raw text: the plain-text form would turn no-break spaces into blanks. The lines hold
    // no separator of their own, so each paragraph separator ends one appended line.
    CopyToClipboard(
        memo->document()->toRawText().replace(QChar::ParagraphSeparator, QStringLiteral("\r\n")));
}

void TForm1::ClearText(QPlainTextEdit* memo) {
    ReleaseGeneralMenuButton();
    memo->clear();
}

void TForm1::CopySelectedLinesMenuClick() {
    CopySelectedLines(TabFile->MemoFileList);
}
void TForm1::CopySelectedTextMenuClick() {
    CopySelectedText(TabFile->MemoFileList);
}
void TForm1::CopyAllTextMenuClick() {
    CopyAllText(TabFile->MemoFileList);
}
void TForm1::ClearTextMenuClick() {
    ClearText(TabFile->MemoFileList);
}
void TForm1::CopySelectedLinesRegMenuClick() {
    CopySelectedLines(TabReg->MemoReg);
}
void TForm1::CopySelectedTextRegMenuClick() {
    CopySelectedText(TabReg->MemoReg);
}
void TForm1::CopyAllTextRegMenuClick() {
    CopyAllText(TabReg->MemoReg);
}
void TForm1::ClearTextRegMenuClick() {
    ClearText(TabReg->MemoReg);
}
