// Settings and language files of any bytes: what the INI engine reads, it writes back so that
// it reads the same again, in the same encoding; a file it could not read exactly is never
// written over. After two zero bytes the input may name "section\0key\0value" to write first:
// a text the format can hold reads back as written, one with a line break makes the save fail.

#include "FuzzSupport.h"
#include "settings/IniFile.h"

#include <QStringList>

using namespace qm::fuzzing;

namespace {

// Everything a reader of the file sees: the sections in order, each with its lines.
QStringList View(const TIniFile& ini) {
    QStringList view;
    for (const QString& section : ini.Sections())
        view << u'[' + section + u']' << ini.ReadSectionValues(section);
    return view;
}

bool Trimmed(const QString& text) {
    return text.isEmpty() || (text.front() > u' ' && text.back() > u' ');
}

bool HasLineBreak(const QString& text) {
    return text.contains(u'\n') || text.contains(u'\r');
}

// What a line of the file can hold: texts are read without blanks at their ends, a key ends at
// the first "=", and a line that starts with ";" or "[" is a comment or a header.
bool Storable(const QString& section, const QString& key, const QString& value) {
    return Trimmed(section) && Trimmed(key) && Trimmed(value) && !key.contains(u'=') &&
           !key.startsWith(u';') && !key.startsWith(u'[');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype split = input.indexOf(QByteArray("\0\0", 2));
    const QString path =
        WriteScratchFile(split < 0 ? input : input.first(split), QStringLiteral("settings.ini"));
    TIniFile ini(path);
    QStringList write;
    if (split >= 0)
        write = QString::fromUtf8(input.sliced(split + 2)).split(u'\0');
    const bool writing = write.size() == 3;
    bool breaks = false;
    if (writing) {
        const QString &section = write[0], &key = write[1], &value = write[2];
        breaks = HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value);
        if (!breaks && !Storable(section, key, value))
            return 0;
        ini.WriteString(section, key, value);
        if (!breaks && !value.isEmpty())
            Require(ini.ReadString(section, key, QString()) == value, "a written value is read",
                    value);
    }
    const QStringList held = View(ini);
    const bool saved = ini.Save();
    if (breaks || !ini.Writable()) {
        Require(!saved, "a line break or a file not read exactly is never written");
        return 0;
    }
    Require(saved, "a file read exactly can be saved", ini.ErrorString());
    const TIniFile again(path);
    Require(again.Loaded() && again.Writable(), "the saved file reads exactly");
    Require(View(again) == held, "the saved file reads as it was held",
            held.join(u'\n') + QStringLiteral("\n---\n") + View(again).join(u'\n'));
    return 0;
}
