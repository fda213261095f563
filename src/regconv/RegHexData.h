#pragma once

// The "hex" data forms of a registry export: "hex:" (binary) and "hex(N):" with N the registry
// type number in hexadecimal, followed by a comma-separated byte list.

#include <QByteArray>
#include <QStringView>
#include <array>
#include <optional>

namespace qm::regconv {

// Registry type numbers that exports write as hex(N).
enum RegistryType : unsigned {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
    kRegDwordBigEndian = 5,
    kRegMultiSz = 7,
    kRegQword = 11,
};

struct THexForm {
    unsigned Type = kRegBinary; // "hex:" is REG_BINARY
    QStringView Prefix;         // "hex:" or "hex(N):" as written
    QStringView Bytes;          // the byte list after the prefix
};

namespace detail {
inline constexpr auto kHexValues = [] {
    std::array<signed char, 128> values{};
    values.fill(-1);
    for (std::size_t i = 0; i < 10; ++i)
        values['0' + i] = static_cast<signed char>(i);
    for (std::size_t i = 0; i < 6; ++i) {
        values['a' + i] = static_cast<signed char>(10 + i);
        values['A' + i] = static_cast<signed char>(10 + i);
    }
    return values;
}();
} // namespace detail

// The value of a hexadecimal digit (either letter case), or -1. Inline: it runs for every
// digit of a large export.
inline int HexDigitValue(char16_t c) {
    return c < 128 ? detail::kHexValues[c] : -1;
}

// Splits "hex:..." / "hex(N):..."; nullopt for anything else ("hexagon", "hex(zz):").
std::optional<THexForm> ParseHexForm(QStringView data);

// Reads a byte list such as "01,02,ab" (blanks around bytes are allowed, as joined
// continuation lines leave them, and so is a comma at the end). Returns false and the offending
// item in `badItem` when an item is not one or two hexadecimal digits (an empty one included).
bool ParseByteList(QStringView list, QByteArray& bytes, QStringView& badItem);

} // namespace qm::regconv
