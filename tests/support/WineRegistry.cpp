#include "WineRegistry.h"

#include <QDir>
#include <QFile>
#include <QSet>

namespace qm::testing {

namespace {

// Key names are saved with \\, \" and \xHHHH (any other character above 127) escaped.
QString Unescape(QStringView text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const QChar c = text[++i];
        if (c == u'x') {
            qsizetype j = i + 1;
            uint code = 0;
            while (j < text.size() && j < i + 5 && isxdigit(text[j].toLatin1())) {
                code = code * 16 + static_cast<uint>(QString(text[j]).toUInt(nullptr, 16));
                ++j;
            }
            out += QChar(static_cast<char16_t>(code));
            i = j - 1;
        } else {
            out += c;
        }
    }
    return out;
}

QString Fold(const QString& path) {
    return path.toLower();
}

} // namespace

bool WineRegistry::Read(const QString& prefix, QString& error) {
    FKeys.clear();
    const QList<QPair<QString, QString>> files = {
        {QStringLiteral("system.reg"), QStringLiteral("HKEY_LOCAL_MACHINE\\")},
        {QStringLiteral("user.reg"), QStringLiteral("HKEY_CURRENT_USER\\")},
        {QStringLiteral("userdef.reg"), QStringLiteral("HKEY_USERS\\.DEFAULT\\")}};
    for (const auto& [name, root] : files) {
        QFile file(QDir(prefix).filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            error = QStringLiteral("cannot read %1").arg(file.fileName());
            return false;
        }
        WineRegistryKey* key = nullptr;
        QString value; // a value line continued with a backslash
        for (const QByteArray& raw : file.readAll().split('\n')) {
            const QString line = QString::fromUtf8(raw);
            if (!value.isEmpty()) {
                value += line.trimmed();
            } else if (line.startsWith(u'[')) {
                const qsizetype close = line.lastIndexOf(u']');
                const QString path = root + Unescape(QStringView(line).sliced(1, close - 1));
                key = &FKeys[Fold(path)];
                key->Path = path;
                continue;
            } else if (key && (line.startsWith(u'"') || line.startsWith(u'@'))) {
                value = line;
            }
            if (value.endsWith(u'\\')) {
                value.chop(1);
                continue;
            }
            if (value.isEmpty())
                continue;
            // The name ends at the first unescaped quote after the opening one.
            qsizetype end = 0;
            if (value.startsWith(u'"')) {
                end = 1;
                while (end < value.size() && value[end] != u'"')
                    end += value[end] == u'\\' ? 2 : 1;
            }
            // By name, escapes undone: "" the default value, "n:" + the name any other.
            key->Values.insert(end == 0 ? QString()
                                        : QStringLiteral("n:") +
                                              Fold(Unescape(QStringView(value).sliced(1, end - 1))),
                               value);
            value.clear();
        }
    }
    return true;
}

QString WineRegistry::StoredPath(const QString& exportPath) {
    static const QList<QPair<QString, QString>> roots = {
        {QStringLiteral("hkey_local_machine"), QStringLiteral("hkey_local_machine")},
        {QStringLiteral("hklm"), QStringLiteral("hkey_local_machine")},
        {QStringLiteral("hkey_current_user"), QStringLiteral("hkey_current_user")},
        {QStringLiteral("hkcu"), QStringLiteral("hkey_current_user")},
        {QStringLiteral("hkey_classes_root"),
         QStringLiteral("hkey_local_machine\\software\\classes")},
        {QStringLiteral("hkcr"), QStringLiteral("hkey_local_machine\\software\\classes")},
        {QStringLiteral("hkey_users"), QStringLiteral("hkey_users")},
        {QStringLiteral("hku"), QStringLiteral("hkey_users")}};
    QString path = Fold(exportPath);
    const qsizetype slash = path.indexOf(u'\\');
    const QString root = slash < 0 ? path : path.left(slash);
    const QString rest = slash < 0 ? QString() : path.sliced(slash);
    QString stored;
    for (const auto& [name, to] : roots)
        if (root == name)
            stored = to + rest;
    // Wine links the current control set and the current user's own hive.
    const QString controlSet = QStringLiteral("hkey_local_machine\\system\\currentcontrolset");
    if (stored == controlSet || stored.startsWith(controlSet + u'\\'))
        stored = QStringLiteral("hkey_local_machine\\system\\controlset001") +
                 stored.sliced(controlSet.size());
    const QString user = QStringLiteral("hkey_users\\s-1-5-21-0-0-0-1000");
    if (stored == user || stored.startsWith(user + u'\\'))
        stored = QStringLiteral("hkey_current_user") + stored.sliced(user.size());
    if (stored.startsWith(QStringLiteral("hkey_users")) &&
        !stored.startsWith(QStringLiteral("hkey_users\\.default\\")))
        return {};
    return stored;
}

QList<const WineRegistryKey*> WineRegistry::Subtree(const QString& exportPath, bool below) const {
    QList<const WineRegistryKey*> keys;
    const QString stored = StoredPath(exportPath);
    if (stored.isEmpty())
        return keys;
    for (auto it = FKeys.lowerBound(stored); it != FKeys.end(); ++it) {
        if (!it.key().startsWith(stored))
            break; // sorted: nothing further down can lie below
        if (it.key() == stored || (below && it.key()[stored.size()] == u'\\'))
            keys << &it.value();
    }
    return keys;
}

QStringList CompareRegistries(const WineRegistry& expected, const WineRegistry& actual,
                              const QStringList& keys, const QStringList& trees,
                              const QMultiMap<QString, QString>& values) {
    QStringList differences;
    QSet<QString> seen;
    auto keysOf = [](const QList<const WineRegistryKey*>& list) {
        QMap<QString, const WineRegistryKey*> map;
        for (const WineRegistryKey* key : list)
            map.insert(Fold(key->Path), key);
        return map;
    };
    for (const QString& exportPath : keys + trees) {
        const bool below = trees.contains(exportPath);
        const auto want = keysOf(expected.Subtree(exportPath, below));
        const auto got = keysOf(actual.Subtree(exportPath, below));
        QStringList paths = want.keys() + got.keys();
        for (const QString& path : paths) {
            if (seen.contains(path))
                continue;
            seen.insert(path);
            const WineRegistryKey* w = want.value(path);
            const WineRegistryKey* g = got.value(path);
            if (!w || !g) {
                differences << QStringLiteral("%1: %2").arg((w ? w : g)->Path,
                                                            w ? QStringLiteral("key missing")
                                                              : QStringLiteral("key not expected"));
                continue;
            }
            QStringList names;
            if (below) {
                names = w->Values.keys() + g->Values.keys();
                names.removeDuplicates();
            } else {
                for (const QString& name : values.values(path))
                    names << (name.isEmpty() ? QString() : QStringLiteral("n:") + name);
            }
            for (const QString& name : names) {
                const QString a = w->Values.value(name);
                const QString b = g->Values.value(name);
                if (a != b)
                    differences << QStringLiteral("%1: expected %2, got %3")
                                       .arg(w->Path, a.isEmpty() ? QStringLiteral("nothing") : a,
                                            b.isEmpty() ? QStringLiteral("nothing") : b);
            }
        }
    }
    return differences;
}

} // namespace qm::testing
