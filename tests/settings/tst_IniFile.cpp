// The INI engine: reading rules, typed values, write-back, encodings and safe writes; and
// where the settings file lives.

#include "TestFiles.h"
#include "TestMain.h"
#include "UserIsolation.h"
#include "WithoutReadOverride.h"
#include "settings/IniFile.h"
#include "settings/PortablePath.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

namespace {

QString Write(const QTemporaryDir& dir, const QByteArray& bytes, const char* name = "a.ini") {
    return qm::testing::WriteFile(dir.filePath(QString::fromLatin1(name)), bytes);
}

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestIniFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void readingRules() {
        const TIniFile ini(Write(m_dir, "before=ignored\r\n"
                                        "  [ Main ]  \r\n"
                                        "; a comment\r\n"
                                        "\tKey = value = with equals  \r\n"
                                        "lonely\r\n"
                                        "dup=1\n"
                                        "DUP=2\n"
                                        "empty=\n"
                                        "[main]\n"
                                        "repeated=ignored\n"
                                        "[Other]\r\n"
                                        "x=y\r\n"));
        QCOMPARE(ini.Sections(), QStringList({QStringLiteral("Main"), QStringLiteral("Other")}));
        QCOMPARE(ini.ReadString(QStringLiteral("MAIN"), QStringLiteral("key"), QString()),
                 QStringLiteral("value = with equals"));
        QCOMPARE(
            ini.ReadSection(QStringLiteral("main")),
            QStringList({QStringLiteral("Key"), QStringLiteral("lonely"), QStringLiteral("dup"),
                         QStringLiteral("DUP"), QStringLiteral("empty")}));
        QCOMPARE(ini.ReadString(QStringLiteral("Main"), QStringLiteral("dup"), QString()),
                 QStringLiteral("1"));
        QCOMPARE(
            ini.ReadString(QStringLiteral("Main"), QStringLiteral("lonely"), QStringLiteral("d")),
            QStringLiteral("d"));
        QCOMPARE(
            ini.ReadString(QStringLiteral("Main"), QStringLiteral("empty"), QStringLiteral("d")),
            QString());
        QVERIFY(!ini.ValueExists(QStringLiteral("Main"), QStringLiteral("repeated")));
        QVERIFY(!ini.ValueExists(QStringLiteral("Main"), QStringLiteral("before")));

        // Lines end in CR LF, LF or a CR alone, in any mix.
        const TIniFile mixed(Write(m_dir, "[A]\rk=1\r\n[B]\nk=2\r\r[C]\rk=3", "ends.ini"));
        QCOMPARE(mixed.Sections(),
                 QStringList({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
        QCOMPARE(mixed.ReadString(QStringLiteral("B"), QStringLiteral("k"), QString()),
                 QStringLiteral("2"));
        QCOMPARE(mixed.ReadString(QStringLiteral("C"), QStringLiteral("k"), QString()),
                 QStringLiteral("3"));
    }

    void typedValues() {
        const TIniFile ini(Write(m_dir, "[S]\nb1=1\nb0=0\nb7=-7\nbx=yes\nn=42\nneg=-3\nbad=4x\n"));
        const QString s = QStringLiteral("S");
        QCOMPARE(ini.ReadBool(s, QStringLiteral("b1"), false), true);
        QCOMPARE(ini.ReadBool(s, QStringLiteral("b0"), true), false);
        QCOMPARE(ini.ReadBool(s, QStringLiteral("b7"), false), true);
        QCOMPARE(ini.ReadBool(s, QStringLiteral("bx"), true), true); // not a number: the default
        QCOMPARE(ini.ReadBool(s, QStringLiteral("missing"), true), true);
        QCOMPARE(ini.ReadInteger(s, QStringLiteral("n"), 0), 42);
        QCOMPARE(ini.ReadInteger(s, QStringLiteral("neg"), 0), -3);
        QCOMPARE(ini.ReadInteger(s, QStringLiteral("bad"), 5), 5);
    }

    void writeBackKeepsUntouchedKeys() {
        const QString path = Write(m_dir, "; dropped\n[A]\nkeep=1\nchange=old\n[B]\nx=1\n");
        TIniFile ini(path);
        ini.WriteString(QStringLiteral("a"), QStringLiteral("CHANGE"), QStringLiteral("new"));
        ini.WriteBool(QStringLiteral("A"), QStringLiteral("added"), true);
        ini.WriteInteger(QStringLiteral("C"), QStringLiteral("n"), 7);
        ini.EraseSection(QStringLiteral("b"));
        QVERIFY(ini.Save());
        QCOMPARE(Read(path),
                 QByteArray("[A]\r\nkeep=1\r\nchange=new\r\nadded=1\r\n\r\n[C]\r\nn=7\r\n\r\n"));
    }

    void encodings() {
        // A UTF-8 mark is accepted; values outside ASCII are written as UTF-8.
        const QString utf8 = Write(m_dir, "\xEF\xBB\xBF[Язык]\nимя=Русский\n", "u8.ini");
        TIniFile a(utf8);
        QCOMPARE(a.ReadString(QStringLiteral("язык"), QStringLiteral("ИМЯ"), QString()),
                 QStringLiteral("Русский"));
        a.WriteString(QStringLiteral("Files"), QStringLiteral("DestDir"),
                      QStringLiteral("{app}\\данные"));
        QVERIFY(a.Save());
        QVERIFY(Read(utf8).startsWith("\xEF\xBB\xBF[\xD0\xAF"));
        QVERIFY(Read(utf8).contains("DestDir={app}\\\xD0\xB4"));

        // UTF-16 files are read and written back in their own encoding.
        QByteArray le("\xFF\xFE");
        for (const QChar c : QStringLiteral("[S]\r\nk=Ж\r\n")) {
            le.append(static_cast<char>(c.unicode() & 0xFF));
            le.append(static_cast<char>(c.unicode() >> 8));
        }
        const QString utf16 = Write(m_dir, le, "u16.ini");
        TIniFile b(utf16);
        QCOMPARE(b.Encoding(), TTextEncoding::Utf16LE);
        QCOMPARE(b.ReadString(QStringLiteral("S"), QStringLiteral("k"), QString()),
                 QStringLiteral("Ж"));
        QVERIFY(b.Save());
        QCOMPARE(Read(utf16), le + QByteArray("\r\0\n\0", 4));
    }

    // What was stored is never lost: a file read only in part, or not at all, is not written
    // over, nor is a text the file cannot store; a file in a legacy code page keeps it.
    void neverWrittenOver_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("unreadable");  // no read permission
        QTest::addColumn<QString>("value");    // written to [A] k
        QTest::addColumn<QByteArray>("after"); // empty: the file is as it was
        QTest::newRow("Windows-1251 file without a mark")
            << QByteArray("[Language information]\r\nLANGNAME=\xD0\xF3\xF1\xF1\xEA\xE8\xE9\r\n")
            << false << "1"
            << QByteArray("[Language information]\r\nLANGNAME=\xD0\xF3\xF1\xF1\xEA\xE8\xE9\r\n\r\n"
                          "[A]\r\nk=1\r\n\r\n");
        QTest::newRow("a byte UTF-8 cannot read")
            << QByteArray("\xEF\xBB\xBF[A]\r\nk=\xFF\r\n") << false << "1" << QByteArray();
        QTest::newRow("UTF-16 cut in half")
            << QByteArray("\xFF\xFE[\0A\0]\0\r\0\n\0k\0=\0", 17) << false << "1" << QByteArray();
        // A translator appended a second block; the reading rules take in the first only.
        QTest::newRow("a repeated section header")
            << QByteArray("[A]\r\nk=0\r\n[B]\r\nx=1\r\n[a]\r\nadded=2\r\n") << false << "1"
            << QByteArray();
        QTest::newRow("a line before the first section")
            << QByteArray("k=0\r\n[A]\r\nk=0\r\n") << false << "1" << QByteArray();
        QTest::newRow("a repeated header with nothing under it loses nothing")
            << QByteArray("[A]\r\nk=0\r\n; note\r\n[A]\r\n\r\n") << false << "1"
            << QByteArray("[A]\r\nk=1\r\n\r\n");
        QTest::newRow("a line break in a value")
            << QByteArray("[A]\r\nk=0\r\n") << false << "x\n[Run]" << QByteArray();
#if !defined(Q_OS_WIN) // a file's permissions cannot take the reading away there
        QTest::newRow("no read permission")
            << QByteArray("[A]\r\nk=0\r\nkept=1\r\n") << true << "1" << QByteArray();
#endif
    }

    void neverWrittenOver() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, unreadable);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        const QString path = Write(m_dir, bytes, "stored.ini");
        // Root reads any file: the test gives up that right while it reads this one.
        std::optional<WithoutReadOverride> asUser;
        if (unreadable) {
            asUser.emplace();
            QFile::setPermissions(path, QFile::WriteOwner);
        }
        TIniFile ini(path);
        QCOMPARE(ini.Loaded(), !unreadable);
        ini.WriteString(QStringLiteral("A"), QStringLiteral("k"), value);
        QCOMPARE(ini.Save(), !after.isEmpty());
        QCOMPARE(ini.ErrorString().isEmpty(), !after.isEmpty()); // a refusal says why
        asUser.reset();
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(Read(path), after.isEmpty() ? bytes : after);
    }

    void failedWriteKeepsTheOldFile() {
        const QString path = Write(m_dir, "[A]\nx=1\n", "keep.ini");
        TIniFile ini(path);
        ini.WriteString(QStringLiteral("A"), QStringLiteral("x"), QStringLiteral("2"));
        // The folder is replaced by a file: no temporary file can be made beside the target.
        TIniFile nowhere(m_dir.filePath(QStringLiteral("keep.ini/inner.ini")));
        nowhere.WriteString(QStringLiteral("A"), QStringLiteral("x"), QStringLiteral("1"));
        QVERIFY(!nowhere.Save());
        QVERIFY(!nowhere.ErrorString().isEmpty());
        QCOMPARE(Read(path), QByteArray("[A]\nx=1\n"));
        QVERIFY(ini.Save());
        QCOMPARE(Read(path), QByteArray("[A]\r\nx=2\r\n\r\n"));
    }

    void settingsLocation() {
        UseSettingsFolder(m_dir.path());
        PortableMode = false;
        const QString sep = QDir::separator();
        // The test binary carries no company name: that part is empty.
        QCOMPARE(PortablePath(), QDir::toNativeSeparators(m_dir.path()) + sep + sep +
                                     QStringLiteral("Quillmark") + sep + QStringLiteral("Config") +
                                     sep + QStringLiteral("Option.ini"));
        QVERIFY(QFileInfo(QFileInfo(PortablePath()).path()).isDir());
        PortableMode = true;
        QCOMPARE(PortablePath(),
                 ProgramFolder() + QStringLiteral("Config") + sep + QStringLiteral("Option.ini"));
        PortableMode = false;
        QDir(ProgramFolder() + QStringLiteral("Config")).removeRecursively();
        const QString english =
            ProgramFolder() + QStringLiteral("Language") + sep + QStringLiteral("English.ini");
        QCOMPARE(LanguageFilePath(QStringLiteral("English")), english);
        // The stored name may differ in case from the file's, also on a case-sensitive system.
        QVERIFY(!QFileInfo::exists(english));
        QDir().mkpath(QFileInfo(english).path());
        QFile file(english);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const bool found = QFileInfo::exists(LanguageFilePath(QStringLiteral("english")));
        QFile::remove(english);
        QDir().rmdir(QFileInfo(english).path()); // when this test made it
        QVERIFY(found);
    }
};

QM_TEST_GUILESS_MAIN(TestIniFile)
#include "tst_IniFile.moc"
