// The context-menu verbs: their registry keys and values, and on freedesktop systems their
// desktop entries.

#include "platform/Registry.h"
#include "shell/ContextMenuVerbs.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using qm::platform::RegistryAccessor;

namespace {

QString Read(const QString& key, const char16_t* name) {
    RegistryAccessor r(RegistryAccessor::Access::Read);
    return r.OpenKey(key.toStdU16String(), false) ? QString::fromStdU16String(r.ReadString(name))
                                                  : QStringLiteral("<no key>");
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
        qputenv("QUILLMARK_REGISTRY_FILE", m_dir.filePath(QStringLiteral("hkcu.txt")).toUtf8());
        qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("data")).toUtf8());
        QFile::remove(m_dir.filePath(QStringLiteral("hkcu.txt")));
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
        qm::shell::RegisterVerb(TVerbKind::Folder, QStringLiteral("Open in Quillmark"),
                                QStringLiteral("/opt/a \"b\" $c/quillmark"));
        qm::shell::RegisterVerb(TVerbKind::RegFile, QStringLiteral("Convert 100% in Quillmark"),
                                QStringLiteral("/opt/q"));
        QFile folder(Entry("folder"));
        QVERIFY(folder.open(QIODevice::ReadOnly));
        const QByteArray text = folder.readAll();
        QVERIFY(text.startsWith("[Desktop Entry]\n"));
        QVERIFY(text.contains("\nName=Open in Quillmark\n"));
        QVERIFY2(text.contains("\nExec=\"/opt/a \\\"b\\\" \\$c/quillmark\" %f\n"),
                 text.constData());
        QVERIFY(text.contains("\nMimeType=inode/directory;\n"));
        QFile reg(Entry("regfile"));
        QVERIFY(reg.open(QIODevice::ReadOnly));
        QVERIFY(reg.readAll().contains("\nMimeType=text/x-ms-regedit;\n"));

        qm::shell::UnregisterVerb(TVerbKind::Folder);
        QVERIFY(!QFile::exists(Entry("folder")));
        QVERIFY(QFile::exists(Entry("regfile")));
        qm::shell::NotifyShell(); // with or without the desktop's tool, no harm
    }
};

QTEST_GUILESS_MAIN(TestContextMenuVerbs)
#include "tst_ContextMenuVerbs.moc"
