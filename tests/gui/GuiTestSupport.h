#pragma once

// Helpers of the window tests: files, drops as the system delivers them, and modal windows
// closed from inside their own event loop.

#include "TestFiles.h"
#include "UserIsolation.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QProcess>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <memory>

// Points the settings, the registry and the desktop entries into `dir`, so a test never
// touches the user's own, and the update check at a port where nothing listens.
inline void IsolateFromUser(const QString& dir) {
    UseSettingsFolder(dir + QStringLiteral("/config"));
    UseFreshRegistry(dir + QStringLiteral("/hkcu.txt"));
    qputenv("XDG_DATA_HOME", (dir + QStringLiteral("/data")).toUtf8());
    qputenv("QUILLMARK_UPDATE_URLS", "https://127.0.0.1:9/download/");
}

// Starts a session bus of the test's own (dbus-daemon) and points the process at it; call it
// before anything connects to a session bus. Empty when it does not start, else its address.
inline QByteArray StartPrivateSessionBus(QProcess& daemon) {
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--session"), QStringLiteral("--nofork"),
                  QStringLiteral("--print-address")});
    if (!daemon.waitForReadyRead(10000))
        return {};
    const QByteArray address = daemon.readLine().trimmed();
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    return address;
}

using qm::testing::WriteFile;

// Drops `paths` on `window`: the drag enters it, then it is dropped.
inline void DropOn(QWidget& window, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls.append(QUrl::fromLocalFile(p));
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &drop);
}

// Waits for the next menu or modal window, runs `act` on it and closes it; the returned flag
// tells whether that happened. With `wanted`, one it does not want is closed and the wait goes
// on (a prompt a background check of an earlier case shows late, on a loaded machine).
inline std::shared_ptr<bool> CloseNextPopup(std::function<void(QWidget*)> act = {},
                                            std::function<bool(QWidget*)> wanted = {}) {
    auto closed = std::make_shared<bool>(false);
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, closed, act, wanted] {
        QWidget* open = QApplication::activePopupWidget();
        if (!open)
            open = QApplication::activeModalWidget();
        if (!open)
            return;
        if (wanted && !wanted(open)) {
            open->close();
            return;
        }
        if (act)
            act(open);
        open->close();
        *closed = true;
        timer->deleteLater();
    });
    timer->start();
    return closed;
}
