// The program as a process: one instance at a time, and a second start that leaves no trace.

#include "TestMain.h"
#include "UserIsolation.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QProcessEnvironment Environment(const QString& runtime, const QString& config) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    env.insert(QStringLiteral("XDG_DATA_HOME"), runtime + QStringLiteral("/data"));
    env.insert(QStringLiteral("QUILLMARK_REGISTRY_FILE"), runtime + QStringLiteral("/hkcu.txt"));
    // The start-up update check asks a port where nothing listens.
    env.insert(QStringLiteral("QUILLMARK_UPDATE_URLS"), QStringLiteral("https://127.0.0.1:9/"));
    return env;
}

bool IsEmptyFolder(const QString& path) {
    return QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty();
}

} // namespace

class TestStartUp : public QObject {
    Q_OBJECT

private slots:
    void secondInstanceEndsAtOnce() {
        QTemporaryDir runtime;
        QFile::setPermissions(runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QTemporaryDir firstConfig;
        QTemporaryDir secondConfig;

        QProcess first;
        // On Windows the settings folder is the user's, not the process's: it moves for the
        // third start only, while no instance runs.
        UseSettingsFolder(firstConfig.path());
        first.setProcessEnvironment(Environment(runtime.path(), firstConfig.path()));
        first.start(QStringLiteral(QM_APP_PATH), {});
        QVERIFY(first.waitForStarted());
        // Running once its settings folder exists (it is made when the settings are read).
        QTRY_VERIFY_WITH_TIMEOUT(!IsEmptyFolder(firstConfig.path()), 20000);

        QProcess second;
        second.setProcessEnvironment(Environment(runtime.path(), secondConfig.path()));
        second.start(QStringLiteral(QM_APP_PATH), {secondConfig.path()});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(IsEmptyFolder(secondConfig.path()));
        QCOMPARE(first.state(), QProcess::Running);

        // The lock goes with the process that held it.
        first.kill();
        QVERIFY(first.waitForFinished(10000));
        QProcess third;
        UseSettingsFolder(secondConfig.path());
        third.setProcessEnvironment(Environment(runtime.path(), secondConfig.path()));
        third.start(QStringLiteral(QM_APP_PATH), {});
        QTRY_VERIFY_WITH_TIMEOUT(!IsEmptyFolder(secondConfig.path()), 20000);
        QCOMPARE(third.state(), QProcess::Running);
        third.kill();
        third.waitForFinished(10000);
    }
};

QM_TEST_GUILESS_MAIN(TestStartUp)
#include "tst_StartUp.moc"
