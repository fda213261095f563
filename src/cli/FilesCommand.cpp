#include "cli/FilesCommand.h"

#include "cli/CliCommon.h"
#include "cli/LineOutput.h"
#include "cli/Progress.h"
#include "filelist/FileFlags.h"
#include "filelist/FileScanner.h"

namespace qm::cli {

const char kFilesUsage[] =
    "quillmark-cli files DIR [--dest TEXT] [--flags a,b,...] [--full-path] [--empty-dirs]\n"
    "                   [-o OUT] [--quiet]\n"
    "    Writes an Inno Setup [Files] section with one entry per file below DIR.\n"
    "    DIR is taken as the folder text exactly as given: with a trailing separator the\n"
    "    Source paths start below DIR, without one they start with DIR's own name.\n"
    "    --dest TEXT    the DestDir of files directly in DIR, written as it stands (Inno\n"
    "                   Setup script such as {app}\\bin or {#MyAppDir}; default {app});\n"
    "                   subfolders are added below it\n"
    "    --flags LIST   comma-separated [Files] flags, written in the checklist's order\n"
    "    --full-path    Source paths are full paths\n"
    "    --empty-dirs   a [Dirs] section follows, one entry per empty folder (Inno Setup\n"
    "                   creates no folder from [Files])\n"
    "    -o OUT         write to OUT instead of standard output (\"-\": standard output)\n"
    "    --quiet        no progress on standard error\n";

namespace {

// The Files page as the command line fills it: fixed inputs, and output that goes straight to
// the output file as each folder finishes.
class TCliFilesPage final : public IFileScanPage {
public:
    TCliFilesPage(TLineOutput& output) : m_output(output) {}

    QString Folder;
    QString DestDir;
    bool FullPath = false;
    bool EmptyDirs = false;
    QList<TFileFlag> FlagItems;
    bool WriteFailed = false;
    bool Quiet = false;
    TProgress* Progress = nullptr;

    [[nodiscard]] QString FolderText() const override { return Folder; }
    [[nodiscard]] QString DestDirText() const override { return DestDir; }
    [[nodiscard]] bool FullPathChecked() const override { return FullPath; }
    [[nodiscard]] bool EmptyDirsChecked() const override { return EmptyDirs; }
    [[nodiscard]] QList<TFileFlag> Flags() const override { return FlagItems; }
    void ClearOutput() override {}
    void AppendOutputLines(const QStringList& lines) override {
        WriteFailed = WriteFailed || !m_output.Write(lines);
        for (const QString& line : lines)
            m_files += line.startsWith(u"Source:") ? 1 : 0;
        if (Progress && Progress->Due())
            Progress->Report(QStringLiteral("%1 files listed").arg(m_files));
    }
    void SetStatusText(const QString&) override {}
    void SetScanControlsEnabled(bool) override {}
    void ShowSearchButtonScanning(bool) override {}
    void ProcessEvents() override {}

private:
    TLineOutput& m_output;
    qint64 m_files = 0;
};

// Returns an error message, or an empty text when the arguments are sound.
QString ParseArgs(const QStringList& args, TCliFilesPage& page, QString& out) {
    QStringList flags;
    bool haveFolder = false;
    TArgWalker walker(args);
    QString a;
    while (walker.Next(a)) {
        if (a == u"--dest") {
            if (!walker.Next(page.DestDir))
                return QStringLiteral("--dest needs a destination");
        } else if (a == u"--flags") {
            QString list;
            if (!walker.Next(list))
                return QStringLiteral("--flags needs a list of flags");
            for (const QString& flag : list.split(u',', Qt::SkipEmptyParts))
                flags.append(flag.trimmed());
        } else if (a == u"--quiet") {
            page.Quiet = true;
        } else if (a == u"--full-path") {
            page.FullPath = true;
        } else if (a == u"--empty-dirs") {
            page.EmptyDirs = true;
        } else if (a == u"-o") {
            if (!walker.Next(out) || out.isEmpty())
                return QStringLiteral("-o needs a file name");
        } else if (a.startsWith(u'-') && a.size() > 1) {
            return QStringLiteral("unknown option %1").arg(a);
        } else if (!haveFolder) {
            page.Folder = a;
            haveFolder = true;
        } else {
            return QStringLiteral("only one folder can be listed at a time");
        }
    }
    if (page.Folder.isEmpty())
        return QStringLiteral("files needs a folder");

    const QStringList& known = qm::filelist::InnoFileFlags();
    for (const QString& flag : flags) {
        if (!known.contains(flag))
            return QStringLiteral("unknown flag %1; the flags are: %2")
                .arg(flag, known.join(QStringLiteral(", ")));
    }
    for (const QString& name : known)
        page.FlagItems.append({name, flags.contains(name)});
    return {};
}

} // namespace

int RunFilesCommand(const QStringList& args) {
    TLineOutput output;
    TCliFilesPage page(output);
    QString outPath;
    if (const QString error = ParseArgs(args, page, outPath); !error.isEmpty())
        return UsageError(error);
    if (!output.Open(outPath)) {
        PrintError(output.ErrorMessage());
        return kExitFailed;
    }
    TProgress progress(page.Quiet, TLineOutput::ToTerminal(outPath));
    page.Progress = &progress;
    TFileScanner scanner(page);
    scanner.ButtonSearchClick();
    if (page.WriteFailed || !output.Commit()) {
        PrintError(output.ErrorMessage());
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace qm::cli
