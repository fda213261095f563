#pragma once

// A Files page without widgets: records what the scan shows and lets a test act from inside
// the scan's event pump, as a click would.

#include "filelist/FileFlags.h"
#include "filelist/FileScanPage.h"

#include <functional>

class FakeFilesPage final : public IFileScanPage {
public:
    FakeFilesPage() {
        for (const QString& name : qm::filelist::InnoFileFlags())
            FlagItems.append({name, false});
    }

    void Tick(const QString& name) {
        for (TFileFlag& f : FlagItems)
            if (f.Name == name)
                f.Checked = true;
    }

    QString Folder;
    QString DestDir;
    bool FullPath = false;
    bool EmptyDirs = false;
    QList<TFileFlag> FlagItems;

    QStringList Output;
    QString Status;
    bool ControlsEnabled = true;
    bool ButtonScanning = false;
    int Pumps = 0;
    mutable int Calls = 0; // every call of the page, inputs included
    // Runs inside the event pump, after the pump count is raised.
    std::function<void()> OnPump;

    QString FolderText() const override { return ++Calls, Folder; }
    QString DestDirText() const override { return ++Calls, DestDir; }
    bool FullPathChecked() const override { return ++Calls, FullPath; }
    bool EmptyDirsChecked() const override { return ++Calls, EmptyDirs; }
    QList<TFileFlag> Flags() const override { return ++Calls, FlagItems; }
    void ClearOutput() override {
        ++Calls;
        Output.clear();
    }
    void AppendOutputLines(const QStringList& lines) override {
        ++Calls;
        Output += lines;
    }
    void SetStatusText(const QString& text) override {
        ++Calls;
        Status = text;
    }
    void SetScanControlsEnabled(bool enabled) override {
        ++Calls;
        ControlsEnabled = enabled;
    }
    void ShowSearchButtonScanning(bool scanning) override {
        ++Calls;
        ButtonScanning = scanning;
    }
    void ProcessEvents() override {
        ++Calls;
        ++Pumps;
        if (OnPump)
            OnPump();
    }
};
