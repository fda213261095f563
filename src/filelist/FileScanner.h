#pragma once

// The folder scan behind the Files page's Search/Stop button: walks a folder tree on the
// calling thread and writes one [Files] entry line per file (and, when asked, a [Dirs] line per
// empty folder), letting pending events run after every file and every empty folder so that a
// Stop click can end it.

#include "filelist/FileScanPage.h"
#include "platform/Directory.h"

#include <QString>
#include <vector>

class TFileScanner {
public:
    enum TButtonState { bsIdle = 0, bsScanning = 1 };

    explicit TFileScanner(IFileScanPage& page) : FPage(page) {}

    // Starts a scan when idle; requests a stop when scanning (then it runs nested inside the
    // scan's event pump, and the scan unwinds once it returns).
    void ButtonSearchClick();
    // Scans one folder and everything below it; appends the folder's lines when it is done.
    void ScanFolder(const QString& folder);
    // "Flags: " and the checked flags in list order, or "" when none is checked.
    [[nodiscard]] QString GetSelectedFlags() const;

    [[nodiscard]] bool ScanStopped() const { return FScanStopped; }
    [[nodiscard]] TButtonState ButtonState() const { return FButtonState; }

private:
    void SetButtonState(TButtonState state);

    IFileScanPage& FPage;
    bool FScanStopped = true;
    TButtonState FButtonState = bsIdle;
    // Bumped by every start: a scan that was stopped and outlived by a newer one (started from
    // inside its event pump) must not append its held-back lines to the newer output.
    quint64 FScanNumber = 0;
    // The folders being listed, outermost first: a link back into one of them is not followed.
    std::vector<qm::platform::DirectoryId> FOpenFolders;
    // The [Dirs] lines of the empty folders found so far, when the page asks for them.
    bool FEmptyDirs = false;
    QStringList FDirsLines;
};
