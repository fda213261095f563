#include "cli/RegistryCommand.h"

#include "cli/CliCommon.h"
#include "cli/LineOutput.h"
#include "cli/Progress.h"
#include "platform/CodePage.h"
#include "platform/Console.h"
#include "regconv/AdvancedRegConverter.h"
#include "regconv/TextSink.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace qm::cli {

const char kRegistryUsage[] =
    "quillmark-cli registry FILE.reg|- [--uninsdeletevalue]\n"
    "                      [--uninsdeletekey | --uninsdeletekeyifempty]\n"
    "                      [--classes-as-hka] [--privileges admin|lowest|dynamic]\n"
    "                      [--wow64-view] [--min-version V]\n"
    "                      [--codepage NAME] [-o OUT] [--quiet]\n"
    "    Converts a registry export into an Inno Setup [Registry] section; \"-\" reads the\n"
    "    export from standard input.\n"
    "    --uninsdeletevalue       every value line gets Flags: uninsdeletevalue\n"
    "    --uninsdeletekey         every key line gets Flags: uninsdeletekey\n"
    "    --uninsdeletekeyifempty  every key line gets Flags: uninsdeletekeyifempty\n"
    "    --classes-as-hka         HKEY_CLASSES_ROOT\\X becomes Root: HKA; Subkey:\n"
    "                             \"Software\\Classes\\X\" (per user or per machine, as the\n"
    "                             install runs)\n"
    "    --privileges MODE        admin: HKCU lines become comments; lowest: HKLM, HKCC\n"
    "                             and HKU\\.DEFAULT lines become comments; dynamic: each\n"
    "                             line gets Check: IsAdminInstallMode, or Check: not\n"
    "                             IsAdminInstallMode for HKCU (HKA lines need none)\n"
    "    --wow64-view             HKLM\\Software\\WOW6432Node\\X and HKCR\\WOW6432Node\\X go\n"
    "                             to the 32-bit view: Root: HKLM32; Subkey: \"Software\\X\"\n"
    "    --min-version V          every line gets MinVersion: V (e.g. 6.1sp1, 10.0.17763)\n"
    "    --codepage NAME          code page of an export without a byte-order mark\n"
    "                             (cp1251, cp866, windows-1252, ...; default: UTF-8 when\n"
    "                             the file is valid UTF-8, else windows-1252)\n"
    "    -o OUT                   write to OUT instead of standard output (\"-\": standard\n"
    "                             output)\n"
    "    --quiet                  no progress on standard error\n";

namespace {

struct TRegistryArgs {
    QString File;
    QString Out;
    QString CodePage;
    TRegConvOptions Options;
    bool Quiet = false;
};

// Returns an error message, or an empty text when the arguments are sound.
QString ParseArgs(const QStringList& args, TRegistryArgs& parsed) {
    TArgWalker walker(args);
    QString a;
    while (walker.Next(a)) {
        if (a == u"--uninsdeletevalue") {
            parsed.Options.UninsDeleteValue = true;
        } else if (a == u"--uninsdeletekey") {
            parsed.Options.UninsDeleteKey = true;
        } else if (a == u"--uninsdeletekeyifempty") {
            parsed.Options.UninsDeleteKeyIfEmpty = true;
        } else if (a == u"--classes-as-hka") {
            parsed.Options.ClassesAsHka = true;
        } else if (a == u"--wow64-view") {
            parsed.Options.Wow64View = true;
        } else if (a == u"--privileges") {
            QString mode;
            if (!walker.Next(mode) || !ParseRegPrivileges(mode, parsed.Options.Privileges))
                return QStringLiteral("--privileges needs admin, lowest or dynamic");
        } else if (a == u"--min-version") {
            if (!walker.Next(parsed.Options.MinVersion) ||
                !IsInnoMinVersion(parsed.Options.MinVersion))
                return QStringLiteral("--min-version needs a version Inno Setup accepts, such "
                                      "as 6.1sp1 or 10.0.17763");
        } else if (a == u"--codepage") {
            if (!walker.Next(parsed.CodePage))
                return QStringLiteral("--codepage needs a code page name");
        } else if (a == u"--quiet") {
            parsed.Quiet = true;
        } else if (a == u"-o") {
            if (!walker.Next(parsed.Out) || parsed.Out.isEmpty())
                return QStringLiteral("-o needs a file name");
        } else if (a.startsWith(u'-') && a != u"-") {
            return QStringLiteral("unknown option %1").arg(a);
        } else if (parsed.File.isEmpty()) {
            parsed.File = a;
        } else {
            return QStringLiteral("only one export file can be converted at a time");
        }
    }
    if (parsed.File.isEmpty())
        return QStringLiteral("registry needs an export file");
    if (parsed.Options.UninsDeleteKey && parsed.Options.UninsDeleteKeyIfEmpty)
        return QStringLiteral("--uninsdeletekey and --uninsdeletekeyifempty exclude each other");
    if (!qm::platform::IsKnownCodePage(parsed.CodePage.toStdString()))
        return QStringLiteral("unknown code page %1").arg(parsed.CodePage);
    return {};
}

} // namespace

int RunRegistryCommand(const QStringList& args) {
    TRegistryArgs parsed;
    if (const QString error = ParseArgs(args, parsed); !error.isEmpty())
        return UsageError(error);

    const bool fromStdin = parsed.File == u"-";
    if (!fromStdin && !QFileInfo::exists(parsed.File)) {
        PrintError(QStringLiteral("%1: no such file").arg(parsed.File));
        return kExitFailed;
    }

    TAdvancedRegConverter converter;
    converter.SetAnsiCodePage(parsed.CodePage);
    converter.SetOptionsSource([options = parsed.Options] { return options; });
    QFile input(parsed.File);
    if (fromStdin) {
        qm::platform::SetStdinBinary();
        // By descriptor: on Windows a pipe read through the C stream fails at its first read.
        input.open(0, QIODevice::ReadOnly);
    }
    const QString name = fromStdin ? QStringLiteral("standard input") : parsed.File;
    TLineOutput output;
    if (!output.Open(parsed.Out)) {
        PrintError(output.ErrorMessage());
        return kExitFailed;
    }
    // Each key's lines are written as soon as they are converted; a file named by -o appears
    // only when the whole section has been written.
    TLineOutputSink sink(output);
    TProgress progress(parsed.Quiet, TLineOutput::ToTerminal(parsed.Out));
    if (progress.Enabled()) {
        const qint64 total = input.isSequential() ? 0 : input.size();
        sink.SetAfterWrite([&progress, &input, total] {
            if (!progress.Due())
                return;
            const qint64 mb = 1 << 20;
            progress.Report(total > 0 ? QStringLiteral("%1 of %2 MB converted")
                                            .arg(input.pos() / mb)
                                            .arg((total + mb - 1) / mb)
                                      : QStringLiteral("%1 MB converted").arg(input.pos() / mb));
        });
    }
    QString error;
    if (!converter.StreamToSink(input, name, &sink, error)) {
        PrintError(name + QStringLiteral(": ") + error);
        return kExitFailed;
    }
    if (!sink.Ok() || !output.Commit()) {
        PrintError(output.ErrorMessage());
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace qm::cli
