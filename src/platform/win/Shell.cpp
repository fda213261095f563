#include "platform/Shell.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <windows.h>

namespace qm::platform {

namespace {

const wchar_t* Wide(const std::u16string& s) {
    return reinterpret_cast<const wchar_t*>(s.c_str());
}

} // namespace

bool ShellOpen(std::u16string_view target) {
    const std::u16string t(target);
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", Wide(t), nullptr, nullptr, SW_SHOW));
    return result > 32;
}

bool ShellOpen(std::u16string_view target, std::u16string_view parameters, ShowMode show) {
    const std::u16string t(target);
    const std::u16string p(parameters);
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", Wide(t), p.empty() ? nullptr : Wide(p), nullptr,
                      show == ShowMode::Hidden ? SW_HIDE : SW_SHOWNORMAL));
    return result > 32;
}

std::u16string ShortcutTarget(std::u16string_view shortcutPath) {
    const std::u16string path(shortcutPath);
    if (GetFileAttributesW(Wide(path)) == INVALID_FILE_ATTRIBUTES)
        return {};
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::u16string target;
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            file->Load(Wide(path), STGM_READ);
            wchar_t buffer[MAX_PATH + 1] = {};
            link->GetPath(buffer, MAX_PATH, nullptr, SLGP_UNCPRIORITY);
            target = reinterpret_cast<const char16_t*>(buffer);
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(init))
        CoUninitialize();
    return target;
}

} // namespace qm::platform
