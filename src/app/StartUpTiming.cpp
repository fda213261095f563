#include "app/StartUpTiming.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>
#include <QWidget>
#include <QWindow>
#include <cstdio>

namespace {

class ExposureReporter : public QObject {
public:
    explicit ExposureReporter(QWindow* window) : QObject(window), m_window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_window && event->type() == QEvent::Expose && m_window->isExposed()) {
            std::fprintf(stderr, "quillmark: window exposed at %lld ms\n",
                         static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
            std::fflush(stderr);
            m_window->removeEventFilter(this);
            QCoreApplication::quit();
        }
        return false;
    }

private:
    QWindow* m_window;
};

} // namespace

void ReportFirstExposureIfAsked(QWidget* window) {
    if (!qEnvironmentVariableIsSet("QUILLMARK_STARTUP_TIMING"))
        return;
    window->winId(); // the native window exists from here on
    QWindow* handle = window->windowHandle();
    handle->installEventFilter(new ExposureReporter(handle));
}
