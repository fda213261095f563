#include "ZipWriter.h"

#include <algorithm>

namespace qm::testing {

namespace {

void Append(QByteArray& out, quint64 value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>(value >> (8 * i) & 0xFF);
}

quint32 Crc32(const QByteArray& data) {
    quint32 crc = 0xFFFFFFFF;
    for (const char c : data) {
        crc ^= static_cast<uchar>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320 & (0U - (crc & 1)));
    }
    return ~crc;
}

} // namespace

QByteArray StoredZip(const QList<TZipEntry>& entries, const QByteArray& comment, bool zip64) {
    QByteArray local;
    QByteArray directory;
    for (const TZipEntry& entry : entries) {
        const bool ascii = std::all_of(entry.Name.begin(), entry.Name.end(),
                                       [](char c) { return static_cast<uchar>(c) < 0x80; });
        QByteArray extra;
        if (!entry.UnicodePath.isEmpty()) {
            Append(extra, 0x7075, 2);
            Append(extra, 5 + entry.UnicodePath.size(), 2);
            Append(extra, 1, 1);
            Append(extra, Crc32(entry.Name), 4);
            extra += entry.UnicodePath;
        }
        // What the local header and the directory entry share, from "version needed" on.
        QByteArray common;
        Append(common, 10, 2);                  // version needed
        Append(common, ascii ? 0 : 1 << 11, 2); // flags
        Append(common, 0, 2);                   // stored
        Append(common, 0, 4);                   // time and date
        Append(common, Crc32(entry.Data), 4);
        Append(common, entry.Data.size(), 4);
        Append(common, entry.Data.size(), 4);
        Append(common, entry.Name.size(), 2);
        Append(common, extra.size(), 2);

        Append(directory, 0x02014b50, 4);
        Append(directory, 20, 2); // made by
        directory += common;
        Append(directory, 0, 2); // comment
        Append(directory, 0, 2); // disk
        Append(directory, 0, 2); // internal attributes
        Append(directory, 0, 4); // external attributes
        Append(directory, local.size(), 4);
        directory += entry.Name + extra;

        Append(local, 0x04034b50, 4);
        local += common + entry.Name + extra + entry.Data;
    }
    QByteArray out = local + directory;
    if (zip64) {
        const auto end64At = static_cast<quint32>(out.size());
        Append(out, 0x06064b50, 4);
        Append(out, 44, 4); // the record's size after this field, 8 bytes
        Append(out, 0, 4);
        Append(out, 0x2D001E, 4); // made by, version needed
        Append(out, 0, 8);        // this disk, the directory's disk
        for (const quint32 value : {quint32(entries.size()), quint32(entries.size()),
                                    quint32(directory.size()), quint32(local.size())}) {
            Append(out, value, 4);
            Append(out, 0, 4);
        }
        Append(out, 0x07064b50, 4);
        Append(out, 0, 4);
        Append(out, end64At, 4);
        Append(out, 0, 4);
        Append(out, 1, 4); // disks
    }
    Append(out, 0x06054b50, 4);
    Append(out, 0, 4); // this disk, the directory's disk
    Append(out, zip64 ? 0xFFFF : entries.size(), 2);
    Append(out, zip64 ? 0xFFFF : entries.size(), 2);
    Append(out, zip64 ? 0xFFFFFFFF : directory.size(), 4);
    Append(out, zip64 ? 0xFFFFFFFF : local.size(), 4);
    Append(out, comment.size(), 2);
    return out + comment;
}

} // namespace qm::testing
