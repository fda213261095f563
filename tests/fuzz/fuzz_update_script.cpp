// The scripts that replace a portable build, with any folder, program and archive names: read
// back the way the command interpreter, PowerShell and a POSIX shell read them, every inserted
// name comes back whole and exactly, and expands no variable. Names no script can hold are
// refused (no script), never written.

#include "FuzzSupport.h"
#include "update/UpdateInstall.h"

#include <QStringList>
#include <algorithm>

using namespace qm::fuzzing;

namespace {

// cmd.exe: "%%" is one percent sign, any other "%" expands a variable; the quoted arguments of
// the line.
QStringList CmdQuotedArguments(const QString& line, bool& expands) {
    QStringList arguments;
    QString text;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        QChar c = line[i];
        if (c == u'%') {
            if (i + 1 < line.size() && line[i + 1] == u'%')
                ++i;
            else
                expands = true;
        } else if (c == u'"') {
            if (quoted)
                arguments << text;
            text.clear();
            quoted = !quoted;
            continue;
        }
        if (quoted)
            text += c;
    }
    Require(!quoted, "every quote of a command line is closed", line);
    return arguments;
}

bool IsPowerShellQuote(QChar c) {
    return c == u'\'' || (c >= QChar(0x2018) && c <= QChar(0x201B));
}

// The PowerShell string in single quotes that starts at `at`; `end` is just past its quote.
QString PowerShellString(const QString& text, qsizetype at, qsizetype& end) {
    Require(at < text.size() && IsPowerShellQuote(text[at]), "a PowerShell string starts", text);
    QString value;
    for (qsizetype i = at + 1; i < text.size(); ++i) {
        if (IsPowerShellQuote(text[i])) {
            if (i + 1 >= text.size() || !IsPowerShellQuote(text[i + 1])) {
                end = i + 1;
                return value;
            }
            ++i;
        }
        value += text[i];
    }
    Fail("a PowerShell string ends", text);
}

void CheckBatch(const QString& folder, const QString& exe, const QString& zip) {
    const QByteArray bytes = qm::update::PortableUpdateBatch(folder, exe, zip);
    const auto unquotable = [](const QString& s) {
        return std::any_of(s.begin(), s.end(), [](QChar c) { return c < u' ' || c == u'"'; });
    };
    if (unquotable(folder) || unquotable(exe) || unquotable(zip)) {
        Require(bytes.isEmpty(), "a name with a quote or a control character makes no script");
        return;
    }
    // Otherwise in the OEM code page, which here (the stand-in's) is ASCII.
    const bool utf8 = bytes.contains("\r\nchcp 65001 >nul\r\n");
    const QString script = utf8 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
    Require(utf8 || std::all_of(bytes.begin(), bytes.end(),
                                [](char c) { return static_cast<unsigned char>(c) < 0x80; }),
            "a script without chcp is ASCII here");
    const QStringList lines = script.split(QStringLiteral("\r\n"));
    QList<QStringList> expected = {{folder}, {exe}, {zip}, {QString(), exe}};
    const QStringList prefixes = {QStringLiteral("pushd "), QStringLiteral("taskkill "),
                                  QStringLiteral("del \""), QStringLiteral("start ")};
    int powerShell = 0;
    for (const QString& untrimmed : lines) {
        const QString line = untrimmed.trimmed(); // lines inside a block are indented
        bool expands = false;
        const QStringList arguments = CmdQuotedArguments(line, expands);
        if (line == QStringLiteral("del \"%~f0\""))
            continue; // the script's own path, on purpose
        if (line.contains(QStringLiteral("\".quillmark-extracted\"")))
            continue; // the extraction's marker, a fixed name
        Require(!expands, "no line expands a variable", line);
        for (qsizetype p = 0; p < prefixes.size(); ++p)
            if (line.startsWith(prefixes[p]))
                Require(arguments == expected[p], "a quoted name comes back whole",
                        line + u'\n' + expected[p].join(u'|'));
        if (!line.startsWith(QStringLiteral("powershell ")))
            continue;
        ++powerShell;
        const QString command = arguments.value(0);
        const QString open = QStringLiteral("::OpenRead(");
        const qsizetype at = command.indexOf(open);
        qsizetype end = 0;
        Require(at >= 0 && PowerShellString(command, at + open.size(), end) == zip,
                "the archive name is one PowerShell string", command);
        Require(command.sliced(end).startsWith(QStringLiteral("); try { foreach ($entry in")),
                "the command goes on after the archive name", command);
    }
    Require(powerShell == 1, "one PowerShell line", script);
}

// A POSIX shell word at `at`: quoted parts in single quotes and backslash-escaped characters;
// `end` is just past it. Anything that could expand ($, `) or split it ends it or fails.
QString ShellWord(const QString& text, qsizetype at, qsizetype& end) {
    QString word;
    qsizetype i = at;
    while (i < text.size() && text[i] != u' ' && text[i] != u'\n') {
        if (text[i] == u'\'') {
            const qsizetype close = text.indexOf(u'\'', i + 1);
            Require(close > i, "a shell quote is closed", text);
            word += text.sliced(i + 1, close - i - 1);
            i = close + 1;
        } else if (text[i] == u'\\' && i + 1 < text.size()) {
            word += text[i + 1];
            i += 2;
        } else {
            Require(text[i] != u'$' && text[i] != u'`' && text[i] != u'"',
                    "nothing in a shell word expands", text);
            word += text[i++];
        }
    }
    end = i;
    return word;
}

void CheckShell(const QString& folder, const QString& exe, const QString& zip) {
    const QByteArray bytes = qm::update::PortableUpdateShell(folder, exe, zip, 4321);
    if (folder.contains(QChar(0)) || exe.contains(QChar(0)) || zip.contains(QChar(0))) {
        Require(bytes.isEmpty(), "a name with a zero character makes no script");
        return;
    }
    const QString script = QString::fromUtf8(bytes);
    Require(script.toUtf8() == bytes, "the shell script is UTF-8");
    // Each command that takes a name, the name it must get, and what follows it.
    const struct {
        QString Command;
        QString Name;
        QString Then;
    } uses[] = {
        {QStringLiteral("#!/bin/sh\ncd "), folder, QStringLiteral(" || exit 1\n")},
        {QStringLiteral("\nunzip -o -q "), zip, QStringLiteral(" &&\n")},
        {QStringLiteral("\nrm -f -- "), zip, QStringLiteral("\n")},
        {QStringLiteral("\nsetsid -f "), QStringLiteral("./") + exe,
         QStringLiteral(" </dev/null >/dev/null 2>&1\n")},
    };
    qsizetype from = 0;
    for (const auto& use : uses) {
        const qsizetype at = script.indexOf(use.Command, from);
        Require(at >= 0, "the command is there", use.Command + u'\n' + script);
        qsizetype end = 0;
        Require(ShellWord(script, at + use.Command.size(), end) == use.Name,
                "a name is one shell word", script);
        Require(script.sliced(end).startsWith(use.Then), "the command goes on after the name",
                script);
        from = end;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QStringList names = QString::fromUtf8(input).split(QChar(0x1F));
    while (names.size() < 3)
        names << QStringLiteral("Quillmark.zip");
    CheckBatch(names[0], names[1], names[2]);
    CheckShell(names[0], names[1], names[2]);
    return 0;
}
