#include "osutils/TaskbarButton.h"

#include "platform/TaskbarProgress.h"

#include <QWidget>

struct TTaskbarProgress::TNative {
    std::unique_ptr<qm::platform::TaskbarButton> Button;
};

TTaskbarProgress::TTaskbarProgress(QWidget* window)
    : QObject(window), FWindow(window), FNative(std::make_unique<TNative>()) {}

TTaskbarProgress::~TTaskbarProgress() = default;

void TTaskbarProgress::Publish() {
    // The button belongs to the native window, which exists once the window has been shown.
    if (!FNative->Button)
        FNative->Button = std::make_unique<qm::platform::TaskbarButton>(
            static_cast<std::uintptr_t>(FWindow->window()->winId()));
    FNative->Button->SetState(FState == TTaskbarState::Normal ? qm::platform::TaskbarState::Normal
                                                              : qm::platform::TaskbarState::None);
    if (FState == TTaskbarState::Normal && FMax > 0)
        FNative->Button->SetValue(static_cast<std::uint64_t>(std::max(FValue, 0)),
                                  static_cast<std::uint64_t>(FMax));
}
