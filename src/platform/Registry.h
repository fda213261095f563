#pragma once

// The current user's registry (HKEY_CURRENT_USER): the operations the program calls and the
// results it relies on. Windows: the Win32 registry. Elsewhere: a file-backed store of keys and
// typed values with the same results, which survives restarts, is written atomically, and is
// safe when several processes use it. Its file is $QUILLMARK_REGISTRY_FILE, else
// $XDG_DATA_HOME/Quillmark/HKEY_CURRENT_USER.txt (XDG_DATA_HOME defaulting to ~/.local/share,
// else to a folder private to the user). A store that could not be read completely is never
// written over: every change then fails, and ErrorText() says why.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace qm::platform {

// Reading an integer value that is missing or not an integer.
class RegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One accessor works on one key at a time. Paths are relative to HKEY_CURRENT_USER; leading
// backslashes change nothing. Key paths and value names compare ignoring case.
class RegistryAccessor {
public:
    enum class Access { Read, Full };

    explicit RegistryAccessor(Access access);
    ~RegistryAccessor(); // closes the open key
    RegistryAccessor(const RegistryAccessor&) = delete;
    RegistryAccessor& operator=(const RegistryAccessor&) = delete;

    // Opens `path`; with `canCreate` a missing key and its missing parents are created (full
    // access only). False when it does not exist or cannot be opened.
    bool OpenKey(std::u16string_view path, bool canCreate);
    // Whether the key itself exists (not its values or subkeys).
    bool KeyExists(std::u16string_view path);
    // On the open key.
    bool ValueExists(std::u16string_view name);
    // Throws RegistryError when the value is missing or is not an integer value.
    std::int32_t ReadInteger(std::u16string_view name);
    // The empty text when the value is missing or not a text.
    std::u16string ReadString(std::u16string_view name);
    // The empty name is the key's default value. False when it cannot be written.
    [[nodiscard]] bool WriteString(std::u16string_view name, std::u16string_view text);
    [[nodiscard]] bool WriteInteger(std::u16string_view name, std::int32_t value);
    // Deletes the key with all its subkeys. False when it does not exist or is refused.
    bool DeleteKey(std::u16string_view path);
    void CloseKey();
    // Why the last change that failed was refused (empty when none failed).
    [[nodiscard]] const std::string& ErrorText() const;

private:
    [[nodiscard]] bool WriteValue(std::u16string_view name, bool integer, std::u16string_view text,
                                  std::int32_t number);

    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qm::platform
