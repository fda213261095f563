#include "RealInnoSetup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>

namespace qm::testing {

namespace {

QString Env(const char* name) {
    return qEnvironmentVariable(name);
}

} // namespace

QString RealInnoSetupMissing() {
    const QString iscc = Env("QM_ISCC");
    const QString wine = Env("QM_WINE");
    if (iscc.isEmpty() || wine.isEmpty() || Env("WINEPREFIX").isEmpty())
        return QStringLiteral("the real Inno Setup runs only in the iscc lane (ctest -L iscc)");
    if (!QFileInfo::exists(iscc))
        return QStringLiteral("no %1 (scripts/setup.sh install fetches it)").arg(iscc);
    QProcess probe;
    probe.start(wine, {QStringLiteral("--version")});
    if (!probe.waitForFinished(10000) || probe.exitCode() != 0)
        return QStringLiteral("%1 cannot start 32-bit programs here").arg(wine);
    return {};
}

QString InnoTestScript(const QString& body, bool output) {
    QString script = QStringLiteral("[Setup]\r\n"
                                    "AppName=Quillmark test\r\n"
                                    "AppVersion=1\r\n"
                                    "DefaultDirName={autopf}\\Quillmark test\r\n"
                                    "ArchitecturesInstallIn64BitMode=x64compatible\r\n"
                                    "Uninstallable=no\r\n"
                                    "DisableProgramGroupPage=yes\r\n");
    script += output ? QStringLiteral("OutputBaseFilename=setup\r\nCompression=zip/1\r\n")
                     : QStringLiteral("Output=no\r\n");
    return script + body;
}

QString WinePath(const QString& path) {
    return QStringLiteral("Z:") +
           QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).replace(u'/', u'\\');
}

int RunUnderWine(const QString& program, const QStringList& arguments, int seconds, QString* output,
                 bool sixtyFourBit) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(Env(sixtyFourBit ? "QM_WINE64" : "QM_WINE"), QStringList{program} + arguments);
    if (!process.waitForFinished(seconds * 1000)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    if (output)
        *output = QString::fromLocal8Bit(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

InnoCompileResult CompileInnoScript(const QString& script, const QString& folder,
                                    const QString& name) {
    InnoCompileResult result;
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        result.Message = QStringLiteral("cannot write %1").arg(path);
        return result;
    }
    file.write("\xEF\xBB\xBF");
    file.write(script.toUtf8());
    file.close();

    QString output;
    const int code = RunUnderWine(
        Env("QM_ISCC"),
        {QStringLiteral("/Q"), QStringLiteral("/O") + WinePath(folder + QStringLiteral("/Output")),
         WinePath(path)},
        600, &output);
    static const QRegularExpression error(
        QStringLiteral("Error on line (\\d+) in [^:]*:[^:]*: (.*)"));
    static const QRegularExpression warning(QStringLiteral("^Warning: (.*)$"),
                                            QRegularExpression::MultilineOption);
    for (auto it = warning.globalMatch(output); it.hasNext();)
        result.Warnings << it.next().captured(1).trimmed();
    result.Ok = code == 0;
    if (result.Ok)
        return result;
    const QRegularExpressionMatch m = error.match(output);
    result.Line = m.hasMatch() ? m.captured(1).toInt() : 0;
    result.Message = m.hasMatch() ? m.captured(2).trimmed()
                                  : QStringLiteral("ISCC ended with %1: %2").arg(code).arg(output);
    return result;
}

void RecordAcceptedRegistryLine(const QString& line) {
    static const QString folder = Env("QM_ISCC_RECORD");
    if (folder.isEmpty())
        return;
    // One file per test program, begun anew by each run.
    static QFile file(QDir(folder).filePath(
        QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).fileName() +
        QStringLiteral(".lines")));
    static QSet<QString> seen;
    if (!file.isOpen()) {
        QDir().mkpath(folder);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot record the lines for the compiler in %s", qPrintable(folder));
    }
    if (seen.contains(line))
        return;
    seen.insert(line);
    file.write(line.toUtf8() + "\n");
    file.flush();
}

} // namespace qm::testing
