#pragma once

// Runs quillmark-cli as a process and keeps what it printed.

#include <QProcess>
#include <QStringList>
#include <QTest>

struct CliRun {
    int ExitCode = -1;
    QByteArray Out;
    QByteArray Err;
};

// Text lines as the program prints them: on Windows its text output ends lines with CR LF.
inline QByteArray TextLines(QByteArray text) {
#if defined(Q_OS_WIN)
    text.replace("\n", "\r\n");
#endif
    return text;
}

// `input` goes to its standard input through a pipe.
inline CliRun RunCli(const QStringList& args, const QByteArray& input = {}) {
    QProcess p;
    p.start(QStringLiteral(QM_CLI_PATH), args);
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        qFatal("quillmark-cli did not finish");
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

// A usage error: exit code 2, nothing on standard output, `message` on standard error.
inline void VerifyUsageError(const QStringList& args, const QByteArray& message) {
    const CliRun r = RunCli(args);
    QCOMPARE(r.ExitCode, 2);
    QVERIFY(r.Out.isEmpty());
    QVERIFY2(r.Err.contains(message), r.Err.constData());
}
