#include "platform/Registry.h"

#include <string>
#include <windows.h>

namespace qm::platform {

namespace {

std::u16string NormalPath(std::u16string_view path) {
    while (!path.empty() && path.front() == u'\\')
        path.remove_prefix(1);
    return std::u16string(path);
}

const wchar_t* Wide(const std::u16string& s) {
    return reinterpret_cast<const wchar_t*>(s.c_str());
}

} // namespace

struct RegistryAccessor::Impl {
    Access Rights;
    HKEY Key = nullptr;
    std::string Error;
    REGSAM Sam() const { return Rights == Access::Full ? KEY_ALL_ACCESS : KEY_READ; }

    // True for ERROR_SUCCESS; otherwise keeps the reason.
    bool Succeeded(LSTATUS rc) {
        if (rc == ERROR_SUCCESS)
            return true;
        Error = "the registry refused the change (Windows error " + std::to_string(rc) + ")";
        return false;
    }
};

RegistryAccessor::RegistryAccessor(Access access)
    : m_impl(std::make_unique<Impl>(Impl{access, nullptr, {}})) {}

RegistryAccessor::~RegistryAccessor() {
    CloseKey();
}

bool RegistryAccessor::OpenKey(std::u16string_view path, bool canCreate) {
    CloseKey();
    // Creating needs no rights on the new key itself: the accessor's own rights decide.
    if (canCreate && m_impl->Rights != Access::Full)
        return false;
    const std::u16string p = NormalPath(path);
    HKEY key = nullptr;
    LSTATUS rc;
    if (canCreate)
        rc = RegCreateKeyExW(HKEY_CURRENT_USER, Wide(p), 0, nullptr, REG_OPTION_NON_VOLATILE,
                             m_impl->Sam(), nullptr, &key, nullptr);
    else
        rc = RegOpenKeyExW(HKEY_CURRENT_USER, Wide(p), 0, m_impl->Sam(), &key);
    if (!m_impl->Succeeded(rc))
        return false;
    m_impl->Key = key;
    return true;
}

const std::string& RegistryAccessor::ErrorText() const {
    return m_impl->Error;
}

bool RegistryAccessor::KeyExists(std::u16string_view path) {
    const std::u16string p = NormalPath(path);
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(p), 0, STANDARD_RIGHTS_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool RegistryAccessor::ValueExists(std::u16string_view name) {
    const std::u16string n(name);
    return m_impl->Key && RegQueryValueExW(m_impl->Key, Wide(n), nullptr, nullptr, nullptr,
                                           nullptr) == ERROR_SUCCESS;
}

std::int32_t RegistryAccessor::ReadInteger(std::u16string_view name) {
    const std::u16string n(name);
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof data;
    if (!m_impl->Key || RegQueryValueExW(m_impl->Key, Wide(n), nullptr, &type,
                                         reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS)
        throw RegistryError("the registry value does not exist");
    if (type != REG_DWORD || size != sizeof data)
        throw RegistryError("the registry value is not an integer");
    return static_cast<std::int32_t>(data);
}

std::u16string RegistryAccessor::ReadString(std::u16string_view name) {
    const std::u16string n(name);
    DWORD type = 0;
    DWORD size = 0;
    if (!m_impl->Key ||
        RegQueryValueExW(m_impl->Key, Wide(n), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    std::u16string text(size / sizeof(char16_t) + 1, u'\0');
    if (RegQueryValueExW(m_impl->Key, Wide(n), nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                         &size) != ERROR_SUCCESS)
        return {};
    text.resize(size / sizeof(char16_t));
    while (!text.empty() && text.back() == u'\0')
        text.pop_back();
    return text;
}

bool RegistryAccessor::WriteValue(std::u16string_view name, bool integer, std::u16string_view text,
                                  std::int32_t number) {
    if (!m_impl->Key)
        return false;
    const std::u16string n(name);
    const std::u16string t(text);
    const DWORD data = static_cast<DWORD>(number);
    return m_impl->Succeeded(
        integer ? RegSetValueExW(m_impl->Key, Wide(n), 0, REG_DWORD,
                                 reinterpret_cast<const BYTE*>(&data), sizeof data)
                : RegSetValueExW(m_impl->Key, Wide(n), 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(t.c_str()),
                                 static_cast<DWORD>((t.size() + 1) * sizeof(char16_t))));
}

bool RegistryAccessor::WriteString(std::u16string_view name, std::u16string_view text) {
    return WriteValue(name, false, text, 0);
}

bool RegistryAccessor::WriteInteger(std::u16string_view name, std::int32_t value) {
    return WriteValue(name, true, {}, value);
}

bool RegistryAccessor::DeleteKey(std::u16string_view path) {
    const std::u16string p = NormalPath(path);
    if (p.empty() || m_impl->Rights != Access::Full)
        return false;
    return m_impl->Succeeded(RegDeleteTreeW(HKEY_CURRENT_USER, Wide(p)));
}

void RegistryAccessor::CloseKey() {
    if (m_impl->Key) {
        RegCloseKey(m_impl->Key);
        m_impl->Key = nullptr;
    }
}

} // namespace qm::platform
