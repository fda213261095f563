// The update core without a window: version texts, the progress arithmetic, the installer's
// parameters and the update scripts (the Linux one run for real), the proxy setting, and the
// check against a real HTTPS server on 127.0.0.1.

#include "TestMain.h"
#if !defined(Q_OS_WIN)
#include "TestSigner.h"
#endif
#include "UpdateTestServer.h"
#include "ZipWriter.h"
#include "osutils/Launch.h"
#include "platform/CodePage.h"
#include "platform/Registry.h"
#include "settings/PortablePath.h"
#include "update/UpdateArchive.h"
#include "update/UpdateCheck.h"
#include "update/UpdateFetch.h"
#include "update/UpdateHttp.h"
#include "update/UpdateInstall.h"
#include "update/UpdateProxy.h"
#include "update/UpdateServers.h"
#include "update/UpdateSystem.h"
#include "update/UpdateVersion.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <optional>

using qm::platform::RegistryAccessor;
using namespace qm::update;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr char16_t kInternetSettings[] =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// The Internet settings key with the given values; no key at all when both are empty.
void SetInternetSettings(const QString& proxyEnable, const QString& proxyServer) {
    RegistryAccessor r(RegistryAccessor::Access::Full);
    r.DeleteKey(kInternetSettings);
    if (proxyEnable.isEmpty() && proxyServer.isEmpty())
        return;
    r.OpenKey(kInternetSettings, true);
    bool integer = false;
    const int value = proxyEnable.toInt(&integer);
    if (integer)
        QVERIFY(r.WriteInteger(u"ProxyEnable", value));
    else if (proxyEnable != u"-")
        QVERIFY(r.WriteString(u"ProxyEnable", proxyEnable.toStdU16String()));
    if (!proxyServer.isEmpty())
        QVERIFY(r.WriteString(u"ProxyServer", proxyServer.toStdU16String()));
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString Base(quint16 port) {
    return QStringLiteral("https://127.0.0.1:%1/download/").arg(port);
}

} // namespace

// Under wine the test server, which runs inside the test, cannot serve TLS (wine's schannel as a
// server): the handshake fails even with its certificate trusted as a root, while the same
// client passes against a server outside wine (packaging/windows/check_update.sh). The
// requests over HTTPS are tested on Linux.
#if defined(Q_OS_WIN)
#define SkipHttpsUnderWine() QSKIP("HTTPS to the test server does not work under wine")
#else
#define SkipHttpsUnderWine() static_cast<void>(0)
#endif

class TestUpdateCore : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::optional<TUpdateTestServer> m_server;

private slots:
    void initTestCase() {
        qputenv("QUILLMARK_REGISTRY_FILE", m_dir.filePath(QStringLiteral("hkcu.txt")).toUtf8());
        qputenv("TMPDIR", m_dir.path().toUtf8());
        qunsetenv("https_proxy");
        qunsetenv("HTTPS_PROXY");
        m_server.emplace();
        QVERIFY2(m_server->Error().isEmpty(), qPrintable(m_server->Error()));
        THttpClient::SetExtraCaCertificates({m_server->Certificate()});
    }

    void init() {
        m_server->ClearRoutes();
        m_server->ClearRequests();
        SetInternetSettings({}, {});
        PortableMode = false;
    }

    void compareVersions_data() {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("result");
        QTest::newRow("10 beats 9") << "1.10.0.0"
                                    << "1.9.0.0" << 1;
        QTest::newRow("missing parts are 0") << "1.2"
                                             << "1.2.0.0" << 0;
        QTest::newRow("last part") << "1.2.0.1"
                                   << "1.2.0.10" << -1;
        QTest::newRow("both empty") << ""
                                    << "" << 0;
        QTest::newRow("a word counts 0") << "2.0 beta"
                                         << "1.9" << 1;
        QTest::newRow("word after a blank is a part") << "1.2 7"
                                                      << "1.2.6" << 1;
        QTest::newRow("blanks around dots") << " 1 . 3 \r\n"
                                            << "1.3" << 0;
        QTest::newRow("empty part between dots") << "1..2"
                                                 << "1.0.2" << 0;
        QTest::newRow("not a number") << "x.5"
                                      << "0.4" << 1;
        QTest::newRow("empty against zeros") << ""
                                             << "0.0" << 0;
        QTest::newRow("empty is older") << ""
                                        << "0.0.1" << -1;
    }

    void compareVersions() {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, result);
        QCOMPARE(CompareVersions(a, b), result);
        QCOMPARE(CompareVersions(b, a), -result);
    }

    void progressArithmetic_data() {
        QTest::addColumn<qint64>("total");
        QTest::addColumn<qint64>("received");
        QTest::addColumn<qint64>("step");
        QTest::addColumn<int>("position");
        QTest::newRow("10 MB, a quarter") << 10'000'000LL << 2'500'000LL << 100'000LL << 25;
        QTest::newRow("50 bytes: no step") << 50LL << 50LL << 0LL << 7;
        QTest::newRow("150 bytes, halves to even") << 150LL << 3LL << 2LL << 2;
        QTest::newRow("250 bytes, halves to even") << 250LL << 5LL << 2LL << 2;
        QTest::newRow("more than announced") << 1000LL << 5000LL << 10LL << 100;
        QTest::newRow("no size announced") << -1LL << 4000LL << 0LL << 7;
    }

    void progressArithmetic() {
        QFETCH(qint64, total);
        QFETCH(qint64, received);
        QFETCH(qint64, step);
        QFETCH(int, position);
        QCOMPARE(ProgressStepFor(total), step);
        QCOMPARE(ProgressPosition(received, step, 7), position);
    }

    void namesAndParameters() {
        QCOMPARE(UrlFileName(QStringLiteral("https://h/download/Quillmark/Quillmark.zip")),
                 QStringLiteral("Quillmark.zip"));
        QCOMPARE(UrlFileName(QStringLiteral("setup.exe")), QStringLiteral("setup.exe"));
        QCOMPARE(UrlFileName(QStringLiteral("https://h/d/")), QStringLiteral("https://h/d/"));
        QCOMPARE(UpdateScriptName(QTime(14, 3, 7), QStringLiteral("bat")),
                 QStringLiteral("update_140307.bat"));
        QCOMPARE(InstallerParameters(QString()),
                 QStringLiteral("/SILENT /CLOSEAPPLICATIONS /SUPPRESSMSGBOXES /LANG= "
                                "/MERGETASKS=\"runcmd1\""));
        QCOMPARE(InstallerParameters(QStringLiteral("English")),
                 QStringLiteral("/SILENT /CLOSEAPPLICATIONS /SUPPRESSMSGBOXES /LANG=English "
                                "/MERGETASKS=\"runcmd1\""));

        // Plain HTTP is refused there too, and then nothing is asked at all.
        qputenv(kUpdateUrlsVariable, " https://a.example/d ;; http://b.example/e/ ");
        QCOMPARE(ServerBaseUrls(), QStringList({QStringLiteral("https://a.example/d/")}));
        qputenv(kUpdateUrlsVariable, "http://b.example/e/");
        QCOMPARE(ServerBaseUrls(), QStringList());
        qunsetenv(kUpdateUrlsVariable);
        const QStringList defaults = ServerBaseUrls();
        QCOMPARE(defaults.size(), 2);
        for (const QString& base : defaults)
            QVERIFY(IsSecureUrl(base) && base.endsWith(QStringLiteral("/download/")));
        QVERIFY(!IsSecureUrl(QStringLiteral("http://a.example/")));
    }

    void batchScript_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("pushd");
        QTest::addColumn<QByteArray>("encoded"); // the folder as the script holds it
        QTest::newRow("blanks") << "C:\\Program Files\\Quill mark\\"
                                << "pushd \"C:\\Program Files\\Quill mark\\\""
                                << QByteArray("C:\\Program Files\\Quill mark\\");
        QTest::newRow("percent is doubled")
            << "C:\\Tools\\100%\\"
            << "pushd \"C:\\Tools\\100%%\\\"" << QByteArray("100%%");
        // (The test systems' OEM code pages, 437 and the stand-in's ASCII, hold no Cyrillic.)
        QTest::newRow("no OEM form: UTF-8 after chcp")
            << "C:\\Программы\\"
            << "pushd \"C:\\Программы\\\"" << u"Программы"_s.toUtf8();
    }

    void batchScript() {
        QFETCH(QString, folder);
        QFETCH(QString, pushd);
        QFETCH(QByteArray, encoded);
        const QByteArray script =
            PortableUpdateBatch(folder, QStringLiteral("Quill%mark.exe"), QStringLiteral("Q.zip"));
        QVERIFY(script.contains(encoded));
        QVERIFY(script.endsWith("\r\n"));
        QCOMPARE(script.count("\r\n"), script.count('\n')); // CR LF line ends only
        QStringList lines = QString::fromUtf8(script).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.takeLast(), QString());
        // UTF-8 only where a name needs it (these rows: a non-ASCII one); then the interpreter
        // switches to it first.
        const bool ascii = std::all_of(encoded.begin(), encoded.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        QCOMPARE(lines.value(1) == u"chcp 65001 >nul", !ascii);
        if (!ascii)
            lines.removeAt(1);
        QCOMPARE(lines.value(1), pushd);
        QCOMPARE(lines.value(2), u"if errorlevel 1 exit /b 1"_s);
        QCOMPARE(lines.value(5), u"taskkill /F /IM \"Quill%%mark.exe\" >nul 2>&1"_s);
        const QString extract = lines.value(10);
        QVERIFY(extract.startsWith(u"powershell -NoProfile -Command \""_s));
        QVERIFY(extract.contains(u"OpenRead('Q.zip')"_s));
        QVERIFY(extract.contains(u"-contains '..'"_s));
        QCOMPARE(
            lines.mid(11, 7),
            QStringList(
                {u"if exist \".quillmark-extracted\" ("_s, u"  del \".quillmark-extracted\""_s,
                 u"  echo Deleting ZIP..."_s, u"  del \"Q.zip\""_s, u") else ("_s,
                 u"  echo The archive was not extracted: the program stays as it was."_s, u")"_s}));
        QCOMPARE(lines.value(20), u"start \"\" \"Quill%%mark.exe\""_s);
        QCOMPARE(lines.last(), u"del \"%~f0\""_s);
    }

    // The archive is looked at before a script unpacks it over the program: an entry that
    // would land outside the program's folder, or an archive that cannot be read, stops the
    // update on both systems.
    void archiveEntries_data() {
        using qm::testing::StoredZip;
        using qm::testing::TZipEntry;
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<bool>("safe");
        const auto named = [](std::initializer_list<QByteArray> names) {
            QList<TZipEntry> entries;
            for (const QByteArray& name : names)
                entries.append({name, "x", {}});
            return StoredZip(entries);
        };
        const QByteArray program = named({"Quillmark.exe", "Language/", "Language/English.ini"});
        QTest::newRow("the program's files") << program << true;
        QTest::newRow("names with dots inside")
            << named({"..name", "name..", "a..b/c", "./Quillmark.exe"}) << true;
        QTest::newRow("UTF-8 names") << named({u"Программы/Quillmark.exe"_s.toUtf8()}) << true;
        QTest::newRow("no entries") << StoredZip({}) << true;
        QTest::newRow("a comment") << StoredZip({{"Quillmark.exe", "x", {}}}, "release") << true;
        for (const char* name :
             {"../Quillmark.exe", "Language/../../x", "Language\\..\\..\\x", "..",
              "Language/... /x", "Language/. ./x", "/etc/x", "\\Windows\\x", "C:/x", "C:x", ""})
            QTest::addRow("refused: \"%s\"", name) << named({"Quillmark.exe", name}) << false;
        QTest::newRow("zip64") << StoredZip({{"Quillmark.exe", "x", {}}}, {}, true) << true;
        QTest::newRow("refused: zip64") << StoredZip({{"../x", "x", {}}}, {}, true) << false;
        QTest::newRow("refused: Info-ZIP's Unicode path")
            << StoredZip({{"Quillmark.exe", "x", "../Quillmark.exe"}}) << false;
        QTest::newRow("not a zip archive") << QByteArray("ZIP") << false;
        QTest::newRow("empty file") << QByteArray() << false;
        QTest::newRow("cut short") << program.chopped(1) << false;
        QTest::newRow("cut at the directory")
            << program.sliced(program.indexOf("PK\1\2") + 10) << false;
        // Extractors take the last end record they find: one inside a comment could point them
        // at other entries than those checked, so such an archive is not read.
        QTest::newRow("end record in the comment")
            << StoredZip({{"Quillmark.exe", "x", {}}}, StoredZip({}).right(22) + "!") << false;
    }

    void archiveEntries() {
        QFETCH(QByteArray, archive);
        QFETCH(bool, safe);
        const QString path = m_dir.filePath(u"Q.zip"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(archive) == archive.size());
        file.close();
        QCOMPARE(SafeToUnpack(path), safe);
        QVERIFY(!SafeToUnpack(m_dir.filePath(u"missing.zip"_s)));
    }

    // The script as Windows' command interpreter runs it (here wine's), from a folder whose name
    // needs the OEM code page: it enters the folder, and where the archive cannot be extracted
    // (wine's PowerShell does nothing) it keeps the program and the archive as they were.
    void batchScriptRunsUnderCmd_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("Latin") << u"Été Quillmark"_s;          // OEM 437, 850, ...
        QTest::newRow("Cyrillic") << u"Программы Quillmark"_s; // OEM 866
    }

    void batchScriptRunsUnderCmd() {
#if !defined(Q_OS_WIN)
        QSKIP("the Windows portable build's script");
#else
        QFETCH(QString, name);
        // Wine's cmd reads a script in the OEM code page whatever chcp says, so a name without
        // an OEM form (written in UTF-8 after chcp 65001, which Windows' cmd honours) is not
        // tried here. Run in a Russian locale, the Cyrillic row must run.
        const bool oemForm = qm::platform::EncodeOem(name.toStdU16String()).has_value();
        if (!oemForm && qstrcmp(QTest::currentDataTag(), "Cyrillic") == 0 &&
            qEnvironmentVariableIsSet("QM_TEST_CYRILLIC_OEM"))
            QFAIL("the OEM code page holds no Cyrillic: is the ru_RU.UTF-8 locale there?");
        if (!oemForm)
            QSKIP("the OEM code page here cannot hold the name");
        const QString folder = m_dir.filePath(name + u'/');
        QVERIFY(QDir().mkpath(folder));
        for (const char* file : {"quill.exe", "Q.zip"}) {
            QFile f(folder + QString::fromLatin1(file));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("old");
        }
        const QString script = WritePortableUpdateScript(QDir::toNativeSeparators(folder),
                                                         u"quill.exe"_s, u"Q.zip"_s, 0);
        QVERIFY(!script.isEmpty());
        QVERIFY(!ReadAll(script).contains("chcp 65001"));
        QProcess cmd;
        cmd.start(u"cmd.exe"_s, {u"/c"_s, script});
        QVERIFY(cmd.waitForFinished(60000));
        const QByteArray output = cmd.readAllStandardOutput();
        QCOMPARE(cmd.exitCode(), 0);
        QVERIFY2(output.contains("Killing app...") &&
                     output.contains("The archive was not extracted") && output.contains("Done"),
                 output.constData());
        QCOMPARE(ReadAll(folder + u"quill.exe"_s), QByteArray("old"));
        QCOMPARE(ReadAll(folder + u"Q.zip"_s), QByteArray("old"));
        QVERIFY(!QFile::exists(folder + u".quillmark-staging"_s));
        QTRY_VERIFY(!QFile::exists(script));
#endif
    }

    // The script a Linux portable build runs: a stand-in for the program is ended by its
    // process id, the archive is extracted over the program folder, and the new program starts.
    void shellScriptReplacesTheProgram() {
#if defined(Q_OS_WIN)
        QSKIP("the Linux portable build's script");
#endif
        const QString folder = m_dir.filePath(QStringLiteral("Quill 'mark' $HOME/"));
        const QString staging = m_dir.filePath(QStringLiteral("staging"));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("Language")) &&
                QDir().mkpath(staging + QStringLiteral("/Language")));
        const QString started = m_dir.filePath(QStringLiteral("started.txt"));
        const auto writeProgram = [](const QString& path, const QByteArray& text) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(text);
            f.close();
            f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        };
        writeProgram(folder + QStringLiteral("quillmark"), "#!/bin/sh\necho old\n");
        writeProgram(folder + QStringLiteral("Language/English.ini"), "old");
        writeProgram(staging + QStringLiteral("/quillmark"),
                     "#!/bin/sh\necho \"new $PWD\" > '" + started.toUtf8() + "'\n");
        writeProgram(staging + QStringLiteral("/Language/English.ini"), "new");
        QProcess zip;
        zip.setWorkingDirectory(staging);
        zip.start(QStringLiteral("zip"), {QStringLiteral("-q"), QStringLiteral("-r"),
                                          folder + QStringLiteral("Q.zip"), QStringLiteral(".")});
        QVERIFY(zip.waitForFinished() && zip.exitCode() == 0);
        QVERIFY(SafeToUnpack(folder + QStringLiteral("Q.zip"))); // as zip writes it

        QProcess running; // the program being replaced
        running.start(QStringLiteral("sleep"), {QStringLiteral("60")});
        QVERIFY(running.waitForStarted());
        const QString script = WritePortableUpdateScript(
            folder, QStringLiteral("quillmark"), QStringLiteral("Q.zip"), running.processId());
        QVERIFY(script.startsWith(m_dir.path() + u'/') && script.endsWith(QStringLiteral(".sh")));
        QVERIFY(qm::osutils::StartScriptHidden(script));

        QVERIFY(running.waitForFinished(10000));
        QCOMPARE(running.exitStatus(), QProcess::CrashExit); // killed
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(started), 10000);
        QTRY_COMPARE(ReadAll(started).trimmed(), "new " + folder.chopped(1).toUtf8());
        QCOMPARE(ReadAll(folder + QStringLiteral("Language/English.ini")), QByteArray("new"));
        QTRY_VERIFY(!QFile::exists(script));
        QVERIFY(!QFile::exists(folder + QStringLiteral("Q.zip")));
    }

    void systemProxy_data() {
        QTest::addColumn<QString>("enable"); // "-": no value; else an integer or a text value
        QTest::addColumn<QString>("server");
        QTest::addColumn<bool>("result");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::newRow("host and port") << "1"
                                       << "proxy.lan:3128" << true << true << "proxy.lan" << 3128;
        QTest::newRow("letters after the colon")
            << "1"
            << "proxy.lan:abc" << true << true << "proxy.lan" << 8080;
        QTest::newRow("nothing after the colon")
            << "1"
            << "proxy.lan:" << true << true << "proxy.lan" << 8080;
        QTest::newRow("per-protocol list")
            << "1"
            << "http=p:80;https=p:443" << true << true << "http=p" << 8080;
        QTest::newRow("no colon") << "1"
                                  << "proxy.lan" << false << true << "" << 0;
        QTest::newRow("switched off") << "0"
                                      << "proxy.lan:3128" << false << false << "" << 0;
        QTest::newRow("no switch") << "-"
                                   << "proxy.lan:3128" << false << false << "" << 0;
        QTest::newRow("switch not an integer") << "yes"
                                               << "proxy.lan:3128" << false << false << "" << 0;
    }

    void systemProxy() {
        QFETCH(QString, enable);
        QFETCH(QString, server);
        QFETCH(bool, result);
        QFETCH(bool, enabled);
        QFETCH(QString, host);
        QFETCH(int, port);
        SetInternetSettings(enable, server);
        QString proxyHost = QStringLiteral("stale");
        int proxyPort = -1;
        bool proxyEnabled = !enabled;
        QCOMPARE(GetSystemProxy(proxyHost, proxyPort, proxyEnabled), result);
        QCOMPARE(proxyEnabled, enabled);
        QCOMPARE(proxyHost, host);
        QCOMPARE(proxyPort, port);
    }

    // Each row: what the two servers do, and what the check finds.
    void fetchServerVersion_data() {
        QTest::addColumn<QStringList>("bases"); // "main", "refused", "plain" (HTTP), "main/other"
        QTest::addColumn<QByteArray>("versionPath"); // where the primary's version file is routed
        QTest::addColumn<TRoute>("primary");
        QTest::addColumn<bool>("portable");
        QTest::addColumn<QString>("version"); // empty: the check fails
        QTest::addColumn<QString>("file");    // the update file's path under the server
        const QByteArray main = "/download/Quillmark/version.txt";
        const QByteArray other = "/other/Quillmark/version.txt";
        const QString setup = QStringLiteral("/download/Quillmark/") + SetupFileName();
        const TRoute good = TRoute::Answer(200, " 1.5.0.0\r\n");
        QTest::newRow("trimmed version, installer")
            << QStringList{u"main"_s} << main << good << false << "1.5.0.0" << setup;
        QTest::newRow("portable build")
            << QStringList{u"main"_s} << main << good << true << "1.5.0.0"
            << QStringLiteral("/download/Quillmark/") + PortableZipName();
        QTest::newRow("byte-order mark") << QStringList{u"main"_s} << main
                                         << TRoute::Answer(200, "\xEF\xBB\xBF"
                                                                "2.0\n")
                                         << false << "2.0" << setup;
        QTest::newRow("primary refused, fallback answers")
            << QStringList{u"refused"_s, u"main"_s} << main << good << false << "1.5.0.0" << setup;
        QTest::newRow("primary 404, fallback answers")
            << QStringList{u"main/other"_s, u"main"_s} << main << good << false << "1.5.0.0"
            << setup;
        QTest::newRow("blank version file falls over")
            << QStringList{u"main/other"_s, u"main"_s} << other << TRoute::Answer(200, " \r\n")
            << false << "1.5.0.0" << setup;
        QTest::newRow("error status")
            << QStringList{u"main"_s} << main << TRoute::Answer(500, "1.0") << false << ""
            << "";
        QTest::newRow("status other than 200")
            << QStringList{u"main"_s} << main << TRoute::Answer(203, "1.0") << false << ""
            << "";
        QTest::newRow("redirect within HTTPS is followed")
            << QStringList{u"main/other"_s} << other
            << TRoute::Redirect(
                   QStringLiteral("https://127.0.0.1:%1/download/Quillmark/version.txt")
                       .arg(m_server->Port())
                       .toUtf8())
            << false << "1.5.0.0" << QStringLiteral("/other/Quillmark/") + SetupFileName();
        QTest::newRow("redirect to plain HTTP is refused")
            << QStringList{u"main/other"_s} << other
            << TRoute::Redirect(QStringLiteral("http://127.0.0.1:%1/download/Quillmark/version.txt")
                                    .arg(m_server->Port())
                                    .toUtf8())
            << false << ""
            << "";
        QTest::newRow("a plain-HTTP base is not asked")
            << QStringList{u"plain"_s} << main << good << false << ""
            << "";
        QTest::newRow("stalled server times out, fallback answers")
            << QStringList{u"main/other"_s, u"main"_s} << other << TRoute::Stalled() << false
            << "1.5.0.0" << setup;
        // 5 s is for the whole answer: one byte every 0.7 s never stops for 5 s.
        QTest::newRow("trickling server passes its deadline, fallback answers")
            << QStringList{u"main/other"_s, u"main"_s} << other
            << TRoute::Slow("9.9.9.9\r\n", 1, 700) << false << "1.5.0.0" << setup;
        QTest::newRow("oversized version file, fallback answers")
            << QStringList{u"main/other"_s, u"main"_s} << other
            << TRoute::Answer(200, QByteArray(kVersionFileLimit + 1, '9')) << false << "1.5.0.0"
            << setup;
        QTest::newRow("version cut off, fallback answers")
            << QStringList{u"main/other"_s, u"main"_s} << other << TRoute::Cut("9.9.9.9", 7, 3)
            << false << "1.5.0.0" << setup;
    }

    void fetchServerVersion() {
        QFETCH(QStringList, bases);
        if (!bases.contains(u"plain"_s))
            SkipHttpsUnderWine();
        QFETCH(QByteArray, versionPath);
        QFETCH(TRoute, primary);
        QFETCH(bool, portable);
        QFETCH(QString, version);
        QFETCH(QString, file);
        m_server->SetRoute(versionPath, primary);
        if (versionPath != "/download/Quillmark/version.txt")
            m_server->SetRoute("/download/Quillmark/version.txt", TRoute::Answer(200, "1.5.0.0"));
        QStringList urls;
        for (const QString& base : bases) {
            if (base == u"refused")
                urls << Base(TUpdateTestServer::RefusingPort());
            else if (base == u"plain")
                urls << m_server->HttpBase();
            else if (base == u"main/other")
                urls << m_server->HttpsBase().replace(QStringLiteral("/download/"),
                                                      QStringLiteral("/other/"));
            else
                urls << m_server->HttpsBase();
        }
        qputenv(kUpdateUrlsVariable, urls.join(u';').toUtf8());
        PortableMode = portable;
        QString found = QStringLiteral("untouched");
        QString fileUrl = QStringLiteral("untouched");
        QCOMPARE(FetchServerVersion(found, fileUrl), !version.isEmpty());
        if (version.isEmpty()) {
            QCOMPARE(found, QStringLiteral("untouched"));
            return;
        }
        QCOMPARE(found, version);
        QCOMPARE(QUrl(fileUrl).path(), file);
    }

    // An update file is written only when it arrived whole and signed with the release key;
    // whatever is refused leaves nothing behind.
    void fetchSignedFile_data() {
        QTest::addColumn<TRoute>("file");
        QTest::addColumn<QString>("signature");    // own, base64, foreign, other data, none
        QTest::addColumn<bool>("refusedUnsigned"); // for its signature
        QTest::addColumn<bool>("written");
        const QByteArray body = "SETUP" + QByteArray(100'000, 'x');
        const TRoute whole = TRoute::Answer(200, body);
        QTest::newRow("signed") << whole << "own" << false << true;
        QTest::newRow("signed, base64") << whole << "base64" << false << true;
        QTest::newRow("unsigned") << whole << "none" << true << false;
        QTest::newRow("signed over other data") << whole << "other data" << true << false;
        QTest::newRow("signed by another key") << whole << "foreign" << true << false;
        QTest::newRow("cut short of its length")
            << TRoute::Cut(body, body.size(), 5000) << "own" << false << false;
        QTest::newRow("no length, cut without a TLS close")
            << TRoute::Cut(body, -2, 5000) << "own" << false << false;
        QTest::newRow("announced larger than the limit")
            << TRoute::Cut(body, kUpdateFileLimit + 1, 5000) << "own" << false << false;
        QTest::newRow("missing") << TRoute::Answer(404) << "own" << false << false;
    }

    void fetchSignedFile() {
#if defined(Q_OS_WIN)
        SkipHttpsUnderWine();
#else
        using namespace qm::testing;
        QFETCH(TRoute, file);
        QFETCH(QString, signature);
        QFETCH(bool, refusedUnsigned);
        QFETCH(bool, written);
        const QByteArray body = "SETUP" + QByteArray(100'000, 'x');
        m_server->SetRoute("/download/Quillmark/file.bin", file);
        const QByteArray sig = signature == u"foreign"      ? ForeignSignature(body)
                               : signature == u"other data" ? TestSignature("other data")
                                                            : TestSignature(body);
        if (signature != u"none")
            m_server->SetRoute(
                "/download/Quillmark/file.bin.sig",
                TRoute::Answer(200, signature == u"base64" ? sig.toBase64() + "\r\n" : sig));
        QTemporaryDir folder;
        THttpClient client;
        const TFetchedFile fetched =
            FetchSignedFile(client, m_server->HttpsBase() + u"Quillmark/file.bin"_s,
                            folder.path() + u'/', TestReleaseKey());
        QCOMPARE(fetched.Unsigned, refusedUnsigned);
        QCOMPARE(fetched.Error.isEmpty(), written);
        QCOMPARE(
            QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            written ? QStringList{u"file.bin"_s} : QStringList());
        if (written)
            QCOMPARE(ReadAll(fetched.Path), body);
        // Without the release key nothing is ever taken.
        if (written)
            QVERIFY(FetchSignedFile(client, m_server->HttpsBase() + u"Quillmark/file.bin"_s,
                                    folder.path() + u'/', {})
                        .Unsigned);
#endif
    }

    // Downloads and scripts go to the user's private folder: a link another user planted in
    // the shared temporary folder, or one in the private folder's place of the file, is
    // replaced, never written through.
    void plantedLinksAreNotFollowed() {
#if defined(Q_OS_WIN)
        QSKIP("the user's temporary folder on Windows is the user's own");
#else
        using namespace qm::testing;
        const QString victim = m_dir.filePath(u"victim.txt"_s);
        QFile v(victim);
        QVERIFY(v.open(QIODevice::WriteOnly));
        v.write("precious");
        v.close();
        const QString work = UpdateWorkFolder();
        QVERIFY(!work.isEmpty() && QFileInfo(work).isDir());
        QVERIFY(work != m_dir.path() + u'/');
        const QString script = UpdateScriptName(QTime(1, 2, 3), u"sh"_s);
        for (const QString& name : {SetupFileName(), script}) {
            QFile::link(victim, m_dir.filePath(name));
            QFile::link(victim, work + name);
        }
        m_server->SetRoute("/download/Quillmark/" + SetupFileName().toUtf8(),
                           TRoute::Answer(200, "SETUP"));
        m_server->SetRoute("/download/Quillmark/" + SetupFileName().toUtf8() + ".sig",
                           TRoute::Answer(200, TestSignature("SETUP")));
        THttpClient client;
        const TFetchedFile fetched =
            FetchSignedFile(client, m_server->HttpsBase() + u"Quillmark/"_s + SetupFileName(), work,
                            TestReleaseKey());
        QCOMPARE(fetched.Path, work + SetupFileName());
        QCOMPARE(WriteUpdateScript(script, "#!/bin/sh\n"), work + script);
        for (const QString& name : {SetupFileName(), script})
            QVERIFY(!QFileInfo(work + name).isSymLink());
        QCOMPARE(ReadAll(victim), QByteArray("precious"));
        QFile::remove(work + SetupFileName());
        QFile::remove(work + script);
#endif
    }

    // What every request carries, and the proxies it goes through.
    void requestSettingsAndProxies() {
        SkipHttpsUnderWine();
        m_server->SetRoute("/download/Quillmark/version.txt", TRoute::Answer(200, "3.0"));
        qputenv(kUpdateUrlsVariable, m_server->HttpsBase().toUtf8());
        const auto check = [this] {
            m_server->ClearRequests();
            QString version;
            QString url;
            return FetchServerVersion(version, url) && version == u"3.0";
        };
        QVERIFY(check());
        const TSeenRequest direct = m_server->Requests().value(0);
        QVERIFY(direct.Tls && !direct.ThroughProxy);
        QCOMPARE(direct.Protocol, QSsl::TlsV1_2);
        QCOMPARE(direct.Headers.value("user-agent"),
                 "Mozilla/5.0 (Windows NT 6.1; WOW64;rv:12.0) Gecko/20100101 Firefox/12.0");
        QCOMPARE(direct.Headers.value("accept"),
                 "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8");
        QCOMPARE(direct.Headers.value("authorization"), "Basic Og==");
        QCOMPARE(direct.Headers.value("accept-encoding"), "identity");

        // A server whose certificate nobody vouches for is not talked to.
        THttpClient::SetExtraCaCertificates({});
        QVERIFY(!check());
        QVERIFY(m_server->Requests().isEmpty());
        THttpClient::SetExtraCaCertificates({m_server->Certificate()});

        // The Internet settings' proxy.
        const QString proxy = QStringLiteral("127.0.0.1:%1").arg(m_server->Port());
        SetInternetSettings(QStringLiteral("1"), proxy);
        QVERIFY(check());
        QCOMPARE(m_server->Requests().value(0).Method, "CONNECT");
        QVERIFY(m_server->Requests().value(1).ThroughProxy);
        // Switched off: direct, whatever https_proxy says.
        qputenv("https_proxy", (u"http://"_s + proxy).toUtf8());
        SetInternetSettings(QStringLiteral("0"), proxy);
        QVERIFY(check());
        QCOMPARE(m_server->Requests().value(0).Method, "GET");
        // No Internet settings at all: the system's configuration, here https_proxy.
        SetInternetSettings({}, {});
        QVERIFY(check());
        QCOMPARE(m_server->Requests().value(0).Method, "CONNECT");
        qunsetenv("https_proxy");
    }
};

QM_TEST_GUILESS_MAIN(TestUpdateCore)
#include "tst_UpdateCore.moc"
