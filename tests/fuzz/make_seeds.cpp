// Writes the small seed inputs of the fuzz targets that no file in the repository provides:
// exports in every encoding, version resources inside PE and ELF files, version texts, script
// names and zip archives. Usage: qm_make_fuzz_seeds FOLDER (one subfolder per target).

#include "PeFileWriter.h"
#include "RegExportWriter.h"
#include "ZipWriter.h"
#include "platform/VersionBlock.h"

#include <QDir>
#include <QFile>
#include <cstring>

using namespace qm::testing;

namespace {

bool Write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// A literal with its zero bytes.
template <std::size_t N> QByteArray Raw(const char (&text)[N]) {
    return QByteArray(text, N - 1);
}

QByteArray Bytes(const std::vector<std::uint8_t>& v) {
    return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

QString Export() {
    ExportKey key;
    key.Path = QStringLiteral("HKEY_CURRENT_USER\\Software\\Fuzz {#x} \"q\"");
    const ExportKind kinds[] = {ExportKind::String,    ExportKind::ExpandSz, ExportKind::MultiSz,
                                ExportKind::DWord,     ExportKind::QWord,    ExportKind::Binary,
                                ExportKind::HexString, ExportKind::Delete};
    for (const ExportKind kind : kinds) {
        ExportValue v;
        v.Name = QStringLiteral("v%1").arg(key.Values.size());
        v.Kind = kind;
        v.Text = QStringLiteral("C:\\Путь\\{app}\\\"x\"");
        v.Strings = QStringList{QStringLiteral("one"), QStringLiteral("двa")};
        v.Number = 0x0123456789abcdefULL;
        v.Bytes = QByteArray("\x00\x01\xfe\xff", 4);
        key.Values.append(v);
    }
    ExportKey gone;
    gone.Path = QStringLiteral("HKEY_LOCAL_MACHINE\\Gone");
    gone.Deleted = true;
    return ExportText({key, gone}, false);
}

// The smallest ELF64 file whose section table names the version section.
QByteArray ElfWithSection(const QByteArray& block) {
    const QByteArray names =
        QByteArray(1, '\0') + QByteArray(".qm_versioninfo") + '\0' + QByteArray(".shstrtab") + '\0';
    QByteArray file(64, '\0');
    const qsizetype blockAt = file.size();
    file += block;
    const qsizetype namesAt = file.size();
    file += names;
    while (file.size() % 8)
        file += '\0';
    const qsizetype table = file.size();
    file += QByteArray(3 * 64, '\0');
    const auto put = [&file](qsizetype at, std::uint64_t value, int width) {
        for (int i = 0; i < width; ++i)
            file[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    std::memcpy(file.data(),
                "\x7F"
                "ELF\x02\x01\x01",
                7);
    put(0x10, 1, 2);  // a relocatable file
    put(0x12, 62, 2); // x86-64
    put(0x28, static_cast<std::uint64_t>(table), 8);
    put(0x34, 64, 2);
    put(0x3A, 64, 2);
    put(0x3C, 3, 2);
    put(0x3E, 2, 2);
    const auto section = [&](int index, std::uint32_t name, std::uint32_t type, qsizetype at,
                             qsizetype size) {
        const qsizetype h = table + 64 * index;
        put(h, name, 4);
        put(h + 4, type, 4);
        put(h + 24, static_cast<std::uint64_t>(at), 8);
        put(h + 32, static_cast<std::uint64_t>(size), 8);
    };
    section(1, 1, 1 /* PROGBITS */, blockAt, block.size());
    section(2, 17, 3 /* STRTAB */, namesAt, names.size());
    return file;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    const QString out = QString::fromLocal8Bit(argv[1]) + u'/';
    const QString text = Export();
    bool ok = Write(out + QStringLiteral("regconv/utf16le.reg"), Utf16LeWithBom(text)) &&
              Write(out + QStringLiteral("regconv/utf16be.reg"), Utf16BeWithBom(text)) &&
              Write(out + QStringLiteral("regconv/utf8.reg"), text.toUtf8()) &&
              Write(out + QStringLiteral("regconv/regedit4.reg"),
                    Latin1Bytes(QStringLiteral("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n"
                                               "\"s\"=\"\xE9\"\r\n\"h\"=hex(2):41,00\r\n")));

    qm::platform::VersionBlockSpec spec;
    spec.FileVersion[0] = 1;
    spec.FileVersion[3] = 7;
    spec.Translation = qm::platform::TranslationPair(0x0419, 0x04E3);
    spec.StringTables.push_back({u"041904E3",
                                 {{u"CompanyName", u"Quillmark Team"},
                                  {u"FileVersion", u"1.0.0.7"},
                                  {u"LegalCopyright", u"(C) 2026"}}});
    const std::vector<std::uint8_t> block = qm::platform::BuildVersionBlock(spec);
    ok = ok && Write(out + QStringLiteral("versioninfo/block.bin"), Bytes(block)) &&
         Write(out + QStringLiteral("versioninfo/pe32plus.exe"),
               Bytes(PeFileWithVersionBlock(block, true))) &&
         Write(out + QStringLiteral("versioninfo/pe32.dll"),
               Bytes(PeFileWithVersionBlock(block, false))) &&
         Write(out + QStringLiteral("versioninfo/elf.o"), ElfWithSection(Bytes(block)));

    ok = ok &&
         Write(out + QStringLiteral("update_version/dotted"), Raw("\xEF\xBB\xBF 1.4.0.2\r\n\0"
                                                                  "1.4 beta\0"
                                                                  "1.10")) &&
         Write(out + QStringLiteral("update_version/words"), Raw("2.0 rc1.3\0-1.x"));
    ok = ok && Write(out + QStringLiteral("update_script/names"),
                     QStringLiteral("C:\\Users\\O'Brien %TEMP%\\\x1FQuillmark.exe\x1F"
                                    "Quillmark ’x’ $(id).zip")
                         .toUtf8());
    const QByteArray program =
        StoredZip({{"Quillmark.exe", "MZ", {}}, {"Language/", {}, {}}}, "release");
    const QByteArray zip64 = StoredZip({{"../x", "x", "x"}}, {}, true);
    ok = ok && Write(out + QStringLiteral("update_archive/program.zip"), program) &&
         Write(out + QStringLiteral("update_archive/zip64.zip"), zip64) &&
         Write(out + QStringLiteral("update_archive/names"), "Quillmark.exe\nLanguage\\..\\..\\x");
    return ok ? 0 : 1;
}
