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
#include "widgets/MenuItems.h"
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

using qm::widgets::AddMenuItems;
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
    AddMenuItems(
        ThemeMenu,
        {{"ThemeAuto", QStringLiteral("Системная"), &ThemeAuto, [this] { ThemeAutoClick(); }, true},
         {"ThemeLight", QStringLiteral("Светлая"), &ThemeLight, [this] { ThemeLightClick(); },
          true},
         {"ThemeDark", QStringLiteral("Темная"), &ThemeDark, [this] { ThemeDarkClick(); }, true}});
    // Radio items, but none is checked when the settings name none.
    auto* themes = new QActionGroup(ThemeMenu);
    themes->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction* theme : {ThemeAuto, ThemeLight, ThemeDark})
        themes->addAction(theme);
    ThemeAuto->setChecked(true);
    LanguageMenu = PopupMenu_General->addMenu(QStringLiteral("Язык"));
    LanguageMenu->setObjectName(QStringLiteral("LanguageMenu"));
    AddMenuItems(PopupMenu_General,
                 {{"N5"},
                  {"EmbedFolderMenu", QStringLiteral("Встроить в меню папок"), &EmbedFolderMenu,
                   [this] { EmbedFolderMenuClick(); }, true},
                  {"EmbedRegMenu", QStringLiteral("Встроить в меню reg файлов"), &EmbedRegMenu,
                   [this] { EmbedRegMenuClick(); }, true},
                  {"N3"},
                  {"CheckUpdateMenu", QStringLiteral("Проверить обновления"), &CheckUpdateMenu,
                   [this] { CheckUpdateMenuClick(); }},
                  {"N2"},
                  {"AboutMenu", QStringLiteral("О программе"), &AboutMenu,
                   [this] { AboutMenuClick(); }, false, QKeySequence(Qt::Key_F1)}});
}

QMenu* TForm1::BuildTextAreaMenu(const char* menuName, TSectionView* memo,
                                 const std::array<const char*, 6>& names,
                                 const std::array<void (TForm1::*)(), 4>& handlers) {
    auto* menu = new QMenu(this);
    menu->setObjectName(QString::fromLatin1(menuName));
    const auto run = [this](void (TForm1::*handler)()) {
        return [this, handler] { (this->*handler)(); };
    };
    AddMenuItems(
        menu,
        {{names[0], QStringLiteral("Копировать выделенные строки"), nullptr, run(handlers[0])},
         {names[1], QStringLiteral("Копировать выделенный текст"), nullptr, run(handlers[1])},
         {names[2]},
         {names[3], QStringLiteral("Копировать весь текст"), nullptr, run(handlers[2])},
         {names[4]},
         {names[5], QStringLiteral("Очистить"), nullptr, run(handlers[3])}});
    memo->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(memo, &QWidget::customContextMenuRequested, menu,
            [menu, memo](const QPoint& at) { menu->popup(memo->mapToGlobal(at)); });
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
    FPageButtons = {{TabFile, ButtonFiles}, {TabReg, ButtonReg}};
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

    PopupMenuList =
        BuildTextAreaMenu("PopupMenuList", TabFile->MemoFileList,
                          {"CopySelectedLinesMenu", "CopySelectedTextMenu", "N4", "CopyAllTextMenu",
                           "N6", "ClearTextMenu"},
                          {&TForm1::CopySelectedLinesMenuClick, &TForm1::CopySelectedTextMenuClick,
                           &TForm1::CopyAllTextMenuClick, &TForm1::ClearTextMenuClick});
    PopupMenuRegList = BuildTextAreaMenu(
        "PopupMenuRegList", TabReg->MemoReg,
        {"CopySelectedLinesRegMenu", "CopySelectedTextRegMenu", "MenuItem3", "CopyAllTextRegMenu",
         "MenuItem5", "ClearTextRegMenu"},
        {&TForm1::CopySelectedLinesRegMenuClick, &TForm1::CopySelectedTextRegMenuClick,
         &TForm1::CopyAllTextRegMenuClick, &TForm1::ClearTextRegMenuClick});

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
    ShowPage(TabFile, true);

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

void TForm1::ShowPage(QWidget* page, bool asDefault) {
    PageControl->setCurrentWidget(page);
    for (const auto& [shown, button] : FPageButtons) {
        QFont f = button->font();
        f.setBold(shown == page);
        button->setFont(f);
        if (shown == page && asDefault)
            FDefaultButton = button;
    }
}

void TForm1::ButtonFilesClick() {
    ShowPage(TabFile);
}

void TForm1::ButtonRegClick() {
    ShowPage(TabReg);
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
