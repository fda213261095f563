// The context-menu verbs: their registry keys and values, and on freedesktop systems their
// desktop entries.

#include "TestMain.h"
#include "UserIsolation.h"
#include "platform/Registry.h"
#include "shell/ContextMenuVerbs.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using qm::platform::RegistryAccessor;

namespace {

QString Read(const QString& key, const char16_t* name) {
    RegistryAccessor r(RegistryAccessor::Access::Read);
    return r.OpenKey(key.toStdU16String(), false) ? QString::fromStdU16String(r.ReadString(name))
                                                  : QStringLiteral("<no key>");
}

// The program of a desktop entry's Exec key, read as the Desktop Entry rules read it: the value
// is unescaped as a string, then its first argument unquoted.
QString ExecProgram(const QByteArray& entry) {
    const qsizetype at = entry.indexOf("\nExec=") + 6;
    const QString value = QString::fromUtf8(entry.mid(at, entry.indexOf('\n', at) - at));
    QString unescaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\' && i + 1 < value.size()) {
            const QChar next = value[++i];
            unescaped += next == u's' ? u' ' : next == u'n' ? u'\n' : next == u't' ? u'\t' : next;
        } else {
            unescaped += value[i];
        }
    }
    if (!unescaped.startsWith(u'"'))
        return {};
    QString program;
    for (qsizetype i = 1; i < unescaped.size() && unescaped[i] != u'"'; ++i) {
        if (unescaped[i] == u'\\' && i + 1 < unescaped.size())
            ++i;
        program += unescaped[i];
    }
    return program.replace(QStringLiteral("%%"), QStringLiteral("%"));
}

} // namespace

class TestContextMenuVerbs : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString Entry(const char* id) const {
        return m_dir.filePath(
            QStringLiteral("data/applications/quillmark-%1.desktop").arg(QString::fromLatin1(id)));
    }

private slots:
    void init() {
        UseFreshRegistry(m_dir.filePath(QStringLiteral("hkcu.txt")));
        qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("data")).toUtf8());
    }

    void registerAndRemove() {
        const QString exe = QStringLiteral("/opt/My Tools/Quillmark");
        qm::shell::RegisterVerb(TVerbKind::Folder, QStringLiteral("Открыть в Quillmark"), exe);
        const QString key = QStringLiteral("Software\\Classes\\Directory\\shell\\Quillmark");
        QVERIFY(qm::shell::VerbRegistered(TVerbKind::Folder));
        QVERIFY(!qm::shell::VerbRegistered(TVerbKind::RegFile));
        QCOMPARE(Read(key, u""), QStringLiteral("Открыть в Quillmark"));
        QCOMPARE(Read(key, u"Icon"), exe);
        // The path with blanks stays whole, and the placeholder is quoted too.
        QCOMPARE(Read(key + QStringLiteral("\\command"), u""),
                 QStringLiteral("\"/opt/My Tools/Quillmark\" \"%1\""));

        qm::shell::RegisterVerb(TVerbKind::RegFile, QStringLiteral("Конвертировать в  Quillmark"),
                                exe);
        QCOMPARE(Read(QStringLiteral("Software\\Classes\\regfile\\shell\\Quillmark"), u""),
                 QStringLiteral("Конвертировать в  Quillmark"));

        qm::shell::UnregisterVerb(TVerbKind::Folder);
        QVERIFY(!qm::shell::VerbRegistered(TVerbKind::Folder));
        QCOMPARE(Read(key + QStringLiteral("\\command"), u""), QStringLiteral("<no key>"));
        QVERIFY(qm::shell::VerbRegistered(TVerbKind::RegFile));
        qm::shell::UnregisterVerb(TVerbKind::Folder); // already gone: no harm
    }

    void keyWithoutCommandCounts() {
        RegistryAccessor r(RegistryAccessor::Access::Full);
        QVERIFY(r.OpenKey(u"Software\\Classes\\regfile\\shell\\Quillmark", true));
        QVERIFY(qm::shell::VerbRegistered(TVerbKind::RegFile));
    }

    void desktopEntries() {
#if defined(Q_OS_WIN)
        QSKIP("desktop entries are the freedesktop side of the verbs");
#endif
        // A program path with every character the Exec key must escape.
        const QString program = QStringLiteral("/opt/a \"b\" $c `d` \\e 100%/quill mark");
        qm::shell::RegisterVerb(TVerbKind::Folder, QStringLiteral("Open in Quillmark"), program);
        qm::shell::RegisterVerb(TVerbKind::RegFile, QStringLiteral("Convert 100% in Quillmark"),
                                QStringLiteral("/opt/q"));
        QFile folder(Entry("folder"));
        QVERIFY(folder.open(QIODevice::ReadOnly));
        const QByteArray text = folder.readAll();
        QVERIFY(text.startsWith("[Desktop Entry]\n"));
        QVERIFY(text.contains("\nName=Open in Quillmark\n"));
        QCOMPARE(ExecProgram(text), program);
        QVERIFY(text.contains("\nMimeType=inode/directory;\n"));
        for (const char* id : {"folder", "regfile"}) {
            QProcess validate;
            validate.start(QStringLiteral("desktop-file-validate"), {Entry(id)});
            QVERIFY2(validate.waitForFinished(), "desktop-file-validate does not run");
            const QByteArray report = validate.readAll() + validate.readAllStandardError();
            QVERIFY2(validate.exitCode() == 0 && !report.contains("error"), report.constData());
        }
        QFile reg(Entry("regfile"));
        QVERIFY(reg.open(QIODevice::ReadOnly));
        QVERIFY(reg.readAll().contains("\nMimeType=text/x-ms-regedit;\n"));

        qm::shell::UnregisterVerb(TVerbKind::Folder);
        QVERIFY(!QFile::exists(Entry("folder")));
        QVERIFY(QFile::exists(Entry("regfile")));
        qm::shell::NotifyShell(); // with or without the desktop's tool, no harm
    }

    // The key and the desktop entry change together or not at all.
    void halfAChangeIsNone() {
#if defined(Q_OS_WIN)
        QSKIP("desktop entries are the freedesktop side of the verbs");
#endif
        const QString exe = QStringLiteral("/opt/q");
        // The applications folder cannot be made: no entry, so no key either.
        QDir(m_dir.filePath(QStringLiteral("data"))).removeRecursively();
        QFile blocker(m_dir.filePath(QStringLiteral("data")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        qm::shell::RegisterVerb(TVerbKind::Folder, QStringLiteral("Open"), exe);
        QVERIFY(!qm::shell::VerbRegistered(TVerbKind::Folder));
        QVERIFY(QFile::remove(blocker.fileName()));

        // The store refuses the removal (a line it cannot read): the entry stays with the key.
        qm::shell::RegisterVerb(TVerbKind::Folder, QStringLiteral("Open"), exe);
        QFile store(m_dir.filePath(QStringLiteral("hkcu.txt")));
        QVERIFY(store.open(QIODevice::Append));
        store.write("damaged\n");
        store.close();
        qm::shell::UnregisterVerb(TVerbKind::Folder);
        QVERIFY(qm::shell::VerbRegistered(TVerbKind::Folder));
        QVERIFY(QFile::exists(Entry("folder")));
    }
};

QM_TEST_GUILESS_MAIN(TestContextMenuVerbs)
#include "tst_ContextMenuVerbs.moc"
