#include "platform/VersionBlock.h"

#include <cstring>

namespace qm::platform {

namespace {

// Little-endian reads that fail, instead of reading past the end, when the bytes are short.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes, bool bigEndian = false)
        : m_bytes(bytes), m_bigEndian(bigEndian) {}

    [[nodiscard]] std::size_t Size() const { return m_bytes.size(); }
    [[nodiscard]] bool Fits(std::uint64_t offset, std::uint64_t count) const {
        return offset <= m_bytes.size() && count <= m_bytes.size() - offset;
    }
    bool Read(std::uint64_t offset, unsigned width, std::uint64_t& out) const {
        if (!Fits(offset, width))
            return false;
        out = 0;
        for (unsigned i = 0; i < width; ++i) {
            const unsigned shift = m_bigEndian ? 8 * (width - 1 - i) : 8 * i;
            out |= static_cast<std::uint64_t>(m_bytes[offset + i]) << shift;
        }
        return true;
    }
    std::uint32_t U16(std::uint64_t offset, bool& ok) const { return Get(offset, 2, ok); }
    std::uint32_t U32(std::uint64_t offset, bool& ok) const { return Get(offset, 4, ok); }
    std::uint64_t U64(std::uint64_t offset, bool& ok) const {
        std::uint64_t v = 0;
        ok = ok && Read(offset, 8, v);
        return v;
    }
    [[nodiscard]] std::span<const std::uint8_t> Slice(std::uint64_t offset,
                                                      std::uint64_t count) const {
        return Fits(offset, count) ? m_bytes.subspan(offset, count)
                                   : std::span<const std::uint8_t>();
    }

private:
    std::uint32_t Get(std::uint64_t offset, unsigned width, bool& ok) const {
        std::uint64_t v = 0;
        ok = ok && Read(offset, width, v);
        return static_cast<std::uint32_t>(v);
    }

    std::span<const std::uint8_t> m_bytes;
    bool m_bigEndian;
};

std::uint64_t AlignTo4(std::uint64_t v) {
    return (v + 3) & ~std::uint64_t{3};
}

char16_t AsciiLower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? c - u'A' + u'a' : c;
}

// One node of the version tree: wLength, wValueLength, wType, a NUL-terminated UTF-16 key,
// padding, the value, padding, then the children up to wLength. Offsets are from the start of
// the block, where alignment is counted from.
struct Node {
    std::uint64_t Start = 0;
    std::uint64_t End = 0; // Start + wLength
    std::uint32_t ValueLength = 0;
    bool IsText = false;
    std::uint64_t KeyStart = 0;
    std::uint64_t KeyChars = 0;
    std::uint64_t ValueStart = 0;
    std::uint64_t ChildrenStart = 0;
};

bool ReadNode(const Reader& r, std::uint64_t start, std::uint64_t limit, Node& node) {
    bool ok = true;
    const std::uint32_t length = r.U16(start, ok);
    node.ValueLength = r.U16(start + 2, ok);
    const std::uint32_t type = r.U16(start + 4, ok);
    if (!ok || length < 6 || start + length > limit)
        return false;
    node.Start = start;
    node.End = start + length;
    node.IsText = type == 1;
    node.KeyStart = start + 6;
    std::uint64_t at = node.KeyStart;
    for (;; at += 2) {
        if (at + 2 > node.End)
            return false;
        if (r.U16(at, ok) == 0)
            break;
    }
    node.KeyChars = (at - node.KeyStart) / 2;
    node.ValueStart = AlignTo4(at + 2);
    const std::uint64_t valueBytes =
        node.IsText ? std::uint64_t{node.ValueLength} * 2 : node.ValueLength;
    if (node.ValueStart > node.End)
        node.ValueStart = node.End;
    node.ChildrenStart = AlignTo4(node.ValueStart + valueBytes);
    if (node.ValueStart + valueBytes > node.End) {
        // A value that claims more than its node holds is cut at the node's end.
        node.ValueLength = static_cast<std::uint32_t>(node.IsText ? (node.End - node.ValueStart) / 2
                                                                  : node.End - node.ValueStart);
        node.ChildrenStart = node.End;
    }
    return true;
}

bool KeyEquals(const Reader& r, const Node& node, std::u16string_view name) {
    if (node.KeyChars != name.size())
        return false;
    bool ok = true;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<char16_t>(r.U16(node.KeyStart + 2 * i, ok));
        if (AsciiLower(c) != AsciiLower(name[i]))
            return false;
    }
    return ok;
}

bool FindChild(const Reader& r, const Node& parent, std::u16string_view name, Node& child) {
    for (std::uint64_t at = parent.ChildrenStart; at + 6 <= parent.End;) {
        if (!ReadNode(r, at, parent.End, child))
            return false;
        if (KeyEquals(r, child, name))
            return true;
        at = AlignTo4(child.End);
    }
    return false;
}

// ---- writing

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void Pad4(std::vector<std::uint8_t>& out) {
    while (out.size() % 4 != 0)
        out.push_back(0);
}

// Appends a node whose children `children` appends, and sets its length.
template <typename Children>
void PutNode(std::vector<std::uint8_t>& out, std::u16string_view key, bool isText,
             std::uint32_t valueLength, std::span<const std::uint8_t> value, Children children) {
    Pad4(out);
    const std::size_t start = out.size();
    Put16(out, 0); // wLength, set below
    Put16(out, valueLength);
    Put16(out, isText ? 1 : 0);
    for (char16_t c : key)
        Put16(out, c);
    Put16(out, 0);
    Pad4(out);
    out.insert(out.end(), value.begin(), value.end());
    children();
    const std::size_t length = out.size() - start;
    out[start] = static_cast<std::uint8_t>(length);
    out[start + 1] = static_cast<std::uint8_t>(length >> 8);
}

} // namespace

bool QueryVersionBlock(std::span<const std::uint8_t> block, std::u16string_view subBlock,
                       const std::uint8_t*& value, std::uint32_t& length) {
    const Reader r(block);
    Node node;
    if (!ReadNode(r, 0, block.size(), node))
        return false;
    while (!subBlock.empty()) {
        while (!subBlock.empty() && subBlock.front() == u'\\')
            subBlock.remove_prefix(1);
        if (subBlock.empty())
            break;
        const std::size_t end = std::min(subBlock.find(u'\\'), subBlock.size());
        Node child;
        if (!FindChild(r, node, subBlock.substr(0, end), child))
            return false;
        node = child;
        subBlock.remove_prefix(end);
    }
    if (node.ValueLength == 0 && !node.IsText)
        return false;
    value = block.data() + node.ValueStart;
    length = node.ValueLength;
    return true;
}

namespace {

// Where a PE file keeps its section table and its resources.
struct PeLayout {
    std::uint64_t Sections = 0; // the section table's file offset
    std::uint32_t SectionCount = 0;
    std::uint32_t ResourceRva = 0;
};

// The DOS and PE headers and the optional header's data directories, checked.
bool ReadPeLayout(const Reader& r, PeLayout& layout) {
    bool ok = true;
    if (r.U16(0, ok) != 0x5A4D) // "MZ"
        return false;
    const std::uint64_t pe = r.U32(0x3C, ok);
    if (!ok || r.U32(pe, ok) != 0x00004550) // "PE\0\0"
        return false;
    layout.SectionCount = r.U16(pe + 6, ok);
    const std::uint32_t optionalSize = r.U16(pe + 20, ok);
    const std::uint64_t optional = pe + 24;
    const std::uint32_t magic = r.U16(optional, ok);
    std::uint64_t directories = 0;
    std::uint32_t directoryCount = 0;
    if (magic == 0x10B) { // PE32
        directoryCount = r.U32(optional + 92, ok);
        directories = optional + 96;
    } else if (magic == 0x20B) { // PE32+
        directoryCount = r.U32(optional + 108, ok);
        directories = optional + 112;
    } else {
        return false;
    }
    if (!ok || directoryCount <= 2 || directories + 24 > optional + optionalSize)
        return false;
    layout.ResourceRva = r.U32(directories + 16, ok); // directory 2: the resources
    layout.Sections = optional + optionalSize;
    return ok && layout.ResourceRva != 0;
}

// The file offset of a virtual address, and how many bytes from there belong to its section;
// 0 when no section holds it.
std::uint64_t FileOffset(const Reader& r, const PeLayout& layout, std::uint64_t rva,
                         std::uint64_t& available) {
    for (std::uint32_t i = 0; i < layout.SectionCount && i < 96; ++i) {
        const std::uint64_t s = layout.Sections + 40ull * i;
        bool good = true;
        const std::uint32_t virtualSize = r.U32(s + 8, good);
        const std::uint32_t virtualAddress = r.U32(s + 12, good);
        const std::uint32_t rawSize = r.U32(s + 16, good);
        const std::uint32_t rawPointer = r.U32(s + 20, good);
        if (!good)
            return 0;
        const std::uint64_t span = std::max(virtualSize, rawSize);
        if (rva >= virtualAddress && rva < std::uint64_t{virtualAddress} + span &&
            rva - virtualAddress < rawSize) {
            available = rawSize - (rva - virtualAddress);
            return rawPointer + (rva - virtualAddress);
        }
    }
    return 0;
}

// The entry with the id `wanted` in the resource directory at `directory`, or 0.
std::uint64_t FindResourceEntry(const Reader& r, std::uint64_t directory, std::uint32_t wanted,
                                bool& ok) {
    const std::uint32_t count = r.U16(directory + 12, ok) + r.U16(directory + 14, ok);
    std::uint64_t entry = directory + 16;
    for (std::uint32_t i = 0; i < count; ++i, entry += 8) {
        const std::uint32_t id = r.U32(entry, ok);
        if (!ok)
            return 0;
        if (id == wanted)
            return entry;
    }
    return 0;
}

// The data entry of the version resource below the resource root at `root`, of which
// `rootAvailable` bytes are in the file; 0 when there is none. Three levels, chosen as the
// Windows version API chooses: the type RT_VERSION (16), the name VS_VERSION_INFO (1), and of
// its languages the neutral one, else US English, else English, else the neutral defaults,
// else the first.
std::uint64_t FindVersionDataEntry(const Reader& r, std::uint64_t root,
                                   std::uint64_t rootAvailable) {
    constexpr std::uint32_t kLanguages[] = {0x0000, 0x0409, 0x0009, 0x0400, 0x0800};
    bool ok = true;
    std::uint64_t directory = root;
    for (int level = 0; level < 3; ++level) {
        const std::uint32_t named = r.U16(directory + 12, ok);
        const std::uint32_t ids = r.U16(directory + 14, ok);
        if (!ok || named + ids == 0)
            return 0;
        std::uint64_t entry = 0;
        if (level < 2) {
            entry = FindResourceEntry(r, directory, level == 0 ? 16 : 1, ok);
        } else {
            for (const std::uint32_t language : kLanguages)
                if ((entry = FindResourceEntry(r, directory, language, ok)) != 0)
                    break;
            if (entry == 0)
                entry = directory + 16;
        }
        if (entry == 0)
            return 0;
        const std::uint32_t target = r.U32(entry + 4, ok);
        const bool isDirectory = (target & 0x80000000u) != 0;
        if (!ok || isDirectory != (level < 2) || (target & 0x7FFFFFFFu) >= rootAvailable)
            return 0;
        directory = root + (target & 0x7FFFFFFFu);
    }
    return directory;
}

} // namespace

std::vector<std::uint8_t> ExtractPeVersionBlock(std::span<const std::uint8_t> file) {
    const Reader r(file);
    PeLayout layout;
    if (!ReadPeLayout(r, layout))
        return {};
    std::uint64_t rootAvailable = 0;
    const std::uint64_t root = FileOffset(r, layout, layout.ResourceRva, rootAvailable);
    if (root == 0)
        return {};
    const std::uint64_t dataEntry = FindVersionDataEntry(r, root, rootAvailable);
    if (dataEntry == 0)
        return {};
    bool ok = true;
    const std::uint32_t dataRva = r.U32(dataEntry, ok);
    const std::uint32_t dataSize = r.U32(dataEntry + 4, ok);
    std::uint64_t available = 0;
    const std::uint64_t data = ok ? FileOffset(r, layout, dataRva, available) : 0;
    if (data == 0 || dataSize > available)
        return {};
    const std::span<const std::uint8_t> bytes = r.Slice(data, dataSize);
    return {bytes.begin(), bytes.end()};
}

std::vector<std::uint8_t> ExtractElfVersionBlock(std::span<const std::uint8_t> file) {
    if (file.size() < 16 || file[0] != 0x7F || file[1] != 'E' || file[2] != 'L' || file[3] != 'F')
        return {};
    const bool is64 = file[4] == 2;
    const Reader r(file, file[5] == 2);
    bool ok = true;
    const std::uint64_t sectionTable = is64 ? r.U64(0x28, ok) : r.U32(0x20, ok);
    const std::uint32_t entrySize = r.U16(is64 ? 0x3A : 0x2E, ok);
    const std::uint32_t count = r.U16(is64 ? 0x3C : 0x30, ok);
    const std::uint32_t namesIndex = r.U16(is64 ? 0x3E : 0x32, ok);
    if (!ok || entrySize < (is64 ? 64u : 40u) || namesIndex >= count)
        return {};
    const auto header = [&](std::uint32_t i, std::uint32_t& nameOffset, std::uint64_t& offset,
                            std::uint64_t& size, std::uint32_t& type) {
        const std::uint64_t at = sectionTable + std::uint64_t{entrySize} * i;
        nameOffset = r.U32(at, ok);
        type = r.U32(at + 4, ok);
        offset = is64 ? r.U64(at + 24, ok) : r.U32(at + 16, ok);
        size = is64 ? r.U64(at + 32, ok) : r.U32(at + 20, ok);
    };
    std::uint32_t nameOffset = 0;
    std::uint32_t type = 0;
    std::uint64_t namesAt = 0;
    std::uint64_t namesSize = 0;
    header(namesIndex, nameOffset, namesAt, namesSize, type);
    if (!ok || !r.Fits(namesAt, namesSize))
        return {};
    const std::span<const std::uint8_t> names = r.Slice(namesAt, namesSize);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint64_t offset = 0;
        std::uint64_t size = 0;
        header(i, nameOffset, offset, size, type);
        if (!ok)
            return {};
        if (type == 8 /* SHT_NOBITS */ || nameOffset >= names.size())
            continue;
        const auto* name = reinterpret_cast<const char*>(names.data() + nameOffset);
        const std::size_t nameLength = strnlen(name, names.size() - nameOffset);
        if (std::string_view(name, nameLength) != kElfVersionSection)
            continue;
        const std::span<const std::uint8_t> bytes = r.Slice(offset, size);
        return {bytes.begin(), bytes.end()};
    }
    return {};
}

std::vector<std::uint8_t> TranslationPair(std::uint16_t language, std::uint16_t codePage) {
    std::vector<std::uint8_t> out;
    Put16(out, language);
    Put16(out, codePage);
    return out;
}

std::vector<std::uint8_t> BuildVersionBlock(const VersionBlockSpec& spec) {
    std::vector<std::uint8_t> fixed;
    if (spec.HasFixedInfo) {
        const auto& f = spec.FileVersion;
        const auto& p = spec.ProductVersion;
        Put32(fixed, 0xFEEF04BD); // signature
        Put32(fixed, 0x00010000); // structure version
        Put32(fixed, (std::uint32_t{f[0]} << 16) | f[1]);
        Put32(fixed, (std::uint32_t{f[2]} << 16) | f[3]);
        Put32(fixed, (std::uint32_t{p[0]} << 16) | p[1]);
        Put32(fixed, (std::uint32_t{p[2]} << 16) | p[3]);
        Put32(fixed, 0x3F);       // flags mask
        Put32(fixed, 0);          // flags
        Put32(fixed, 0x00040004); // VOS_NT_WINDOWS32
        Put32(fixed, 1);          // VFT_APP
        Put32(fixed, 0);          // subtype
        Put32(fixed, 0);          // date
        Put32(fixed, 0);
    }
    std::vector<std::uint8_t> out;
    PutNode(out, u"VS_VERSION_INFO", false, static_cast<std::uint32_t>(fixed.size()), fixed, [&] {
        if (!spec.StringTables.empty()) {
            PutNode(out, u"StringFileInfo", true, 0, {}, [&] {
                for (const auto& table : spec.StringTables) {
                    PutNode(out, table.Key, true, 0, {}, [&] {
                        for (const auto& [name, text] : table.Strings) {
                            std::vector<std::uint8_t> value;
                            for (char16_t c : text)
                                Put16(value, c);
                            Put16(value, 0);
                            PutNode(out, name, true, static_cast<std::uint32_t>(text.size() + 1),
                                    value, [] {});
                        }
                    });
                }
            });
        }
        if (spec.HasVarFileInfo) {
            PutNode(out, u"VarFileInfo", true, 0, {}, [&] {
                PutNode(out, u"Translation", false,
                        static_cast<std::uint32_t>(spec.Translation.size()), spec.Translation,
                        [] {});
            });
        }
    });
    return out;
}

} // namespace qm::platform
