#include "update/UpdateArchive.h"

#include <QByteArray>
#include <QFile>
#include <algorithm>
#include <optional>

namespace qm::update {

namespace {

constexpr quint64 kEndSignature = 0x06054b50;
constexpr quint64 kEnd64LocatorSignature = 0x07064b50;
constexpr quint64 kEnd64Signature = 0x06064b50;
constexpr quint64 kEntrySignature = 0x02014b50;
constexpr quint64 kUnicodePathField = 0x7075;
constexpr quint64 kEndSize = 22;
constexpr quint64 kEnd64LocatorSize = 20;
constexpr quint64 kEnd64Size = 56;
constexpr qsizetype kEntrySize = 46;
constexpr quint64 kUtf8NameFlag = 1U << 11;

// The little-endian number of `bytes` bytes at `at`.
quint64 Number(const char* at, int bytes) {
    quint64 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | static_cast<uchar>(at[i]);
    return value;
}

std::optional<QByteArray> ReadAt(QFile& file, quint64 offset, quint64 size) {
    const auto fileSize = static_cast<quint64>(file.size());
    if (offset > fileSize || size > fileSize - offset || !file.seek(static_cast<qint64>(offset)))
        return std::nullopt;
    QByteArray bytes = file.read(static_cast<qint64>(size));
    if (static_cast<quint64>(bytes.size()) != size)
        return std::nullopt;
    return bytes;
}

struct TDirectory {
    quint64 Offset = 0;
    quint64 Size = 0;
    quint64 Count = 0;
};

// The central directory as the end record says, the zip64 one where the short fields overflow.
// Extractors take the last end signature in the file: when its comment does not run exactly to
// the end (a comment holding a signature), the archive is not read at all, so that what is
// checked here is what they unpack.
std::optional<TDirectory> FindDirectory(QFile& file) {
    const auto fileSize = static_cast<quint64>(file.size());
    const quint64 tailSize = std::min<quint64>(fileSize, kEndSize + 0xFFFF);
    const quint64 tailAt = fileSize - tailSize;
    const auto tail = ReadAt(file, tailAt, tailSize);
    if (!tail || tailSize < kEndSize)
        return std::nullopt;
    for (quint64 p = tailSize - kEndSize + 1; p-- > 0;) {
        const char* end = tail->constData() + p;
        if (Number(end, 4) != kEndSignature)
            continue;
        if (Number(end + 20, 2) != tailSize - p - kEndSize)
            return std::nullopt;
        if (Number(end + 4, 2) != 0 || Number(end + 6, 2) != 0)
            return std::nullopt; // spans disks
        TDirectory directory{Number(end + 16, 4), Number(end + 12, 4), Number(end + 10, 2)};
        if (directory.Count != 0xFFFF && directory.Size != 0xFFFFFFFF &&
            directory.Offset != 0xFFFFFFFF)
            return directory;
        if (tailAt + p < kEnd64LocatorSize)
            return std::nullopt;
        const auto locator = ReadAt(file, tailAt + p - kEnd64LocatorSize, kEnd64LocatorSize);
        if (!locator || Number(locator->constData(), 4) != kEnd64LocatorSignature)
            return std::nullopt;
        const auto end64 = ReadAt(file, Number(locator->constData() + 8, 8), kEnd64Size);
        if (!end64 || Number(end64->constData(), 4) != kEnd64Signature)
            return std::nullopt;
        const char* record = end64->constData();
        return TDirectory{Number(record + 48, 8), Number(record + 40, 8), Number(record + 32, 8)};
    }
    return std::nullopt;
}

// Info-ZIP's Unicode path in an entry's extra field (version 1, the name's CRC, the UTF-8
// name); false when the field is malformed.
bool UnicodePathsStayInside(QByteArrayView extra) {
    while (extra.size() >= 4) {
        const quint64 id = Number(extra.data(), 2);
        const auto size = static_cast<qsizetype>(Number(extra.data() + 2, 2));
        if (size > extra.size() - 4)
            return false;
        const QByteArrayView field = extra.sliced(4, size);
        if (id == kUnicodePathField && field.size() >= 5 && field[0] == 1 &&
            LeavesFolder(QString::fromUtf8(field.sliced(5))))
            return false;
        extra = extra.sliced(4 + size);
    }
    return true;
}

bool DotsOnly(QStringView part) {
    return part.count(u'.') >= 2 &&
           std::all_of(part.begin(), part.end(), [](QChar c) { return c == u'.' || c == u' '; });
}

} // namespace

bool LeavesFolder(QStringView name) {
    if (name.isEmpty() || name.front() == u'/' || name.front() == u'\\' ||
        (name.size() >= 2 && name[1] == u':'))
        return true;
    qsizetype begin = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i < name.size() && name[i] != u'/' && name[i] != u'\\')
            continue;
        if (DotsOnly(name.sliced(begin, i - begin)))
            return true;
        begin = i + 1;
    }
    return false;
}

bool SafeToUnpack(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const auto directory = FindDirectory(file);
    if (!directory || directory->Count > directory->Size / static_cast<quint64>(kEntrySize))
        return false;
    const auto entries = ReadAt(file, directory->Offset, directory->Size);
    if (!entries)
        return false;
    QByteArrayView rest(*entries);
    for (quint64 n = 0; n < directory->Count; ++n) {
        if (rest.size() < kEntrySize || Number(rest.data(), 4) != kEntrySignature)
            return false;
        const auto nameSize = static_cast<qsizetype>(Number(rest.data() + 28, 2));
        const auto extraSize = static_cast<qsizetype>(Number(rest.data() + 30, 2));
        const auto commentSize = static_cast<qsizetype>(Number(rest.data() + 32, 2));
        const qsizetype entrySize = kEntrySize + nameSize + extraSize + commentSize;
        if (entrySize > rest.size())
            return false;
        // Names without the UTF-8 mark are in a DOS code page: only their ASCII matters here.
        const QByteArrayView name = rest.sliced(kEntrySize, nameSize);
        const bool utf8 = (Number(rest.data() + 8, 2) & kUtf8NameFlag) != 0;
        if (LeavesFolder(utf8 ? QString::fromUtf8(name) : QString::fromLatin1(name)) ||
            !UnicodePathsStayInside(rest.sliced(kEntrySize + nameSize, extraSize)))
            return false;
        rest = rest.sliced(entrySize);
    }
    return true;
}

} // namespace qm::update
