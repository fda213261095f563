#pragma once

// The Files page (TabFile) of the main window: folder, destination, flags, and the folder scan
// with its Search/Stop button.

#include "filelist/FileScanPage.h"
#include "filelist/FileScanner.h"
#include "widgets/SectionView.h"

#include <QElapsedTimer>
#include <QWidget>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStatusBar;
class QTimer;
class QToolButton;

class TFilesPage : public QWidget, public IFileScanPage {
    Q_OBJECT

public:
    // `messageItems` holds the window's message items (LangSearch, LangStop, LangSelectFolder).
    explicit TFilesPage(const QObject* messageItems, QWidget* parent = nullptr);

    // Controls the scan disables besides the page's own (the window's title and side strips).
    void SetWindowScanControls(QList<QWidget*> controls) {
        FWindowScanControls = std::move(controls);
    }
    // Shows or hides the option panel (FileOptionsVisible).
    void SetFileOptionsVisible(bool visible);
    bool FileOptionsVisible() const { return FFileOptionsVisible; }
    TFileScanner& Scanner() { return FScanner; }

    QGroupBox* GroupBoxPath;
    QLineEdit* EditPath;
    QPushButton* ButtonBrowse;
    QGroupBox* GroupBoxList;
    TSectionView* MemoFileList;
    QStatusBar* StatusBar1;
    QGroupBox* GroupBoxControl;
    QComboBox* ComboBoxDestDir;
    QLabel* LabelDestDir;
    QGroupBox* GroupBoxFlags;
    QListWidget* CheckListBoxFlags;
    QCheckBox* CheckBoxEmptyDirs;
    QGroupBox* GroupBoxSearch;
    QCheckBox* CheckBoxFullName;
    QToolButton* ButtonFileOption;
    QPushButton* ButtonSearch;

    // Settings of the page (sections Flags and Files of the settings file). The savers return
    // false, with the reason in `error`, when the file cannot be written.
    void LoadFlagsFromIni();
    [[nodiscard]] bool SaveFlagsToIni(QString& error);
    void LoadDestDirComboBox();
    void LoadDestDirFromIni();
    [[nodiscard]] bool SaveDestDirToIni(QString& error);
    // The description of a destination in the current language file.
    static QString GetDescriptionFromIni(const QString& key);

public slots:
    void ButtonSearchClick();
    void ComboBoxDestDirChange();
    void ButtonBrowseClick();
    void ButtonFileOptionClick() { SetFileOptionsVisible(!FFileOptionsVisible); }

    // IFileScanPage
public:
    QString FolderText() const override;
    QString DestDirText() const override;
    bool FullPathChecked() const override;
    bool EmptyDirsChecked() const override;
    QList<TFileFlag> Flags() const override;
    void ClearOutput() override;
    void AppendOutputLines(const QStringList& lines) override;
    void SetStatusText(const QString& text) override;
    void SetScanControlsEnabled(bool enabled) override;
    void ShowSearchButtonScanning(bool scanning) override;
    void ProcessEvents() override;

private:
    void FlushOutput();
    void ShowStatusText();

    const QObject* FMessageItems;
    QLabel* FStatusPanel;
    // The text areas and the status panel are painted at most a few times a second while a
    // scan runs: painting after every file would cost far more than the scan.
    QStringList FPendingLines;
    // The check states as the scan reads them for every line; read from the list only after
    // it changed (it cannot change during a scan: it is disabled then).
    mutable std::optional<QList<TFileFlag>> FFlags;
    QString FStatusText;
    QTimer* FRefresh;
    QElapsedTimer FPumpClock;
    QList<QWidget*> FWindowScanControls;
    bool FFileOptionsVisible = false;
    TFileScanner FScanner{*this};
};
