#pragma once

// What the folder scan reads from and writes to the Files page. The page implements it with its
// controls; the command line implements it with fixed values and an output file.

#include <QList>
#include <QString>
#include <QStringList>

struct TFileFlag {
    QString Name;
    bool Checked = false;
};

class IFileScanPage {
public:
    virtual ~IFileScanPage() = default;

    // Inputs, read when the scan needs them.
    [[nodiscard]] virtual QString FolderText() const = 0; // EditPath, as shown
    [[nodiscard]] virtual QString
    DestDirText() const = 0; // the selected item of ComboBoxDestDir, or ""
    [[nodiscard]] virtual bool FullPathChecked() const = 0;   // CheckBoxFullName
    [[nodiscard]] virtual QList<TFileFlag> Flags() const = 0; // CheckListBoxFlags, in list order
    // CheckBoxEmptyDirs: a [Dirs] section for the empty folders follows the entries.
    [[nodiscard]] virtual bool EmptyDirsChecked() const = 0;

    // Outputs.
    virtual void ClearOutput() = 0;                               // MemoFileList
    virtual void AppendOutputLines(const QStringList& lines) = 0; // MemoFileList
    virtual void SetStatusText(const QString& text) = 0;          // StatusBar1, first panel
    // GroupBoxPath, GroupBoxList, GroupBoxControl, TabControlTitle, TabControlPanel and
    // CheckBoxFullName; ButtonSearch and ButtonFileOption stay usable.
    virtual void SetScanControlsEnabled(bool enabled) = 0;
    // ButtonSearch's caption: LangStop while scanning, LangSearch when idle.
    virtual void ShowSearchButtonScanning(bool scanning) = 0;
    // Lets pending user-interface events run; a Stop click may run inside it.
    virtual void ProcessEvents() = 0;
};
