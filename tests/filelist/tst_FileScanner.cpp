// The folder scan: entry lines and their order, the Search/Stop state machine, stops from
// inside the event pump, and folders that cannot be listed or lead back into themselves.

#include "FakeFilesPage.h"
#include "InnoRegistryParser.h"
#include "TestMain.h"
#include "filelist/FileEntryLine.h"
#include "filelist/FileScanner.h"
#include "platform/Directory.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using qm::testing::InnoFilesLine;
using qm::testing::InnoLineKind;
using qm::testing::ParseInnoEntryLine;
using qm::testing::ParseInnoFilesLine;

namespace {

const QChar kSep(qm::platform::kPathSeparator);

// Native form of a path written with "/".
QString N(QString path) {
    return path.replace(u'/', kSep);
}

// Creates the files (and their folders) below `root`; a name ending in "/" is a folder.
void MakeTree(const QString& root, std::initializer_list<const char*> paths) {
    for (const char* p : paths) {
        const QString path = root + u'/' + QString::fromUtf8(p);
        if (path.endsWith(u'/')) {
            QDir().mkpath(path);
            continue;
        }
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot create %s", qPrintable(path));
    }
}

// "Source: "a/b"; DestDir: "x\y"" with the Source written in native separators.
QString Entry(const QString& source, const QString& dest, const QString& flags = {}) {
    return qm::filelist::EntryLine(N(source), dest, flags);
}

class ExampleTree {
public:
    ExampleTree() {
        MakeTree(m_dir.path(), {"App/App.exe", "App/lang/de.ini", "App/lang/fr.ini",
                                "App/plugins/x/x.dll", "App/readme.txt"});
    }
    QString App() const { return N(m_dir.path() + QStringLiteral("/App")); }
    QString Root() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

} // namespace

class TestFileScanner : public QObject {
    Q_OBJECT

private slots:
    void workedExample_data() {
        QTest::addColumn<bool>("trailingSeparator");
        QTest::addColumn<bool>("fullPath");
        QTest::addColumn<QString>("sourcePrefix"); // "" / "App/" / "<full>/"
        QTest::newRow("folder chosen with Browse") << true << false << QString();
        QTest::newRow("folder dropped") << false << false << QStringLiteral("App/");
        QTest::newRow("full paths") << true << true << QStringLiteral("<full>/");
    }

    void workedExample() {
        QFETCH(bool, trailingSeparator);
        QFETCH(bool, fullPath);
        QFETCH(QString, sourcePrefix);
        ExampleTree tree;
        sourcePrefix.replace(QStringLiteral("<full>"), tree.App());
        FakeFilesPage page;
        page.Folder = tree.App() + (trailingSeparator ? QString(kSep) : QString());
        page.DestDir = QStringLiteral("{app}");
        page.FullPath = fullPath;
        page.Tick(QStringLiteral("ignoreversion"));
        TFileScanner scanner(page);
        scanner.ButtonSearchClick();

        const QString f = QStringLiteral("Flags: ignoreversion");
        QCOMPARE(
            page.Output,
            QStringList(
                {QStringLiteral("[Files]"),
                 Entry(sourcePrefix + QStringLiteral("lang/de.ini"), QStringLiteral("{app}\\lang"),
                       f),
                 Entry(sourcePrefix + QStringLiteral("lang/fr.ini"), QStringLiteral("{app}\\lang"),
                       f),
                 Entry(sourcePrefix + QStringLiteral("plugins/x/x.dll"),
                       QStringLiteral("{app}\\plugins\\x"), f),
                 Entry(sourcePrefix + QStringLiteral("App.exe"), QStringLiteral("{app}"), f),
                 Entry(sourcePrefix + QStringLiteral("readme.txt"), QStringLiteral("{app}"), f)}));
        QCOMPARE(page.Output[1].endsWith(QStringLiteral("\";Flags: ignoreversion;")), true);
        QCOMPARE(page.Pumps, 5);
        QCOMPARE(page.Status, QString());
        QVERIFY(page.ControlsEnabled);
        QVERIFY(!page.ButtonScanning);
        QVERIFY(scanner.ScanStopped());
    }

    void lineEndings() {
        // Without flags a line ends in one semicolon; flags follow in list order.
        ExampleTree tree;
        FakeFilesPage page;
        page.Folder = tree.App() + kSep;
        TFileScanner scanner(page);
        scanner.ButtonSearchClick();
        QCOMPARE(page.Output.value(4), QStringLiteral("Source: \"App.exe\"; DestDir: \"{app}\";"));

        page.Tick(QStringLiteral("recursesubdirs"));
        page.Tick(QStringLiteral("ignoreversion"));
        QCOMPARE(scanner.GetSelectedFlags(), QStringLiteral("Flags: ignoreversion recursesubdirs"));
    }

    void destinations_data() {
        QTest::addColumn<QString>("destDirText");
        QTest::addColumn<QString>("subfolder");
        QTest::addColumn<QString>("destDir");
        // The compiler refuses an empty DestDir.
        QTest::newRow("no destination, top") << QString() << QString() << QStringLiteral("{app}");
        QTest::newRow("no destination, subfolder")
            << QString() << QStringLiteral("lang") << QStringLiteral("{app}\\lang");
        QTest::newRow("trailing backslash dropped")
            << QStringLiteral("{app}\\") << QString() << QStringLiteral("{app}");
        QTest::newRow("trailing backslash, subfolder")
            << QStringLiteral("{app}\\") << QStringLiteral("lang") << QStringLiteral("{app}\\lang");
        QTest::newRow("two trailing backslashes")
            << QStringLiteral("{app}\\\\") << QStringLiteral("lang")
            << QStringLiteral("{app}\\lang");
        // The destination text is script, written as it stands; a folder name comes from the
        // disk and is made safe.
        QTest::newRow("brace in a folder name doubled")
            << QStringLiteral("{app}") << QStringLiteral("a{b}\\c")
            << QStringLiteral("{app}\\a{{b}\\c");
        QTest::newRow("preprocessor in the destination kept")
            << QStringLiteral("{#MyAppDir}\\{code:Sub}") << QStringLiteral("x")
            << QStringLiteral("{#MyAppDir}\\{code:Sub}\\x");
        QTest::newRow("preprocessor in a folder name kept from it")
            << QStringLiteral("{app}") << QStringLiteral("{#x}\\\"q\"")
            << QStringLiteral("{app}\\{#\"{{#\"}x}\\\"\"q\"\"");
        QTest::newRow("preprocessor string in the destination kept")
            << QStringLiteral("{app}\\{#\"q\"}") << QString() << QStringLiteral("{app}\\{#\"q\"}");
    }

    void destinations() {
        QFETCH(QString, destDirText);
        QFETCH(QString, subfolder);
        QFETCH(QString, destDir);
        QCOMPARE(qm::filelist::DestDirFor(destDirText, subfolder), destDir);
    }

    void pathPieces() {
        QCOMPARE(qm::filelist::BaseDirectory(N(QStringLiteral("/b/App/"))),
                 N(QStringLiteral("/b/App/")));
        QCOMPARE(qm::filelist::BaseDirectory(N(QStringLiteral("/b/App"))),
                 N(QStringLiteral("/b/")));
        QCOMPARE(qm::filelist::BaseDirectory(N(QStringLiteral("/"))), N(QStringLiteral("/")));
        for (const char* text : {"/b/App", "/b/App/"}) {
            QCOMPARE(qm::filelist::SubfolderPath(N(QStringLiteral("/b/App/x/y")),
                                                 N(QString::fromUtf8(text))),
                     QStringLiteral("x\\y"));
            QCOMPARE(qm::filelist::SubfolderPath(N(QStringLiteral("/b/App")),
                                                 N(QString::fromUtf8(text))),
                     QString());
        }
        QCOMPARE(qm::filelist::EntryLine(QStringLiteral("a{b}"), QStringLiteral("{app}\\x"), {}),
                 QStringLiteral("Source: \"a{b}\"; DestDir: \"{app}\\x\";"));
    }

    void braceAndQuoteNames() {
        QTemporaryDir dir;
        MakeTree(dir.path(), {"{tmp}/f{1}.txt"});
        FakeFilesPage page;
        page.Folder = N(dir.path()) + kSep;
        page.DestDir = QStringLiteral("{app}");
        TFileScanner scanner(page);
        scanner.ButtonSearchClick();
        // Inno Setup expands constants in DestDir, not in Source.
        QCOMPARE(page.Output.value(1),
                 Entry(QStringLiteral("{tmp}/f{1}.txt"), QStringLiteral("{app}\\{{tmp}")));
    }

    // Names that would run preprocessor code, or split the line, in every place of an entry;
    // read back as Inno Setup reads the line.
    void hostileNames_data() {
        QTest::addColumn<QString>("file");    // below the scanned folder
        QTest::addColumn<QString>("destDir"); // the destination text
        QTest::addColumn<QString>("flag");    // ticked, or none
        QTest::addColumn<QString>("source");  // as the compiler reads it; or the comment line
        QTest::addColumn<QString>("dest");
        QTest::newRow("file name") << "{#Exec('calc.exe')}.txt"
                                   << "{app}"
                                   << ""
                                   << "{#Exec('calc.exe')}.txt"
                                   << "{app}";
        QTest::newRow("folder name") << "{#x}/{{#y}/f.txt"
                                     << "{app}"
                                     << ""
                                     << "{#x}/{{#y}/f.txt"
                                     << "{app}\\{#x}\\{{#y}";
        QTest::newRow("destination text") << "f.txt"
                                          << "{app}\\{#\"sub\"}"
                                          << ""
                                          << "f.txt"
                                          << "{app}\\sub";
        QTest::newRow("external source") << "{a}{#b}.txt"
                                         << "{app}"
                                         << "external"
                                         << "{a}{#b}.txt"
                                         << "{app}";
        QTest::newRow("line separator in a file name")
            << "a\u2028b.txt"
            << "{app}"
            << ""
            << "; Not converted: file \"a<U+2028>b.txt\": the name holds the separator "
               "<U+2028>, which would split the line where it is shown or copied"
            << "";
#if !defined(Q_OS_WIN) // no Windows name holds a control character
        QTest::newRow("line break in a folder name")
            << "x\ny/f.txt"
            << "{app}"
            << ""
            << "; Not converted: the name holds the control character <U+000A>, which Windows "
               "does not allow in a file name: x<U+000A>y"
            << "";
#endif
    }

    void hostileNames() {
        QFETCH(QString, file);
        QFETCH(QString, destDir);
        QFETCH(QString, flag);
        QFETCH(QString, source);
        QFETCH(QString, dest);
        QTemporaryDir dir;
        MakeTree(dir.path(), {file.toUtf8().constData()});
        FakeFilesPage page;
        page.Folder = N(dir.path()) + kSep;
        page.DestDir = destDir;
        page.Tick(flag);
        TFileScanner scanner(page);
        scanner.ButtonSearchClick();
        QCOMPARE(page.Output.size(), 2);
        const InnoFilesLine line = ParseInnoFilesLine(page.Output[1]);
        QVERIFY2(line.Error.isEmpty(), qPrintable(page.Output[1] + u'\n' + line.Error));
        if (line.Kind == InnoLineKind::Comment) {
            QCOMPARE(page.Output[1], N(source));
            return;
        }
        QCOMPARE(line.Entry.Source, N(source));
        QCOMPARE(line.Entry.DestDir, dest);
    }

    void ntfsOrder() {
#if defined(Q_OS_WIN)
        QSKIP("Windows lists a folder in its file system's own order (and A and a are one name)");
#endif
        QTemporaryDir dir;
        MakeTree(dir.path(), {"b", "A", "a", "B", "_x", "Zed", "é", "É1", "~", "sub/"});
        FakeFilesPage page;
        page.Folder = N(dir.path()) + kSep;
        TFileScanner scanner(page);
        scanner.ButtonSearchClick();
        QStringList names;
        for (const QString& line : page.Output.sliced(1))
            names.append(line.section(u'"', 1, 1));
        // Upper-cased code units: "A" < "B" < "Z" < "_" < "~" < "É" ("é" is "É", before "É1");
        // names equal once upper-cased by their own code units.
        QCOMPARE(names,
                 QStringList({QStringLiteral("A"), QStringLiteral("a"), QStringLiteral("B"),
                              QStringLiteral("b"), QStringLiteral("Zed"), QStringLiteral("_x"),
                              QStringLiteral("~"), QStringLiteral("é"), QStringLiteral("É1")}));
    }

    void hiddenEntriesAndEmptyFolders() {
        QTemporaryDir dir;
        MakeTree(dir.path(), {".hidden", ".git/config", "empty/"});
        FakeFilesPage page;
        page.Folder = N(dir.path()) + kSep;
        TFileScanner scanner(page);
        scanner.ButtonSearchClick();
        QCOMPARE(page.Output,
                 QStringList({QStringLiteral("[Files]"),
                              Entry(QStringLiteral(".git/config"), QStringLiteral("{app}\\.git")),
                              Entry(QStringLiteral(".hidden"), QStringLiteral("{app}"))}));

        page.Folder = N(dir.path() + QStringLiteral("/empty"));
        scanner.ButtonSearchClick();
        QCOMPARE(page.Output, QStringList{QStringLiteral("[Files]")});
        page.Folder = N(dir.path() + QStringLiteral("/missing"));
        scanner.ButtonSearchClick();
        QCOMPARE(page.Output, QStringList{QStringLiteral("[Files]")});
    }

    void emptyFolderTextDoesNothing() {
        FakeFilesPage page;
        TFileScanner scanner(page);
        scanner.ButtonSearchClick();
        QCOMPARE(page.Calls, 1); // the folder text was read, nothing else happened
        QCOMPARE(scanner.ButtonState(), TFileScanner::bsIdle);
    }

    void linksIntoTheirOwnPathAreNotFollowed() {
#if defined(Q_OS_WIN)
        QSKIP("the links a test can make on Windows are shortcut files");
#endif
        QTemporaryDir dir;
        MakeTree(dir.path(), {"top/a/file.txt", "other/o.txt"});
        const QString top = dir.path() + QStringLiteral("/top");
        QVERIFY(QFile::link(top, top + QStringLiteral("/a/loop"))); // back up the path
        QVERIFY(QFile::link(dir.path() + QStringLiteral("/other"), top + QStringLiteral("/b")));
        FakeFilesPage page;
        page.Folder = N(top) + kSep;
        TFileScanner scanner(page);
        scanner.ButtonSearchClick();
        // A link to a folder elsewhere is followed like a folder.
        QCOMPARE(page.Output,
                 QStringList({QStringLiteral("[Files]"),
                              Entry(QStringLiteral("a/file.txt"), QStringLiteral("{app}\\a")),
                              Entry(QStringLiteral("b/o.txt"), QStringLiteral("{app}\\b"))}));
    }

    void folderThatCannotBeListed() {
        // "b" vanishes while "a" is scanned: its listing fails, and the scan goes on.
        QTemporaryDir dir;
        MakeTree(dir.path(), {"a/1", "b/2", "c/3"});
        FakeFilesPage page;
        page.Folder = N(dir.path()) + kSep;
        page.OnPump = [&] {
            if (page.Pumps == 1)
                QDir(dir.path() + QStringLiteral("/b")).removeRecursively();
        };
        TFileScanner scanner(page);
        scanner.ButtonSearchClick();
        QCOMPARE(page.Output,
                 QStringList({QStringLiteral("[Files]"),
                              Entry(QStringLiteral("a/1"), QStringLiteral("{app}\\a")),
                              Entry(QStringLiteral("c/3"), QStringLiteral("{app}\\c"))}));
    }

    void stopFromInsideTheScan() {
        QTemporaryDir dir;
        MakeTree(dir.path(), {"a/1", "a/2", "b/1", "b/2", "top.txt"});
        FakeFilesPage page;
        page.Folder = N(dir.path()) + kSep;
        TFileScanner scanner(page);
        bool checkedDuringStop = false;
        page.OnPump = [&] {
            if (page.Pumps < 3) {
                QVERIFY(!page.ControlsEnabled);
                QVERIFY(page.ButtonScanning);
            }
            if (page.Pumps == 3) { // the first file of "b": Stop is clicked
                scanner.ButtonSearchClick();
                // The button is idle and the controls usable before the scan has unwound.
                checkedDuringStop = page.ControlsEnabled && !page.ButtonScanning &&
                                    scanner.ButtonState() == TFileScanner::bsIdle;
            }
        };
        scanner.ButtonSearchClick();
        QVERIFY(checkedDuringStop);
        QCOMPARE(page.Pumps, 4); // the stop's own pump ran once more, nested
        // Only "a" finished; "b" and the top folder were cut short.
        QCOMPARE(page.Output,
                 QStringList({QStringLiteral("[Files]"),
                              Entry(QStringLiteral("a/1"), QStringLiteral("{app}\\a")),
                              Entry(QStringLiteral("a/2"), QStringLiteral("{app}\\a"))}));
        QCOMPARE(page.Status, QString());
        QVERIFY(page.ControlsEnabled);
    }

    void stopDuringTheLastSubfolder() {
        // The stop comes while "z" (the top folder's last entry) is scanned: the top folder
        // still appends the lines of its own files.
        QTemporaryDir dir;
        MakeTree(dir.path(), {"a.txt", "z/1", "z/2"});
        FakeFilesPage page;
        page.Folder = N(dir.path()) + kSep;
        TFileScanner scanner(page);
        page.OnPump = [&] {
            if (page.Pumps == 2)
                scanner.ButtonSearchClick();
        };
        scanner.ButtonSearchClick();
        QCOMPARE(page.Output,
                 QStringList({QStringLiteral("[Files]"),
                              Entry(QStringLiteral("a.txt"), QStringLiteral("{app}"))}));
    }

    void newScanStartedInsideAStoppedOne() {
        // Stop, then Search again on the same folder, both from inside the first scan's pump:
        // the second scan lists the whole tree (the first one's open folders are not its own),
        // and the first scan's held-back lines do not land in the second scan's output.
        QTemporaryDir dir;
        MakeTree(dir.path(), {"a.txt", "z/1"});
        FakeFilesPage page;
        page.Folder = N(dir.path()) + kSep;
        TFileScanner scanner(page);
        page.OnPump = [&] {
            if (page.Pumps == 2) { // inside "z", after a.txt was listed
                page.OnPump = nullptr;
                scanner.ButtonSearchClick();
                scanner.ButtonSearchClick();
            }
        };
        scanner.ButtonSearchClick();
        QCOMPARE(page.Output,
                 QStringList({QStringLiteral("[Files]"),
                              Entry(QStringLiteral("z/1"), QStringLiteral("{app}\\z")),
                              Entry(QStringLiteral("a.txt"), QStringLiteral("{app}"))}));
        QCOMPARE(page.Pumps, 5); // a.txt, z/1, the stop, then the second scan's z/1 and a.txt
        QCOMPARE(scanner.ButtonState(), TFileScanner::bsIdle);
        QVERIFY(page.ControlsEnabled);
    }

    // Names Windows cannot hold become comments (a folder's with nothing below it); empty
    // folders at several depths become [Dirs] lines when asked for. Every line passes the
    // reader, which refuses what the compiler refuses (an empty DestDir, unknown constants).
    void namesAndEmptyFolders_data() {
        QTest::addColumn<bool>("emptyDirs");
        QTest::addColumn<QString>("destDir");
        QTest::addColumn<QString>("base"); // the DestDir of the scanned folder's files
        QTest::newRow("no destination") << false << QString() << QStringLiteral("{app}");
        QTest::newRow("no destination, empty folders")
            << true << QString() << QStringLiteral("{app}");
        QTest::newRow("preprocessor destination, empty folders")
            << true << QStringLiteral("{app}\\{#\"x\"}") << QStringLiteral("{app}\\{#\"x\"}");
    }

    void namesAndEmptyFolders() {
#if defined(Q_OS_WIN)
        QSKIP("Windows cannot make these names");
#endif
        QFETCH(bool, emptyDirs);
        QFETCH(QString, destDir);
        QFETCH(QString, base);
        QTemporaryDir dir;
        MakeTree(dir.path(), {"ok.txt", "CON", "nul.txt", "a.", "b ", "q\"d.txt", "x:y/f.txt",
                              "logs/", "data/cache/", "data/keep.txt", "{#m}/"});
        FakeFilesPage page;
        page.Folder = N(dir.path()) + kSep;
        page.DestDir = destDir;
        page.EmptyDirs = emptyDirs;
        TFileScanner scanner(page);
        scanner.ButtonSearchClick();

        const QString not1 = QStringLiteral("; Not converted: ");
        const QString chars = QStringLiteral(", which Windows does not allow in a file name: ");
        QStringList expected = {
            QStringLiteral("[Files]"),
            QStringLiteral("Source: \"data/keep.txt\"; DestDir: \"%1\\data\";").arg(base),
            not1 + QStringLiteral("the name ends in a dot, which Windows does not keep: a."),
            not1 + QStringLiteral("the name ends in a blank, which Windows does not keep: b"),
            not1 + QStringLiteral("Windows reserves the name for a device: CON"),
            not1 + QStringLiteral("Windows reserves the name for a device: nul.txt"),
            QStringLiteral("Source: \"ok.txt\"; DestDir: \"%1\";").arg(base),
            not1 + QStringLiteral("the name holds \"") + chars + QStringLiteral("q\"d.txt"),
            not1 + QStringLiteral("the name holds :") + chars + QStringLiteral("x:y")};
        if (emptyDirs)
            expected << QString() << QStringLiteral("[Dirs]")
                     << QStringLiteral("Name: \"%1\\data\\cache\";").arg(base)
                     << QStringLiteral("Name: \"%1\\logs\";").arg(base)
                     << QStringLiteral("Name: \"%1\\{#\"{{#\"}m}\";").arg(base);
        QCOMPARE(page.Output, expected);
        QString section = QStringLiteral("[Files]");
        for (const QString& line : page.Output) {
            if (line.startsWith(u'['))
                section = line;
            const QString error =
                section == u"[Files]"
                    ? ParseInnoFilesLine(line, dir.path()).Error
                    : ParseInnoEntryLine(line, section, {QStringLiteral("Name")}).Error;
            QVERIFY2(error.isEmpty(), qPrintable(line + u'\n' + error));
        }
        QVERIFY(page.Pumps >= 7); // after each file, comment and empty folder
    }

    void droppedFolderStopsTheScan() {
        QTemporaryDir dir;
        MakeTree(dir.path(), {"a/1", "b/1"});
        FakeFilesPage page;
        page.Folder = N(dir.path()) + kSep;
        TFileScanner scanner(page);
        page.OnPump = [&] {
            if (page.Pumps == 1) { // a drop: the new folder goes into the path field, then a click
                page.Folder = N(dir.path() + QStringLiteral("/b"));
                scanner.ButtonSearchClick();
            }
        };
        scanner.ButtonSearchClick();
        // "a" had no entry left after the stop and so finished; no new scan was started.
        QCOMPARE(page.Output,
                 QStringList({QStringLiteral("[Files]"),
                              Entry(QStringLiteral("a/1"), QStringLiteral("{app}\\a"))}));
        QCOMPARE(page.Folder, N(dir.path() + QStringLiteral("/b")));
        QCOMPARE(scanner.ButtonState(), TFileScanner::bsIdle);
    }
};

QM_TEST_GUILESS_MAIN(TestFileScanner)
#include "tst_FileScanner.moc"
