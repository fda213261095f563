#pragma once

// A wine prefix's registry as its server saved it (system.reg, user.reg, userdef.reg), for
// comparing two prefixes value by value. Wine writes every value in one canonical form, so two
// values are the same (type and data) exactly when their saved texts are.

#include <QMap>
#include <QString>
#include <QStringList>

namespace qm::testing {

struct WineRegistryKey {
    QString Path; // HKEY_LOCAL_MACHINE\Software\X
    // "" for the default value, "n:" + the name folded to lower case for the others -> the
    // saved line ("x"=dword:...)
    QMap<QString, QString> Values;
};

class WineRegistry {
public:
    // Reads the three files of `prefix` (its server must have ended, so that they are saved).
    bool Read(const QString& prefix, QString& error);

    // The key (and with `below` its subkeys) at an export's key path (any root spelling:
    // HKCU, HKEY_CLASSES_ROOT, ...; the views wine links are followed).
    QList<const WineRegistryKey*> Subtree(const QString& exportPath, bool below = true) const;

    // An export's key path as this registry stores it, folded; empty for roots wine keeps
    // nowhere (HKU\default, a typing error).
    static QString StoredPath(const QString& exportPath);

private:
    QMap<QString, WineRegistryKey> FKeys; // by folded path
};

// What differs between two registries at the given export keys (whether each exists, and
// its values named in `values`: folded key path -> folded value names, empty for the default), and
// at and below the keys given as `trees` (an export's deletions), all values included: one
// line per key or value.
QStringList CompareRegistries(const WineRegistry& expected, const WineRegistry& actual,
                              const QStringList& keys, const QStringList& trees,
                              const QMultiMap<QString, QString>& values);

} // namespace qm::testing
