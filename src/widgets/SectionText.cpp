#include "widgets/SectionText.h"

#include "innotext/TextScan.h"

#include <algorithm>
#include <cstring>

void TSectionText::Clear() {
    FBlocks.clear();
    FLines.clear();
    FLines.shrink_to_fit();
    FStarts.clear();
    FStarts.shrink_to_fit();
    FLongest = 0;
    FUtf16Size = 0;
}

// Room for `bytes` more at the end of the last block, or a new block.
char* TSectionText::Reserve(qsizetype bytes) {
    if (FBlocks.empty() || FBlocks.back().Capacity - FBlocks.back().Size < bytes) {
        TBlock block;
        block.Capacity = std::max(kBlockSize, bytes);
        // Not zeroed: the system gives memory a page at a time as it is written.
        block.Bytes.reset(new char[static_cast<size_t>(block.Capacity)]);
        FBlocks.push_back(std::move(block));
    }
    TBlock& last = FBlocks.back();
    return last.Bytes.get() + last.Size;
}

void TSectionText::Append(QStringView line) {
    const qsizetype size = line.size();
    char* out = Reserve(size);
    // Most generated lines are ASCII: copied as they are, the rest through the UTF-8 codec.
    // One loop without an early exit, which the compiler runs many characters at a time.
    const char16_t* in = line.utf16();
    char16_t all = 0;
    for (qsizetype i = 0; i < size; ++i) {
        all |= in[i];
        out[i] = static_cast<char>(in[i]);
    }
    std::uint32_t flags = kAscii;
    qsizetype written = size;
    if (all >= 0x80) {
        const QByteArray utf8 = line.toUtf8();
        out = Reserve(utf8.size());
        std::memcpy(out, utf8.constData(), static_cast<size_t>(utf8.size()));
        written = utf8.size();
        flags = 0;
    }
    TBlock& block = FBlocks.back();
    if (FLines.size() % kStartStride == 0)
        FStarts.push_back(FUtf16Size + LineCount());
    FLines.push_back({static_cast<std::uint32_t>(FBlocks.size() - 1),
                      static_cast<std::uint32_t>(block.Size) | flags});
    block.Size += written;
    FLongest = std::max(FLongest, size);
    FUtf16Size += size;
}

void TSectionText::AppendText(QStringView lines) {
    const char16_t* at = lines.utf16();
    const char16_t* const end = at + lines.size();
    while (at < end) {
        const char16_t* cr = qm::innotext::FindEither(at, end, u'\r', u'\r'); // no line holds a CR
        Append(QStringView(at, cr - at));
        at = cr + 2;
    }
}

void TSectionText::Append(const QStringList& lines) {
    // No reserve for the batch: reserving exactly what each batch needs would copy the whole
    // line index at every batch, where growing by doubling copies it a few times in all.
    for (const QString& line : lines)
        Append(QStringView(line));
}

QByteArrayView TSectionText::Bytes(qsizetype index) const {
    const TLine& line = FLines[static_cast<size_t>(index)];
    const TBlock& block = FBlocks[line.Block];
    const qsizetype start = line.Offset & ~kAscii;
    // A line ends where the next begins, or at the end of its block's text.
    const bool nextHere =
        index + 1 < LineCount() && FLines[static_cast<size_t>(index + 1)].Block == line.Block;
    const qsizetype end =
        nextHere ? qsizetype(FLines[static_cast<size_t>(index + 1)].Offset & ~kAscii) : block.Size;
    return QByteArrayView(block.Bytes.get() + start, end - start);
}

qsizetype TSectionText::Utf8Size() const {
    qsizetype size = 0;
    for (const TBlock& block : FBlocks)
        size += block.Size;
    return size;
}

QString TSectionText::Line(qsizetype index) const {
    const QByteArrayView bytes = Bytes(index);
    return IsAscii(index) ? QString::fromLatin1(bytes) : QString::fromUtf8(bytes);
}

qsizetype TSectionText::LineLength(qsizetype index) const {
    const QByteArrayView bytes = Bytes(index);
    if (IsAscii(index))
        return bytes.size();
    // Counted in the UTF-8 itself: a unit for each sequence, two for one of four bytes.
    qsizetype units = 0;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        units += (byte & 0xC0) != 0x80;
        units += byte >= 0xF0;
    }
    return units;
}

qsizetype TSectionText::JoinedSize() const {
    return FLines.empty() ? 0 : FUtf16Size + LineCount() - 1;
}

qsizetype TSectionText::OffsetOf(TTextPos pos) const {
    if (FLines.empty())
        return 0;
    pos.Line = std::clamp<qsizetype>(pos.Line, 0, LineCount() - 1);
    qsizetype offset = FStarts[static_cast<size_t>(pos.Line / kStartStride)];
    for (qsizetype i = pos.Line / kStartStride * kStartStride; i < pos.Line; ++i)
        offset += LineLength(i) + 1;
    return offset + std::clamp<qsizetype>(pos.Column, 0, LineLength(pos.Line));
}

TTextPos TSectionText::PosOf(qsizetype offset) const {
    if (FLines.empty())
        return {};
    offset = std::clamp<qsizetype>(offset, 0, JoinedSize());
    const auto stride = std::upper_bound(FStarts.begin(), FStarts.end(), offset) - 1;
    TTextPos pos{(stride - FStarts.begin()) * kStartStride, offset - *stride};
    for (qsizetype length = LineLength(pos.Line); pos.Column > length && pos.Line + 1 < LineCount();
         length = LineLength(++pos.Line))
        pos.Column -= length + 1;
    return pos;
}

QString TSectionText::Joined(qsizetype from, qsizetype to) const {
    from = std::clamp<qsizetype>(from, 0, JoinedSize());
    to = std::clamp<qsizetype>(to, from, JoinedSize());
    return Text(PosOf(from), PosOf(to), u"\n", to - from);
}

QString TSectionText::Text(TTextPos from, TTextPos to, QStringView separator,
                           qsizetype size) const {
    if (to < from)
        std::swap(from, to);
    QString text;
    // Made at its size when that is known: all of a large section is one allocation, returned
    // whole when it is freed.
    if (size > 0)
        text.reserve(size);
    for (qsizetype i = from.Line; i <= to.Line && i < LineCount(); ++i) {
        const QString line = Line(i);
        const qsizetype start = i == from.Line ? std::min(from.Column, line.size()) : 0;
        const qsizetype end = i == to.Line ? std::min(to.Column, line.size()) : line.size();
        if (i > from.Line)
            text += separator;
        text += QStringView(line).sliced(start, std::max<qsizetype>(0, end - start));
    }
    return text;
}

QString TSectionText::All(QStringView separator) const {
    QString text;
    if (FLines.empty())
        return text;
    text.reserve(FUtf16Size + separator.size() * (LineCount() - 1));
    for (qsizetype i = 0; i < LineCount(); ++i) {
        if (i > 0)
            text += separator;
        const QByteArrayView bytes = Bytes(i);
        if (IsAscii(i))
            text += QLatin1StringView(bytes);
        else
            text += QString::fromUtf8(bytes);
    }
    return text;
}
