#include "osutils/TaskbarButton.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>
#include <QWidget>
#include <algorithm>

struct TTaskbarProgress::TNative {};

TTaskbarProgress::TTaskbarProgress(QWidget* window) : QObject(window), FWindow(window) {}

TTaskbarProgress::~TTaskbarProgress() = default;

void TTaskbarProgress::Publish() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(
        QStringLiteral("/com/canonical/unity/launcherentry/quillmark"),
        QStringLiteral("com.canonical.Unity.LauncherEntry"), QStringLiteral("Update"));
    const double progress =
        FMax > 0 ? std::clamp(static_cast<double>(FValue) / FMax, 0.0, 1.0) : 0.0;
    signal << QStringLiteral("application://quillmark.desktop")
           << QVariantMap{{QStringLiteral("progress"), progress},
                          {QStringLiteral("progress-visible"), FState == TTaskbarState::Normal}};
    bus.send(signal);
}
