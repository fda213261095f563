#pragma once

// A test's own user, so it never touches the real one's settings or registry. On Linux the
// settings folder follows XDG_CONFIG_HOME and the registry stand-in keeps its keys in a file.
// On Windows (the tests run in a wine prefix of their own) the shell's AppData folder is set in
// the registry, and the keys the program writes are removed.

#include <QDir>
#include <QString>

#if defined(Q_OS_WIN)
#include "platform/Registry.h"
#endif

// The program keeps its settings below `dir`, in this process and in programs it starts.
inline void UseSettingsFolder(const QString& dir) {
#if defined(Q_OS_WIN)
    QDir().mkpath(dir); // as the real one, it exists
    qm::platform::RegistryAccessor registry(qm::platform::RegistryAccessor::Access::Full);
    if (!registry.OpenKey(
            u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", true) ||
        !registry.WriteString(u"AppData", QDir::toNativeSeparators(dir).toStdU16String()))
        qFatal("cannot move the AppData folder: %s", registry.ErrorText().c_str());
#else
    qputenv("XDG_CONFIG_HOME", dir.toUtf8());
#endif
}

// The registry as the program finds it on a fresh system: on Linux a new store at `storeFile`.
inline void UseFreshRegistry(const QString& storeFile) {
#if defined(Q_OS_WIN)
    Q_UNUSED(storeFile);
    qm::platform::RegistryAccessor registry(qm::platform::RegistryAccessor::Access::Full);
    for (const char16_t* verb : {u"Software\\Classes\\Directory\\shell\\Quillmark",
                                 u"Software\\Classes\\regfile\\shell\\Quillmark"})
        registry.DeleteKey(verb);
#else
    QFile::remove(storeFile);
    qputenv("QUILLMARK_REGISTRY_FILE", storeFile.toUtf8());
#endif
}
