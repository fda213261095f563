#pragma once

// The real Inno Setup 6 compiler (ISCC.exe with its preprocessor) under 32-bit wine, for the
// tests that let it judge what the generators write. The lane's environment names it:
// QM_ISCC (ISCC.exe), QM_WINE (the wine that starts 32-bit programs) and WINEPREFIX.

#include <QString>
#include <QStringList>

namespace qm::testing {

// Empty when the real compiler can run here, else why not (one line, for a skip).
QString RealInnoSetupMissing();

// A script around `body` (sections and their lines): a [Setup] that compiles with nothing
// else, installing to a folder of its own, 64-bit mode, nothing to uninstall. Without
// `output` the compiler only checks the script.
QString InnoTestScript(const QString& body, bool output = false);

struct InnoCompileResult {
    bool Ok = false;
    int Line = 0;    // the line the compiler stopped at (1-based), 0 when none was named
    QString Message; // the compiler's error, or why it could not run
    QStringList Warnings;
};

// Writes `script` as `folder`/`name` (UTF-8 with a byte-order mark, as the compiler's IDE
// saves) and compiles it there; with output the setup is `folder`/Output/<OutputBaseFilename>.
InnoCompileResult CompileInnoScript(const QString& script, const QString& folder,
                                    const QString& name = QStringLiteral("test.iss"));

// A file's path as Windows programs under wine see it (drive Z: is the host's root).
QString WinePath(const QString& path);

// Runs a Windows program in the lane's prefix; its exit code, or -1 when it did not end within
// `seconds`. A program wine finds by name (regedit) is its 32-bit one unless `sixtyFourBit`.
int RunUnderWine(const QString& program, const QStringList& arguments, int seconds,
                 QString* output = nullptr, bool sixtyFourBit = false);

// Every [Registry] line the test-side line reader accepts is kept (QM_ISCC_RECORD names a
// folder) so that the lane can give them all to the real compiler afterwards.
void RecordAcceptedRegistryLine(const QString& line);

} // namespace qm::testing
