// The registry stand-in store beyond the operations themselves (which the backend tests check
// on every system): damaged stores are never written over, and two processes write at once.

#include "TestMain.h"
#include "WithoutReadOverride.h"
#include "platform/Registry.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

using qm::platform::RegistryAccessor;
using qm::platform::RegistryError;

class TestRegistry : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void init() {
        static int n = 0;
        qputenv("QUILLMARK_REGISTRY_FILE",
                m_dir.filePath(QStringLiteral("hkcu%1.txt").arg(++n)).toUtf8());
    }

    // A store that could not be read completely is read as far as it goes and never written
    // over: what it holds is not lost.
    void damagedStores_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("unreadable");
        QTest::addColumn<QString>("text"); // value "v" of Software\K as read
        const QByteArray key = "K\tSoftware\\\\K\n";
        const QByteArray value = "V\tSoftware\\\\K\tv\tS\tkept\n";
        QTest::newRow("unknown header") << "QMREG2\n" + key + value << false << "";
        QTest::newRow("a line it cannot read")
            << "QMREG1\n" + key + "garbage\n" + value << false << "kept";
        QTest::newRow("a lone backslash") << "QMREG1\n" + value + "V\tSoftware\\\\K\tw\tS\ta\\qb\n"
                                          << false << "kept";
        QTest::newRow("an integer that is not one")
            << "QMREG1\n" + value + "V\tSoftware\\\\K\tn\tD\tabc\n"
            << false << "kept";
        QTest::newRow("bytes that are not UTF-8")
            << "QMREG1\n" + value + "V\tSoftware\\\\K\tw\tS\tcaf\xE9\n"
            << false << "kept";
        QTest::newRow("no read permission") << "QMREG1\n" + key + value << true << "";
    }

    void damagedStores() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, unreadable);
        QFETCH(QString, text);
        const QString path = QString::fromLocal8Bit(qgetenv("QUILLMARK_REGISTRY_FILE"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        std::optional<WithoutReadOverride> asUser;
        if (unreadable) {
            asUser.emplace();
            QFile::setPermissions(path, QFile::WriteOwner);
        }
        RegistryAccessor r(RegistryAccessor::Access::Full);
        QCOMPARE(r.OpenKey(u"Software\\K", false), !text.isEmpty());
        QCOMPARE(QString::fromStdU16String(r.ReadString(u"v")), text);
        QVERIFY_THROWS_EXCEPTION(RegistryError, r.ReadInteger(u"n")); // "abc" is no integer
        QVERIFY(!r.OpenKey(u"Software\\New", true));
        QVERIFY(!r.DeleteKey(u"Software\\K"));
        QVERIFY2(QString::fromStdString(r.ErrorText()).contains(QStringLiteral("not written over")),
                 r.ErrorText().c_str());
        asUser.reset();
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
    }

    void parallelWriters() {
        // Two processes and this one write 60 values each into one key at the same time: none
        // is lost.
        {
            RegistryAccessor r(RegistryAccessor::Access::Full);
            QVERIFY(r.OpenKey(u"Software\\Parallel", true));
        }
        QList<QProcess*> writers;
        for (const char* prefix : {"a", "b"}) {
            auto* p = new QProcess(this);
            p->start(QStringLiteral(QM_REGISTRY_WRITER),
                     {QString::fromLatin1(prefix), QStringLiteral("60")});
            writers.append(p);
        }
        RegistryAccessor mine(RegistryAccessor::Access::Full);
        QVERIFY(mine.OpenKey(u"Software\\Parallel", false));
        for (int i = 0; i < 60; ++i)
            QVERIFY(mine.WriteString((u"c" + QString::number(i).toStdU16String()), u"1"));
        for (QProcess* p : writers) {
            QVERIFY(p->waitForFinished(60000));
            QCOMPARE(p->exitCode(), 0);
        }
        RegistryAccessor check(RegistryAccessor::Access::Read);
        QVERIFY(check.OpenKey(u"Software\\Parallel", false));
        for (const char16_t* prefix : {u"a", u"b", u"c"})
            for (int i = 0; i < 60; ++i)
                QVERIFY2(check.ValueExists(prefix + QString::number(i).toStdU16String()),
                         qPrintable(QString::fromStdU16String(prefix) + QString::number(i)));
    }
};

QM_TEST_GUILESS_MAIN(TestRegistry)
#include "tst_Registry.moc"
