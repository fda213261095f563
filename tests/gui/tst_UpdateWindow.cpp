// The update window with real widgets against a real HTTPS server on 127.0.0.1: the states after
// each check, the downloads and what they leave, cancelling mid-transfer, the start-up prompt,
// the taskbar progress on the session bus, and the window's end while a check runs.

#include "GuiTestSupport.h"
#include "TestMain.h"
#include "TestSigner.h"
#include "UpdateTestServer.h"
#include "ZipWriter.h"
#include "app/Unit_Base.h"
#include "osutils/TaskbarButton.h"
#include "settings/PortablePath.h"
#include "update/Unit_Update.h"
#include "update/UpdateFetch.h"
#include "update/UpdateHttp.h"
#include "update/UpdateServers.h"

#include <QAction>
#include <QCheckBox>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

const QByteArray kVersionPath = "/download/Quillmark/version.txt";

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Collects the launcher-entry signals of the session bus.
class LauncherEntryListener : public QObject {
    Q_OBJECT

public:
    QList<QVariantMap> Updates;

    // The most progress shown.
    double Shown() const {
        double shown = 0;
        for (const QVariantMap& update : Updates)
            if (update.value(QStringLiteral("progress-visible")).toBool())
                shown = std::max(shown, update.value(QStringLiteral("progress")).toDouble());
        return shown;
    }

public slots:
    void Update(const QString& app, const QVariantMap& properties) {
        if (app == u"application://quillmark.desktop")
            Updates << properties;
    }
};

} // namespace

class TestUpdateWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_temp;   // the user's temporary folder
    QString m_opened; // what the desktop's handler was given, one line each
    std::optional<TUpdateTestServer> m_server;
    QProcess m_bus;

    // Downloads go to the user's private folder, not the shared temporary one.
    QString SetupPath() const {
        return qm::update::UpdateWorkFolder() + qm::update::SetupFileName();
    }
    QString PortablePathOfArchive() const {
        return ProgramFolder() + qm::update::PortableZipName();
    }

    // The portable build's archive, holding one entry.
    static QByteArray Archive(const QByteArray& entry = "Quillmark.exe") {
        return qm::testing::StoredZip({{entry, "NEW", {}}});
    }

    // The server offers `version` with both builds, the installer signed as `signature` says
    // (own: with the release key, foreign: with another, none: not at all); the automatic
    // check is as given (when it is off, the quick option is stored off too).
    void Offer(const QByteArray& version, bool autoCheck,
               const TRoute& setup = TRoute::Answer(200, "SETUP"),
               const QString& signature = u"own"_s, const QByteArray& archive = Archive()) {
        m_server->ClearRoutes();
        m_server->ClearRequests();
        m_server->SetRoute(kVersionPath, TRoute::Answer(200, version));
        const QByteArray folder = "/download/Quillmark/";
        const QByteArray setupPath = folder + qm::update::SetupFileName().toUtf8();
        const QByteArray zipPath = folder + qm::update::PortableZipName().toUtf8();
        m_server->SetRoute(setupPath, setup);
        if (signature != u"none")
            m_server->SetRoute(
                setupPath + ".sig",
                TRoute::Answer(200, signature == u"own"
                                        ? qm::testing::TestSignature(setup.Body)
                                        : qm::testing::ForeignSignature(setup.Body)));
        m_server->SetRoute(zipPath, TRoute::Answer(200, archive));
        m_server->SetRoute(zipPath + ".sig",
                           TRoute::Answer(200, qm::testing::TestSignature(archive)));
        WriteFile(PortablePath(),
                  autoCheck ? "" : "[Option]\r\nCheckBoxAutoCheck=0\r\nCheckBoxQuickUpdate=0\r\n");
    }

    // Shows the window and waits for its check to end.
    static void ShowChecked(TForm10& form) {
        form.show();
        QTRY_VERIFY(form.GroupBoxOption->isEnabled() &&
                    form.LabelUpDate->text() != form.Message("LangCheckUpdate"));
    }

    bool DownloadRequested() const {
        for (const TSeenRequest& r : m_server->Requests())
            if (!r.Path.endsWith("version.txt"))
                return true;
        return false;
    }

private slots:
    void initTestCase() {
        IsolateFromUser(m_dir.path());
        QVERIFY2(!StartPrivateSessionBus(m_bus).isEmpty(), "dbus-daemon does not start");

        m_temp = m_dir.filePath(u"tmp"_s);
        QDir().mkpath(m_temp);
        qputenv("TMPDIR", m_temp.toUtf8());
        // The desktop's handler, as the program finds it on the PATH.
        m_opened = m_dir.filePath(u"opened.txt"_s);
        WriteFile(m_dir.filePath(u"bin/xdg-open"_s),
                  "#!/bin/sh\necho \"$@\" >> '" + m_opened.toUtf8() + "'\n");
        QFile::setPermissions(m_dir.filePath(u"bin/xdg-open"_s),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", m_dir.filePath(u"bin"_s).toUtf8() + ':' + qgetenv("PATH"));

        m_server.emplace();
        QVERIFY2(m_server->Error().isEmpty(), qPrintable(m_server->Error()));
        qm::update::THttpClient::SetExtraCaCertificates({m_server->Certificate()});
    }

    void cleanupTestCase() {
        m_bus.kill();
        m_bus.waitForFinished();
    }

    void init() {
        qputenv(qm::update::kUpdateUrlsVariable, m_server->HttpsBase().toUtf8());
        PortableMode = false;
        QuickStartPending = false;
        QFile::remove(m_opened);
        QFile::remove(SetupPath());
        QFile::remove(PortablePathOfArchive());
        QDir(ProgramFolder() + u"Config"_s).removeRecursively(); // portable settings
    }

    void afterEachCheck_data() {
        QTest::addColumn<QByteArray>("version"); // empty: the server fails
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("server");
        QTest::addColumn<int>("result");
        QTest::newRow("newer") << QByteArray("9.0.0.0")
                               << u"Доступно обновление " QM_VERSION_TEXT " ---> 9.0.0.0"_s
                               << u"9.0.0.0"_s << 1;
        QTest::newRow("same") << QByteArray(QM_VERSION_TEXT) << u"Нет обновления"_s
                              << u"" QM_VERSION_TEXT ""_s << 0;
        QTest::newRow("older") << QByteArray("0.0.1") << u"Нет обновления"_s << u"0.0.1"_s << -1;
        QTest::newRow("no server")
            << QByteArray() << u"Не удалось проверить обновления"_s << u"Ошибка соединения"_s << 0;
    }

    void afterEachCheck() {
        QFETCH(QByteArray, version);
        QFETCH(QString, status);
        QFETCH(QString, server);
        QFETCH(int, result);
        Offer(version, false);
        if (version.isEmpty())
            m_server->ClearRoutes();
        TForm10 form(qm::testing::TestReleaseKey());
        QVERIFY(!form.CheckBoxQuickUpdate->isChecked()); // as stored, not always ticked
        QVERIFY(form.ProgressBarUpdate->isVisibleTo(&form));
        form.CheckBoxForceUpdate->setChecked(true); // opening the window turns it off
        ShowChecked(form);
        QVERIFY(!form.CheckBoxForceUpdate->isChecked());
        QCOMPARE(form.LabelUpDate->text(), status);
        QCOMPARE(form.LabelServerVersion->text(), server);
        QCOMPARE(form.LabelLocalVersion->text(), QStringLiteral(QM_VERSION_TEXT));
        QCOMPARE(form.ButtonDownload->isEnabled(), result == 1);
        QCOMPARE(CheckResult, result);
        QCOMPARE(UpdateFileUrl.isEmpty(), version.isEmpty());
        // Force allows the download whatever the check found, and takes it back.
        form.CheckBoxForceUpdate->click();
        QVERIFY(form.ButtonDownload->isEnabled());
        form.CheckBoxForceUpdate->click();
        QVERIFY(!form.ButtonDownload->isEnabled());

        form.CheckBoxAutoCheck->setChecked(false);
        form.ButtonClose->click();
        QVERIFY(!form.isVisible());
        QVERIFY(form.LabelUpDate->text().isEmpty() && form.LabelServerVersion->text().isEmpty());
        QVERIFY(Read(PortablePath()).contains("CheckBoxAutoCheck=0"));
    }

    // What a download leaves behind, after the check offered a newer build.
    void downloads_data() {
        QTest::addColumn<bool>("portable");
        QTest::addColumn<bool>("quick");
        QTest::addColumn<TRoute>("setup");      // how the installer's URL answers
        QTest::addColumn<QString>("signature"); // how the installer is signed
        QTest::addColumn<bool>("scriptFolder"); // a private folder for the script exists
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("kept"); // "setup", "archive" or nothing
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("entry"); // the portable archive's one entry
        const QString done = u"Файлы обновления загружены!"_s;
        const QString none = u"Файлы обновления не загружены!"_s;
        const QString notSigned = u"Загрузка не подписана командой Quillmark"_s;
        const TRoute setup = TRoute::Answer(200, "SETUP");
        const QByteArray exe = "Quillmark.exe";
        QTest::newRow("installer, opened normally")
            << false << false << setup << "own" << true << done << "setup"
            << "" << exe;
        QTest::newRow("installer missing on the server")
            << false << false << TRoute::Answer(404) << "own" << true << none << ""
            << "" << exe;
        QTest::newRow("installer not signed")
            << false << true << setup << "none" << true << notSigned << ""
            << "" << exe;
        QTest::newRow("installer signed by another key")
            << false << true << setup << "foreign" << true << notSigned << ""
            << "" << exe;
        QTest::newRow("refused redirect to plain HTTP")
            << false << false
            << TRoute::Redirect(QStringLiteral("http://127.0.0.1:%1/download/Quillmark/x")
                                    .arg(m_server->Port())
                                    .toUtf8())
            << "own" << true << none << ""
            << "" << exe;
        QTest::newRow("portable, kept in the program folder")
            << true << false << TRoute() << "own" << true << done << "archive"
            << "" << exe;
        QTest::newRow("portable, no script possible")
            << true << true << TRoute() << "own" << false << done << "archive"
            << "Failed to create update script!" << exe;
        // Unpacked, it would write outside the program's folder: nothing starts.
        QTest::newRow("portable, an entry outside the program folder")
            << true << true << TRoute() << "own" << true << u"Не удалось запустить обновление"_s
            << ""
            << "" << QByteArray("../Quillmark.exe");
    }

    void downloads() {
        QFETCH(bool, portable);
        QFETCH(bool, quick);
        QFETCH(TRoute, setup);
        QFETCH(QString, signature);
        QFETCH(bool, scriptFolder);
        QFETCH(QString, status);
        QFETCH(QString, kept);
        QFETCH(QString, message);
        QFETCH(QByteArray, entry);
        PortableMode = portable;
        Offer("9.0.0.0", false, setup, signature, Archive(entry));
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        if (!scriptFolder) {
            // No private folder to be had: no runtime folder, no temporary folder.
            qunsetenv("XDG_RUNTIME_DIR");
            qputenv("TMPDIR", m_dir.filePath(u"missing"_s).toUtf8());
        }
        TForm10 form(qm::testing::TestReleaseKey());
        form.CheckBoxQuickUpdate->setChecked(quick);
        ShowChecked(form);
        QVERIFY(form.ButtonDownload->isEnabled());
        QString told;
        if (!message.isEmpty()) {
            CloseNextPopup([&](QWidget* box) {
                if (auto* shown = qobject_cast<QMessageBox*>(box))
                    told = shown->text();
            });
        }
        form.ButtonDownload->click(); // returns when the download has been handled
        qputenv("TMPDIR", m_temp.toUtf8());
        if (!runtime.isEmpty())
            qputenv("XDG_RUNTIME_DIR", runtime);

        QCOMPARE(form.LabelUpDate->text(), status);
        QCOMPARE(told, message);
        QCOMPARE(form.DownloadMode(), 0);
        QCOMPARE(form.ButtonDownload->text(), u"Скачать"_s);
        QVERIFY(form.ButtonClose->isEnabled() && form.GroupBoxOption->isEnabled());
        QVERIFY(!form.ProgressBarUpdate->isVisibleTo(&form));
        QCOMPARE(form.TaskbarUpdate->State(), TTaskbarState::None);
        QVERIFY(!form.QuitRequested());
        QCOMPARE(Read(SetupPath()), kept == u"setup" ? QByteArray("SETUP") : QByteArray());
        QCOMPARE(Read(PortablePathOfArchive()), kept == u"archive" ? Archive(entry) : QByteArray());
        // Only a downloaded installer is started.
        if (kept == u"setup")
            QTRY_COMPARE(Read(m_opened).trimmed(), SetupPath().toUtf8());
        else
            QVERIFY(!QFile::exists(m_opened));
    }

    // What the server says is shown as text, never as markup; a quick update whose installer
    // cannot be started keeps the program and says so, leaving nothing behind.
    void serverTextAndFailedStarts() {
        Offer("<b style='color:red'>SECURITY ALERT</b> <a href='https://x.example'>9.0</a>", false);
        TForm10 form(qm::testing::TestReleaseKey());
        ShowChecked(form);
        for (const QLabel* label : {form.LabelUpDate, form.LabelServerVersion})
            QCOMPARE(label->textFormat(), Qt::PlainText);
        QVERIFY(form.LabelServerVersion->text().startsWith(u"<b style"_s));

        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", m_dir.filePath(u"empty"_s).toUtf8()); // no desktop handler
        form.CheckBoxQuickUpdate->setChecked(true);
        form.CheckBoxForceUpdate->click(); // that text is no newer version
        form.ButtonDownload->click();
        qputenv("PATH", path);
        QCOMPARE(form.LabelUpDate->text(), u"Не удалось запустить обновление"_s);
        QVERIFY(!form.QuitRequested());
        QVERIFY(!QFile::exists(SetupPath()));
    }

    // A slow 10 MB installer, cancelled once it has begun to arrive; the launcher entry follows.
    void cancelMidTransfer_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel button") << "button";
        QTest::newRow("close box") << "close";
        QTest::newRow("Escape") << "escape";
    }

    void cancelMidTransfer() {
        QFETCH(QString, how);
        Offer("9.0.0.0", false, TRoute::Slow(QByteArray(10'000'000, 'x'), 100'000, 20));
        WriteFile(SetupPath(), "fetched earlier"); // a cancel removes it too
        LauncherEntryListener listener;
        QDBusConnection::sessionBus().connect({}, {}, u"com.canonical.Unity.LauncherEntry"_s,
                                              u"Update"_s, &listener,
                                              SLOT(Update(QString, QVariantMap)));
        TForm10 form(qm::testing::TestReleaseKey());
        ShowChecked(form);
        QTimer cancel;
        connect(&cancel, &QTimer::timeout, &form, [&] {
            if (form.ProgressBarUpdate->value() < 3)
                return;
            cancel.stop();
            QCOMPARE(form.ButtonDownload->text(), u"Отмена"_s);
            QVERIFY(!form.ButtonClose->isEnabled() && !form.GroupBoxOption->isEnabled());
            if (how == u"button")
                form.ButtonDownload->click();
            else if (how == u"close")
                form.close();
            else
                QTest::keyClick(&form, Qt::Key_Escape);
        });
        cancel.start(5);
        form.ButtonDownload->click();

        // Closing empties the status line.
        QCOMPARE(form.LabelUpDate->text(),
                 how == u"button" ? u"Файлы обновления не загружены!"_s : QString());
        QCOMPARE(form.DownloadMode(), 0);
        QCOMPARE(form.ButtonDownload->text(), u"Скачать"_s);
        QVERIFY(form.ButtonClose->isEnabled() && !form.ProgressBarUpdate->isVisibleTo(&form));
        QCOMPARE(form.isVisible(), how == u"button");
        QVERIFY(!QFile::exists(SetupPath()));
        QVERIFY(!QFile::exists(m_opened));
        QCOMPARE(form.TaskbarUpdate->State(), TTaskbarState::None);
        // The launcher entry showed the progress, then hid it.
        QTRY_VERIFY(listener.Shown() >= 0.03 &&
                    !listener.Updates.back().value(u"progress-visible"_s).toBool());
        QVERIFY(listener.Shown() < 1);
    }

    // The start-up check: no request when it is off, a prompt when the server is newer.
    void startUpCheck_data() {
        QTest::addColumn<bool>("autoCheck");
        QTest::addColumn<QString>("answer"); // the prompt's button pressed, empty: no prompt
        QTest::addColumn<bool>("openFirst"); // the window is open when the prompt comes
        QTest::newRow("off: no request") << false << "" << false;
        QTest::newRow("No") << true << "Нет" << false;
        QTest::newRow("Yes: download, install, quit") << true << "Да" << false;
        QTest::newRow("Yes over the open window") << true << "Да" << true;
    }

    void startUpCheck() {
        QFETCH(bool, autoCheck);
        QFETCH(QString, answer);
        QFETCH(bool, openFirst);
        Offer("9.0.0.0", autoCheck);
        QString prompt;
        if (!answer.isEmpty()) {
            CloseNextPopup([&](QWidget* box) {
                auto* message = qobject_cast<QMessageBox*>(box);
                QVERIFY(message);
                QCOMPARE(message->textFormat(), Qt::PlainText);
                prompt = message->windowTitle() + u'|' + message->text();
                for (QAbstractButton* button : message->buttons())
                    if (button->text() == answer)
                        button->click();
            });
        }
        std::optional<TForm10> form;
        form.emplace(qm::testing::TestReleaseKey());
        if (openFirst) {
            form->CheckBoxQuickUpdate->setChecked(false);
            form->show();
        }
        if (answer == u"Да" && !openFirst) {
            // Yes opens the window, whose download installs and asks the program to quit. (In
            // the program the main window stays open when the prompt closes.)
            QApplication::setQuitOnLastWindowClosed(false);
            QTimer::singleShot(20000, [] { QCoreApplication::exit(1); });
            QCOMPARE(QApplication::exec(), 0);
            QVERIFY(form->QuitRequested());
            QTRY_COMPARE(Read(m_opened).trimmed(), SetupPath().toUtf8());
        } else if (openFirst) {
            QTRY_VERIFY(!Read(m_opened).isEmpty());
            QTRY_COMPARE(form->LabelUpDate->text(), u"Файлы обновления загружены!"_s);
        } else {
            QTest::qWait(300);
        }
        QCOMPARE(prompt, answer.isEmpty()
                             ? QString()
                             : u"Quillmark|Доступно обновление 9.0.0.0\nХотите обновить "
                               "приложение сейчас?"_s);
        QCOMPARE(m_server->Requests().isEmpty(), !autoCheck && !openFirst);
        QCOMPARE(DownloadRequested(), answer == u"Да");
        QVERIFY(!QuickStartPending);
        form.reset(); // nothing of the check outlives the window
    }

    void menuShowsTheWindowModally() {
        Offer("9.0.0.0", false);
        TForm1 main({});
        TForm10 form(qm::testing::TestReleaseKey());
        main.SetUpdateWindow(&form);
        bool shown = false;
        CloseNextPopup([&](QWidget* w) { shown = w == &form && form.isModal(); });
        main.CheckUpdateMenu->trigger();
        QVERIFY(shown);
        QVERIFY(!main.GeneralMenuPressed());
    }

    // An untick of "Check at startup" that cannot be stored is said, naming the file.
    void unwritableSettingsAreSaid() {
        const QString folder = QFileInfo(PortablePath()).path();
        QDir(folder).removeRecursively();
        WriteFile(folder, "not a folder"); // nothing can be written there
        TForm10 form(qm::testing::TestReleaseKey());
        QString told;
        CloseNextPopup([&](QWidget* w) { told = static_cast<QMessageBox*>(w)->text(); },
                       [](QWidget* w) {
                           auto* box = qobject_cast<QMessageBox*>(w);
                           return box && box->icon() == QMessageBox::Warning;
                       });
        form.CheckBoxAutoCheck->setChecked(false);
        form.close();
        QFile::remove(folder);
        QVERIFY2(told.contains(QDir::toNativeSeparators(PortablePath())), qPrintable(told));
    }

    // The window goes while a server keeps its check waiting: it does not wait for the server.
    void endsWhileChecking() {
        Offer("9.0.0.0", true);
        m_server->SetRoute(kVersionPath, TRoute::Stalled());
        QElapsedTimer clock;
        clock.start();
        {
            TForm10 form(qm::testing::TestReleaseKey());
            form.show();
            QTRY_COMPARE(m_server->Requests().size(), 2); // the start-up check and the window's
        }
        QVERIFY2(clock.elapsed() < 4000, qPrintable(QString::number(clock.elapsed())));
    }
};

QM_TEST_MAIN(TestUpdateWindow)
#include "tst_UpdateWindow.moc"
