#pragma once

// The progress shown on a window's taskbar button: Windows' ITaskbarList3. (Other desktops
// take progress through channels of their own, outside this layer.)

#include <cstdint>
#include <memory>

namespace qm::platform {

enum class TaskbarState { None, Normal };

class TaskbarButton {
public:
    // `window`: the native handle of a top-level window. Failures leave the button as it is.
    explicit TaskbarButton(std::uintptr_t window);
    ~TaskbarButton();
    TaskbarButton(const TaskbarButton&) = delete;
    TaskbarButton& operator=(const TaskbarButton&) = delete;

    void SetState(TaskbarState state);
    void SetValue(std::uint64_t value, std::uint64_t maximum);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qm::platform
