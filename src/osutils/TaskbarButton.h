#pragma once

// A window's progress on its taskbar button (the update window's TaskbarUpdate). Windows: the
// window's taskbar button (platform/TaskbarProgress.h). Linux: the launcher-entry D-Bus signal
// (com.canonical.Unity.LauncherEntry) that KDE's task manager and docks read; without a session
// bus nothing is shown.

#include <QObject>
#include <memory>

class QWidget;

enum class TTaskbarState { None, Normal };

class TTaskbarProgress : public QObject {
    Q_OBJECT

public:
    explicit TTaskbarProgress(QWidget* window);
    ~TTaskbarProgress() override;

    void SetMax(int maximum);
    void SetValue(int value);
    void SetState(TTaskbarState state);
    [[nodiscard]] int Max() const { return FMax; }
    [[nodiscard]] int Value() const { return FValue; }
    [[nodiscard]] TTaskbarState State() const { return FState; }

private:
    // Shows the current maximum, value and state.
    void Publish();

    struct TNative;
    QWidget* FWindow;
    std::unique_ptr<TNative> FNative;
    int FMax = 100;
    int FValue = 0;
    TTaskbarState FState = TTaskbarState::None;
};
