#pragma once

// How text is trimmed wherever the program reads lines (exports, INI files, version text) or
// copies them: characters of code 32 or less go (control characters and the space), Unicode's
// other white space stays, as the registry editor and Windows' INI functions treat it.

#include <cstddef>
#include <string_view>

namespace qm::platform {

constexpr std::u16string_view TrimEndControl(std::u16string_view s) {
    std::size_t end = s.size();
    while (end > 0 && s[end - 1] <= 32)
        --end;
    return s.substr(0, end);
}

constexpr std::u16string_view TrimControl(std::u16string_view s) {
    std::size_t begin = 0;
    while (begin < s.size() && s[begin] <= 32)
        ++begin;
    return TrimEndControl(s.substr(begin));
}

// A view of Qt's strings and views (anything with utf16() and size()) for the functions above,
// without including Qt here; their result converts back to a QStringView.
template <typename Text>
requires requires(const Text& t) {
    t.utf16();
    t.size();
}
constexpr std::u16string_view Utf16View(const Text& text) {
    return std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                               static_cast<std::size_t>(text.size()));
}

} // namespace qm::platform
