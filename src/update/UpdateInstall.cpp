#include "update/UpdateInstall.h"

#include "platform/CodePage.h"
#include "platform/KnownFolders.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <algorithm>

namespace qm::update {

namespace {

// a / b rounded to the nearest integer, halves to even; b > 0.
qint64 RoundedQuotient(qint64 a, qint64 b) {
    qint64 q = a / b;
    const qint64 twiceRest = 2 * (a % b);
    if (twiceRest > b || (twiceRest == b && q % 2 != 0))
        ++q;
    return q;
}

QString BatchText(QString text) {
    return text.replace(u'%', QStringLiteral("%%"));
}

// A text inside a PowerShell string in single quotes: PowerShell takes the typographic single
// quotes for quotes too, and reads any of them doubled as that one character.
QString PowerShellQuotedText(const QString& text) {
    QString out;
    for (const QChar c : text) {
        out += c;
        if (c == u'\'' || (c >= QChar(0x2018) && c <= QChar(0x201B)))
            out += c;
    }
    return out;
}

// A name a command script cannot quote: Windows names hold neither quotes nor control
// characters, and a script line could not hold them either.
bool UnquotableInBatch(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c < u' ' || c == u'"'; });
}

// A POSIX shell word that stands for `text` exactly.
QString ShellQuoted(QString text) {
    return u'\'' + text.replace(u'\'', QStringLiteral("'\\''")) + u'\'';
}

} // namespace

qint64 ProgressStepFor(qint64 total) {
    return total > 0 ? RoundedQuotient(total, 100) : 0;
}

int ProgressPosition(qint64 received, qint64 step, int current) {
    if (step <= 0)
        return current;
    return static_cast<int>(std::min<qint64>(RoundedQuotient(received, step), 100));
}

QString InstallerParameters(const QString& language) {
    return QStringLiteral("/SILENT /CLOSEAPPLICATIONS /SUPPRESSMSGBOXES /LANG=") + language +
           QStringLiteral(" /MERGETASKS=\"runcmd1\"");
}

QString UpdateScriptName(const QTime& time, const QString& extension) {
    return QStringLiteral("update_") + time.toString(QStringLiteral("HHmmss")) + u'.' + extension;
}

QByteArray PortableUpdateBatch(const QString& folder, const QString& exe, const QString& zip) {
    if (UnquotableInBatch(folder) || UnquotableInBatch(exe) || UnquotableInBatch(zip))
        return {};
    const QString f = BatchText(folder);
    const QString e = BatchText(exe);
    const QString z = BatchText(zip);
    // Extracted into a staging folder first, refusing entries that would land outside it (a
    // ".." part, an absolute path), and copied over the program only when all of it came out:
    // a failure leaves the program whole and the archive kept. The marker file tells the script
    // that the extraction ran to its end (a PowerShell that did nothing must not count).
    const QString extract =
        QStringLiteral(
            "powershell -NoProfile -Command \"$ErrorActionPreference = 'Stop'; "
            "$stage = Join-Path (Get-Location) '.quillmark-staging'; "
            "trap { if (Test-Path -LiteralPath $stage) { Remove-Item -LiteralPath $stage -Recurse "
            "-Force }; Write-Host ('Not extracted: ' + $_); exit 1 }; "
            "if (Test-Path -LiteralPath $stage) { Remove-Item -LiteralPath $stage -Recurse -Force "
            "}; "
            "Add-Type -AssemblyName System.IO.Compression.FileSystem; "
            "$zip = [System.IO.Compression.ZipFile]::OpenRead('%1'); "
            "try { foreach ($entry in $zip.Entries) { $name = $entry.FullName.Replace('\\', '/'); "
            "if ($name.StartsWith('/') -or $name -match '^[A-Za-z]:' -or $name.Split('/') "
            "-contains "
            "'..') { throw ('unsafe entry ' + $entry.FullName) }; "
            "$target = Join-Path $stage $name; "
            "if ($name.EndsWith('/')) { [System.IO.Directory]::CreateDirectory($target) | Out-Null "
            "} "
            "else { [System.IO.Directory]::CreateDirectory([System.IO.Path]::GetDirectoryName("
            "$target)) | Out-Null; "
            "[System.IO.Compression.ZipFileExtensions]::ExtractToFile($entry, "
            "$target, $true) } } } finally { $zip.Dispose() }; "
            "Copy-Item -Path (Join-Path $stage '*') -Destination (Get-Location) -Recurse -Force; "
            "Remove-Item -LiteralPath $stage -Recurse -Force; "
            "New-Item -ItemType File '.quillmark-extracted' | Out-Null\"")
            .arg(PowerShellQuotedText(z));
    QStringList lines = {
        QStringLiteral("@echo off"),
        // A folder it cannot enter (gone, or named past the code page) stops it there.
        QStringLiteral("pushd \"") + f + u'"',
        QStringLiteral("if errorlevel 1 exit /b 1"),
        QString(),
        QStringLiteral("echo Killing app..."),
        QStringLiteral("taskkill /F /IM \"") + e + QStringLiteral("\" >nul 2>&1"),
        QStringLiteral("timeout /t 2 >nul"),
        QString(),
        QStringLiteral("echo Extracting..."),
        QStringLiteral("if exist \".quillmark-extracted\" del \".quillmark-extracted\""),
        extract,
        QStringLiteral("if exist \".quillmark-extracted\" ("),
        QStringLiteral("  del \".quillmark-extracted\""),
        QStringLiteral("  echo Deleting ZIP..."),
        QStringLiteral("  del \"") + z + u'"',
        QStringLiteral(") else ("),
        QStringLiteral("  echo The archive was not extracted: the program stays as it was."),
        QStringLiteral(")"),
        QString(),
        QStringLiteral("echo Starting app..."),
        QStringLiteral("start \"\" \"") + e + u'"',
        QString(),
        QStringLiteral("echo Done"),
        QStringLiteral("timeout /t 2 >nul"),
        QStringLiteral("popd"),
        QStringLiteral("del \"%~f0\""),
    };
    // The command interpreter reads a script in the OEM code page; what that cannot hold, it
    // reads in UTF-8 once it has switched to it.
    const QString text = lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    if (const auto oem = qm::platform::EncodeOem(text.toStdU16String()))
        return QByteArray::fromStdString(*oem);
    lines.insert(1, QStringLiteral("chcp 65001 >nul"));
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

QByteArray PortableUpdateShell(const QString& folder, const QString& exe, const QString& zip,
                               qint64 pid) {
    if (folder.contains(QChar(0)) || exe.contains(QChar(0)) || zip.contains(QChar(0)))
        return {};
    const QString p = QString::number(pid);
    const QString z = ShellQuoted(zip);
    const QStringList lines = {
        QStringLiteral("#!/bin/sh"),
        QStringLiteral("cd ") + ShellQuoted(folder) + QStringLiteral(" || exit 1"),
        QString(),
        QStringLiteral("echo 'Killing app...'"),
        QStringLiteral("kill -KILL ") + p + QStringLiteral(" 2>/dev/null"),
        QStringLiteral("i=0"),
        QStringLiteral("while kill -0 ") + p +
            QStringLiteral(" 2>/dev/null && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done"),
        QString(),
        QStringLiteral("echo 'Extracting...'"),
        // An archive that could not be extracted stays for another try.
        QStringLiteral("unzip -o -q ") + z + QStringLiteral(" &&"),
        QStringLiteral("echo 'Deleting ZIP...' &&"),
        QStringLiteral("rm -f -- ") + z,
        QString(),
        QStringLiteral("echo 'Starting app...'"),
        QStringLiteral("setsid -f ") + ShellQuoted(QStringLiteral("./") + exe) +
            QStringLiteral(" </dev/null >/dev/null 2>&1"),
        QString(),
        QStringLiteral("echo 'Done'"),
        QStringLiteral("rm -f -- \"$0\""),
    };
    return (lines.join(u'\n') + u'\n').toUtf8();
}

QString WriteUpdateScript(const QString& name, const QByteArray& bytes) {
    if (bytes.isEmpty())
        return {}; // the writer could not make a script of those names
    const QString folder = QString::fromStdU16String(qm::platform::PrivateWorkFolder());
    if (folder.isEmpty())
        return {};
    const QString path = folder + name;
    // Replaced, not written through, should a link stand in its place.
    QFile::remove(path);
    QSaveFile file(path);
    const bool written =
        file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) &&
        file.commit();
    return written && QFileInfo::exists(path) ? path : QString();
}

} // namespace qm::update
