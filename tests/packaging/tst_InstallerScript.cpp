// Our own installer script, packaging/windows/Quillmark.iss, with the parts written at
// packaging time from a Windows install tree (a stand-in here, as the Inno Setup compiler
// cannot run on these machines): every line as Inno Setup reads it, the [Files] section our own
// tool wrote naming exactly the tree's files, the languages of the Language folder, and the
// task the update selects.

#include "InnoRegistryParser.h"
#include "TestMain.h"
#include "update/UpdateInstall.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace qm::testing;
using namespace Qt::Literals::StringLiterals;

namespace {

QStringList ReadLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (QString& line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    return lines;
}

} // namespace

class TestInstallerScript : public QObject {
    Q_OBJECT

private slots:
    void everyLine() {
        QTemporaryDir tree;
        QTemporaryDir out;
        QStringList files = {QStringLiteral("quillmark.exe"), QStringLiteral("quillmark-cli.exe"),
                             QStringLiteral("platforms/qwindows.dll"),
                             QStringLiteral("styles/odd {#name} ;x.dll")};
        QStringList languages;
        for (const QString& ini :
             QDir(QStringLiteral(QM_SOURCE_DIR "/share/Language")).entryList({u"*.ini"_s})) {
            files << QStringLiteral("Language/") + ini;
            languages << ini.chopped(4);
        }
        for (const QString& f : files) {
            QDir(tree.path()).mkpath(QFileInfo(f).path());
            QFile file(tree.filePath(f));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QCOMPARE(
            QProcess::execute(
                QStringLiteral("cmake"),
                {QStringLiteral("-DTREE=") + tree.path(), QStringLiteral("-DCLI=" QM_CLI_PATH),
                 QStringLiteral("-DVERSION=1.2.3"), QStringLiteral("-DOUT_DIR=") + out.path(),
                 QStringLiteral("-P"),
                 QStringLiteral(QM_SOURCE_DIR "/packaging/windows/MakeInstallerIncludes.cmake")}),
            0);

        // The preprocessor's includes, then every line.
        QStringList lines;
        for (const QString& line :
             ReadLines(QStringLiteral(QM_SOURCE_DIR "/packaging/windows/Quillmark.iss"))) {
            static const QRegularExpression include(QStringLiteral("^#include \"(\\w+\\.iss)\"$"));
            const QRegularExpressionMatch m = include.match(line);
            QVERIFY2(m.hasMatch() || !line.startsWith(u'#'), qPrintable(line));
            lines << (m.hasMatch() ? ReadLines(out.filePath(m.captured(1))) : QStringList{line});
        }
        const QMap<QString, QStringList> known = {
            {QStringLiteral("[Languages]"), {u"Name"_s, u"MessagesFile"_s}},
            {QStringLiteral("[Tasks]"),
             {u"Name"_s, u"Description"_s, u"GroupDescription"_s, u"Flags"_s}},
            {QStringLiteral("[Icons]"), {u"Name"_s, u"Filename"_s, u"Tasks"_s}},
            {QStringLiteral("[Run]"), {u"Filename"_s, u"Tasks"_s, u"Flags"_s}},
        };
        QString section;
        QStringList sources, languageNames, tasks;
        bool runsTheProgram = false;
        for (const QString& line : lines) {
            if (line.startsWith(u'[')) {
                section = line;
                QVERIFY2(section == u"[Setup]" || section == u"[Files]" || known.contains(section),
                         qPrintable(line));
                continue;
            }
            if (section == u"[Setup]") {
                QString error;
                PreprocessInnoLine(line, error);
                static const QRegularExpression directive(QStringLiteral("^(;.*|\\w+=\\S.*|)$"));
                QVERIFY2(error.isEmpty() && directive.match(line).hasMatch(), qPrintable(line));
            } else if (section == u"[Files]") {
                const InnoFilesLine parsed = ParseInnoFilesLine(line);
                QVERIFY2(parsed.Error.isEmpty(), qPrintable(line + u'\n' + parsed.Error));
                if (parsed.Kind == InnoLineKind::Entry) {
                    sources << parsed.Entry.Source;
                    QVERIFY(parsed.Entry.Flags.contains(QStringLiteral("ignoreversion")));
                }
            } else {
                const InnoEntryLine parsed = ParseInnoEntryLine(line, section, known[section]);
                QVERIFY2(parsed.Error.isEmpty(), qPrintable(line + u'\n' + parsed.Error));
                const QString name = parsed.Parameters.value(QStringLiteral("Name"));
                if (section == u"[Languages]" && parsed.Kind == InnoLineKind::Entry)
                    languageNames << name;
                if (section == u"[Tasks]" && parsed.Kind == InnoLineKind::Entry)
                    tasks << name;
                runsTheProgram = runsTheProgram ||
                                 (section == u"[Run]" &&
                                  parsed.Parameters.value(QStringLiteral("Tasks")) == u"runcmd1" &&
                                  parsed.Parameters.value(QStringLiteral("Filename")) ==
                                      u"{app}\\quillmark.exe");
            }
        }
        sources.sort();
        files.sort();
        QCOMPARE(sources, files);
        QCOMPARE(languageNames, languages);
        // The update installs in the program's language and selects the task that starts it.
        const QString parameters = qm::update::InstallerParameters(languages.first());
        QVERIFY(parameters.contains(QStringLiteral("/LANG=") + languages.first()));
        QVERIFY(parameters.contains(QStringLiteral("/MERGETASKS=\"runcmd1\"")));
        QVERIFY(tasks.contains(QStringLiteral("runcmd1")));
        QVERIFY(runsTheProgram);
    }
};

QM_TEST_GUILESS_MAIN(TestInstallerScript)
#include "tst_InstallerScript.moc"
