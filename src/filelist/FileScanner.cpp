#include "filelist/FileScanner.h"

#include "filelist/FileEntryLine.h"

#include <QChar>
#include <QDir>
#include <algorithm>
#include <utility>

namespace {

using qm::platform::DirectoryEntry;

constexpr QChar kSeparator(qm::platform::kPathSeparator);

// NTFS lists a folder by name, comparing upper-cased UTF-16 code units; where the system gives
// no order of its own, that order makes the output the same on every run and on every system.
void SortLikeNtfs(std::vector<DirectoryEntry>& entries) {
    struct Keyed {
        std::u16string Upper;
        DirectoryEntry* Entry;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(entries.size());
    for (DirectoryEntry& e : entries) {
        std::u16string upper = e.Name;
        for (char16_t& c : upper)
            c = QChar::toUpper(c);
        keyed.push_back({std::move(upper), &e});
    }
    std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        return a.Upper != b.Upper ? a.Upper < b.Upper : a.Entry->Name < b.Entry->Name;
    });
    std::vector<DirectoryEntry> sorted;
    sorted.reserve(entries.size());
    for (Keyed& k : keyed)
        sorted.push_back(std::move(*k.Entry));
    entries = std::move(sorted);
}

// The folder text with the system's separators: on Windows "/" separates folders too, and a
// text typed with it ends in a separator all the same.
QString NativeFolderText(const IFileScanPage& page) {
    return QDir::toNativeSeparators(page.FolderText());
}

} // namespace

void TFileScanner::SetButtonState(TButtonState state) {
    FButtonState = state;
    FPage.ShowSearchButtonScanning(state == bsScanning);
}

void TFileScanner::ButtonSearchClick() {
    if (FPage.FolderText().isEmpty())
        return;
    if (FButtonState == bsIdle) {
        FScanStopped = false;
        ++FScanNumber;
        // A scan started from inside a stopped one's event pump has a path of its own; the
        // stopped scan gets its own back when it unwinds.
        std::vector<qm::platform::DirectoryId> outerFolders = std::exchange(FOpenFolders, {});
        QStringList outerDirs = std::exchange(FDirsLines, {});
        const quint64 scanNumber = FScanNumber;
        FEmptyDirs = FPage.EmptyDirsChecked();
        FPage.ClearOutput();
        FPage.SetStatusText(QString());
        FPage.SetScanControlsEnabled(false);
        SetButtonState(bsScanning);
        FPage.AppendOutputLines({QStringLiteral("[Files]")});
        ScanFolder(NativeFolderText(FPage));
        // Inno Setup makes no folder from [Files]: the empty ones are created from [Dirs].
        if (!FDirsLines.isEmpty() && scanNumber == FScanNumber)
            FPage.AppendOutputLines(QStringList{QString(), QStringLiteral("[Dirs]")} + FDirsLines);
        FOpenFolders = std::move(outerFolders);
        FDirsLines = std::move(outerDirs);
        FScanStopped = true;
        FPage.SetScanControlsEnabled(true);
        SetButtonState(bsIdle);
    } else {
        FScanStopped = true;
        FPage.SetScanControlsEnabled(true);
        SetButtonState(bsIdle);
        FPage.ProcessEvents();
        FPage.SetStatusText(QString());
    }
}

void TFileScanner::ScanFolder(const QString& folder) {
    QStringList lines;
    if (FScanStopped)
        return;
    const quint64 scanNumber = FScanNumber;
    const QString destDirText = FPage.DestDirText();
    const QString folderText = NativeFolderText(FPage);

    std::vector<DirectoryEntry> entries;
    qm::platform::DirectoryId id;
    bool listed = qm::platform::ListDirectory(folder.toStdU16String(), entries, id);
    // A link back into a folder being scanned would be followed without end: such a folder
    // counts as one that cannot be listed.
    if (listed && std::find(FOpenFolders.begin(), FOpenFolders.end(), id) != FOpenFolders.end())
        listed = false;
    if (listed && !entries.empty()) {
        if (!qm::platform::DirectoryListingIsOrdered())
            SortLikeNtfs(entries);
        FOpenFolders.push_back(id);

        // Every file of this folder has the same destination, flags and Source prefix.
        const QString flags = GetSelectedFlags();
        const QString destDir =
            qm::filelist::DestDirFor(destDirText, qm::filelist::SubfolderPath(folder, folderText));
        const bool fullPath = FPage.FullPathChecked();
        const qsizetype baseLength = qm::filelist::BaseDirectory(folderText).size();
        const QString prefix = folder.endsWith(kSeparator) ? folder : folder + kSeparator;
        const bool underBase = prefix.startsWith(qm::filelist::BaseDirectory(folderText));

        for (const DirectoryEntry& entry : entries) {
            if (FScanStopped) {
                FOpenFolders.pop_back();
                return;
            }
            const QString name = QString::fromStdU16String(entry.Name);
            const QString fullName = prefix + name;
            const QStringView source = fullPath || !underBase
                                           ? QStringView(fullName)
                                           : QStringView(fullName).sliced(baseLength);
            // A name Windows cannot hold cannot be installed; for a folder, nothing below it.
            if (const QString problem = qm::filelist::WindowsNameProblem(name);
                !problem.isEmpty()) {
                lines.append(qm::filelist::NotConvertedLine(problem, source));
            } else if (entry.IsDirectory) {
                if (!FScanStopped)
                    ScanFolder(fullName);
                continue;
            } else {
                lines.append(qm::filelist::EntryLine(source, destDir, flags));
            }
            FPage.SetStatusText(fullName);
            FPage.ProcessEvents();
        }
        FOpenFolders.pop_back();
    } else {
        // No files to pump after: a tree of empty folders must let events run all the same.
        if (listed && FEmptyDirs)
            FDirsLines.append(qm::filelist::DirsLine(
                qm::filelist::DestDirFor(destDirText,
                                         qm::filelist::SubfolderPath(folder, folderText)),
                folder));
        FPage.ProcessEvents();
    }
    if (!lines.isEmpty() && scanNumber == FScanNumber)
        FPage.AppendOutputLines(lines);
    FPage.SetStatusText(QString());
}

QString TFileScanner::GetSelectedFlags() const {
    QString text;
    for (const TFileFlag& flag : FPage.Flags()) {
        if (!flag.Checked)
            continue;
        text.append(text.isEmpty() ? QStringLiteral("Flags: ") : QStringLiteral(" "));
        text.append(flag.Name);
    }
    return text;
}
