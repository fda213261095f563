#pragma once

// Runs quillmark-cli as a process and keeps what it printed.

#include <QProcess>
#include <QStringList>

struct CliRun {
    int ExitCode = -1;
    QByteArray Out;
    QByteArray Err;
};

inline CliRun RunCli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(QM_CLI_PATH), args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        qFatal("quillmark-cli did not finish");
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}
