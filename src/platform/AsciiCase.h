#pragma once

// Names that compare ignoring the case of the letters A to Z only, as the registry's key and
// value names, and the names the language files' keys are made of: "Ä" and "ä" stay apart.

#include <string_view>

namespace qm::platform {

constexpr char16_t AsciiLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

constexpr bool SameIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    return true;
}

} // namespace qm::platform
