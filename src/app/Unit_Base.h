#pragma once

// The main window: title strip with the general-menu button, side strip with the two page
// buttons, the Files and Registry pages, the command-line argument, dropped items, the text-area
// commands, and the settings read at creation and written at close.

#include "i18n/Translation.h"

#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QAction;
class QActionGroup;
class QMenu;
class TSectionView;
class QTabWidget;
class QToolButton;
class QWindow;
class TAdvancedRegConverter;
class TFilesPage;
class TRegistryPage;

class TForm1 : public QWidget, public ITranslatableWindow {
    Q_OBJECT

public:
    // `arguments`: the program's command-line arguments without the program itself.
    explicit TForm1(QStringList arguments, QWidget* parent = nullptr);
    ~TForm1() override; // FormDestroy

    // The About window, shown modally by the general menu.
    void SetAboutWindow(QWidget* form8) { FForm8 = form8; }
    // The update window, shown modally by the general menu.
    void SetUpdateWindow(QWidget* form10) { FForm10 = form10; }
    // The program's windows in their order (this one first), for the language code.
    void SetApplicationWindows(QList<ITranslatableWindow*> windows) {
        FWindows = std::move(windows);
    }

    // ITranslatableWindow
    [[nodiscard]] QString WindowName() const override { return kMainWindowName; }
    QWidget* Window() override { return this; }
    [[nodiscard]] QList<TComponent> Components() const override;

    // Languages
    void LoadLanguage();
    void globLoad();
    void CleanTranslationsLikeGlobload();
    // The update window's quick-update option, stored at close (ticked when no update window
    // is given).
    void SetQuickUpdateSource(std::function<bool()> source) { FQuickUpdate = std::move(source); }

    [[nodiscard]] bool IsWindows10Or11() const;
    // The current caption of a message item of PopupMenuLanguage.
    QString Message(const char* item) const;

    void LoadNastr();
    // Returns false, with the reason in `error`, when the settings file cannot be written.
    [[nodiscard]] bool SaveNastr(QString& error);

    // Themes
    void UnCheckTheme();
    // Context-menu verbs
    void RegisterContextMenu();
    void RegisterContextMenuReg();
    void UnregisterContextMenu();
    void UnregisterContextMenuReg();
    void CheckAndSetRegistryForFileTypes();

    static QString GetShortcutTarget(const QString& path);
    static void CopyToClipboard(const QString& text);
    // The whole lines touched by the selection, each followed by CR LF, with the characters of
    // code 32 and below removed from the end of the result.
    static QString GetSelectedLines(const TSectionView* memo);

    [[nodiscard]] QWidget* DefaultButton() const { return FDefaultButton; }
    [[nodiscard]] bool GeneralMenuAllowUp() const { return FMenuAllowUp; }
    [[nodiscard]] bool GeneralMenuPressed() const { return FMenuPressed; }

    // Controls, named as the translation and settings keys name them.
    QWidget* TabControlTitle;
    QToolButton* SpeedButton_GeneralMenu;
    QWidget* TabControlPanel;
    QToolButton* ButtonFiles;
    QToolButton* ButtonReg;
    QTabWidget* PageControl;
    TFilesPage* TabFile;
    TRegistryPage* TabReg;

    QMenu* PopupMenu_General;
    QMenu* ThemeMenu;
    QAction* ThemeAuto;
    QAction* ThemeLight;
    QAction* ThemeDark;
    QMenu* LanguageMenu;
    QAction* EmbedFolderMenu;
    QAction* EmbedRegMenu;
    QAction* CheckUpdateMenu;
    QAction* AboutMenu;
    QMenu* PopupMenuList;
    QMenu* PopupMenuRegList;
    QMenu* PopupMenuLanguage; // message items, never shown

    TAdvancedRegConverter* FConverter = nullptr;
    bool FPrevEmbedMenuState = false;
    bool FPrevEmbedMenuStateReg = false;

public slots:
    void FormActivate();
    void ThemeAutoClick();
    void ThemeLightClick();
    void ThemeDarkClick();
    // The system's settings changed (WM_SETTINGCHANGE, or the desktop's appearance settings).
    void WMSettingChange();
    void EmbedFolderMenuClick();
    void EmbedRegMenuClick();
    void LanguageItemClick(QAction* item);
    // A dropped item (only the first of a drop reaches here).
    void DropItem(const QString& path);
    void ButtonFilesClick();
    void ButtonRegClick();
    void SpeedButton_GeneralMenuClick();
    void ReleaseGeneralMenuButton();
    void CheckUpdateMenuClick();
    void AboutMenuClick();
    void CopySelectedLinesMenuClick();
    void CopySelectedTextMenuClick();
    void CopyAllTextMenuClick();
    void ClearTextMenuClick();
    void CopySelectedLinesRegMenuClick();
    void CopySelectedTextRegMenuClick();
    void CopyAllTextRegMenuClick();
    void ClearTextRegMenuClick();

protected:
    void closeEvent(QCloseEvent* event) override; // FormClose
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
    void changeEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void FormCreate();
    void BuildWindow();
    void BuildMenus();
    // A text area's menu: the four commands (copy lines, copy text, copy all, clear), named
    // `names` with the separators between them, running `handlers`.
    QMenu* BuildTextAreaMenu(const char* menuName, TSectionView* memo,
                             const std::array<const char*, 6>& names,
                             const std::array<void (TForm1::*)(), 4>& handlers);
    // Shows `page`, its button in bold; `asDefault`: the button becomes the default one too.
    void ShowPage(QWidget* page, bool asDefault = false);
    void CopySelectedLines(TSectionView* memo);
    void CopySelectedText(TSectionView* memo);
    void CopyAllText(TSectionView* memo);
    void ClearText(TSectionView* memo);
    void FocusWindowChanged(QWindow* window);
    void AwaitFrame(int tries);
    void PlaceWindow();
    void FollowSystemTheme();
    void ApplyPendingVerb(QAction* item, bool& applied, void (TForm1::*registerVerb)(),
                          void (TForm1::*unregisterVerb)());

    QStringList FArguments;
    QWidget* FForm8 = nullptr;
    QWidget* FForm10 = nullptr;
    QList<ITranslatableWindow*> FWindows{this};
    std::function<bool()> FQuickUpdate;
    QWidget* FDefaultButton = nullptr;
    // Each page with the button that shows it.
    std::vector<std::pair<QWidget*, QToolButton*>> FPageButtons;
    bool FMenuAllowUp = true;
    bool FMenuPressed = false;
    // The window that was active before this one, to tell a return from another window of the
    // program (which runs FormActivate) from a return from another application (which does not).
    QWindow* FLastActiveWindow = nullptr;
    bool FActivatedOnce = false;
    // Outer size read from the settings, applied once the window's frame is known.
    QSize FPendingOuterSize;
    bool FPlaced = false; // the first showing has sized and centred the window
};
