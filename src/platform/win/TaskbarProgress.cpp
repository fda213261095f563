#include "platform/TaskbarProgress.h"

#include <objbase.h>
#include <shobjidl.h>
#include <windows.h>

namespace qm::platform {

struct TaskbarButton::Impl {
    HWND Window = nullptr;
    ITaskbarList3* List = nullptr;
    bool ComStarted = false;
};

TaskbarButton::TaskbarButton(std::uintptr_t window) : m_impl(std::make_unique<Impl>()) {
    m_impl->Window = reinterpret_cast<HWND>(window);
    m_impl->ComStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    ITaskbarList3* list = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ITaskbarList3, reinterpret_cast<void**>(&list)))) {
        if (SUCCEEDED(list->HrInit()))
            m_impl->List = list;
        else
            list->Release();
    }
}

TaskbarButton::~TaskbarButton() {
    if (m_impl->List)
        m_impl->List->Release();
    if (m_impl->ComStarted)
        CoUninitialize();
}

void TaskbarButton::SetState(TaskbarState state) {
    if (m_impl->List)
        m_impl->List->SetProgressState(
            m_impl->Window, state == TaskbarState::Normal ? TBPF_NORMAL : TBPF_NOPROGRESS);
}

void TaskbarButton::SetValue(std::uint64_t value, std::uint64_t maximum) {
    if (m_impl->List)
        m_impl->List->SetProgressValue(m_impl->Window, value, maximum);
}

} // namespace qm::platform
