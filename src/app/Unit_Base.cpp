// The main window: its widgets and menus, its creation, the page buttons and the Enter key.
// The rest of TForm1 lives in the MainWindow*.cpp files beside this one, by concern.

#include "app/Unit_Base.h"

#include "about/FileInfoUtils.h"
#include "app/AppIcons.h"
#include "filelist/FilesPage.h"
#include "i18n/Components.h"
#include "osutils/SystemTheme.h"
#include "platform/OsVersion.h"
#include "regconv/AdvancedRegConverter.h"
#include "regconv/RegistryPage.h"
#include "settings/PortablePath.h"
#include "widgets/NamedWidget.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

using qm::widgets::NewNamed;

namespace {

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
    {"LangBadMinVersion", "Inno Setup не примет такую MinVersion:"},
};

QAction* Separator(QMenu* menu, const char* name) {
    QAction* separator = menu->addSeparator();
    separator->setObjectName(QString::fromLatin1(name));
    return separator;
}

} // namespace

TForm1::TForm1(QStringList arguments, QWidget* parent)
    : QWidget(parent), FArguments(std::move(arguments)) {
    BuildMenus();
    BuildWindow();
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &TForm1::FocusWindowChanged);
    if (!qm::osutils::WatchSystemTheme(this, [this] { WMSettingChange(); }))
        qWarning("Quillmark: the session bus refused the subscription to the desktop's settings, "
                 "so the \"System\" theme does not follow their changes");
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
    ThemeAuto = NewNamed<QAction>("ThemeAuto", ThemeMenu, QStringLiteral("Системная"));
    ThemeLight = NewNamed<QAction>("ThemeLight", ThemeMenu, QStringLiteral("Светлая"));
    ThemeDark = NewNamed<QAction>("ThemeDark", ThemeMenu, QStringLiteral("Темная"));
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
    EmbedFolderMenu = NewNamed<QAction>("EmbedFolderMenu", PopupMenu_General,
                                        QStringLiteral("Встроить в меню папок"));
    EmbedRegMenu = NewNamed<QAction>("EmbedRegMenu", PopupMenu_General,
                                     QStringLiteral("Встроить в меню reg файлов"));
    for (QAction* verb : {EmbedFolderMenu, EmbedRegMenu}) {
        verb->setCheckable(true);
        PopupMenu_General->addAction(verb);
    }
    Separator(PopupMenu_General, "N3");
    CheckUpdateMenu = NewNamed<QAction>("CheckUpdateMenu", PopupMenu_General,
                                        QStringLiteral("Проверить обновления"));
    PopupMenu_General->addAction(CheckUpdateMenu);
    Separator(PopupMenu_General, "N2");
    AboutMenu = NewNamed<QAction>("AboutMenu", PopupMenu_General, QStringLiteral("О программе"));
    AboutMenu->setShortcut(QKeySequence(Qt::Key_F1));
    AboutMenu->setShortcutContext(Qt::WindowShortcut);
    PopupMenu_General->addAction(AboutMenu);
    addAction(AboutMenu); // F1 works with the menu closed
    connect(EmbedFolderMenu, &QAction::triggered, this, &TForm1::EmbedFolderMenuClick);
    connect(EmbedRegMenu, &QAction::triggered, this, &TForm1::EmbedRegMenuClick);
    connect(CheckUpdateMenu, &QAction::triggered, this, &TForm1::CheckUpdateMenuClick);
    connect(AboutMenu, &QAction::triggered, this, &TForm1::AboutMenuClick);
}

QMenu* TForm1::BuildTextAreaMenu(const char* menuName, TSectionView* memo,
                                 const std::array<const char*, 6>& names) {
    auto* menu = new QMenu(this);
    menu->setObjectName(QString::fromLatin1(menuName));
    QAction* lines =
        NewNamed<QAction>(names[0], menu, QStringLiteral("Копировать выделенные строки"));
    QAction* text =
        NewNamed<QAction>(names[1], menu, QStringLiteral("Копировать выделенный текст"));
    QAction* all = NewNamed<QAction>(names[3], menu, QStringLiteral("Копировать весь текст"));
    QAction* clear = NewNamed<QAction>(names[5], menu, QStringLiteral("Очистить"));
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
