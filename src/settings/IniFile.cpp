#include "settings/IniFile.h"

#include "platform/TextTrim.h"

#include <QDir>
#include <QFile>

namespace {

QStringView Strip(QStringView s) {
    return qm::platform::TrimControl(qm::platform::Utf16View(s));
}

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

TIniFile::TIniFile(QString fileName) : FFileName(std::move(fileName)) {
    const TTextFileRead read = ReadTextFile(FFileName);
    FEncoding = read.Encoding;
    FLoaded = !read.Unreadable && QFile::exists(FFileName);
    FWritable = !read.Unreadable && read.Exact;
    Parse(read.Text);
    if (!FUnread.isEmpty())
        FWritable = false;
}

void TIniFile::Parse(const QString& text) {
    TSection* current = nullptr;
    bool skipping = true; // lines before the first section, and under a repeated header
    QString unreadHere = QStringLiteral("it holds lines before its first section, which are not "
                                        "read");
    for (QStringView raw : TextLines(text)) {
        const QStringView line = Strip(raw);
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            const QString name = Strip(line.sliced(1, line.size() - 2)).toString();
            skipping = Find(name) != nullptr;
            if (skipping)
                unreadHere = QStringLiteral("its section [%1] appears a second time, and what "
                                            "follows that header is not read")
                                 .arg(name);
            if (!skipping) {
                FSections.append({name, {}});
                current = &FSections.back();
            }
            continue;
        }
        if (skipping || !current) {
            // A line the reading rules leave out would be lost by a rewrite.
            if (FUnread.isEmpty())
                FUnread = unreadHere;
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0) {
            current->Entries.append({line.toString(), QString(), false});
            continue;
        }
        current->Entries.append(
            {Strip(line.first(eq)).toString(), Strip(line.sliced(eq + 1)).toString(), true});
    }
}

const TIniFile::TSection* TIniFile::Find(const QString& section) const {
    for (const TSection& s : FSections)
        if (SameName(s.Name, section))
            return &s;
    return nullptr;
}

TIniFile::TSection* TIniFile::Find(const QString& section) {
    return const_cast<TSection*>(std::as_const(*this).Find(section));
}

const TIniFile::TEntry* TIniFile::FindEntry(const QString& section, const QString& key) const {
    if (const TSection* s = Find(section)) {
        for (const TEntry& e : s->Entries)
            if (SameName(e.Key, key))
                return &e;
    }
    return nullptr;
}

QStringList TIniFile::Sections() const {
    QStringList names;
    for (const TSection& s : FSections)
        names.append(s.Name);
    return names;
}

bool TIniFile::SectionExists(const QString& section) const {
    return Find(section) != nullptr;
}

QStringList TIniFile::ReadSection(const QString& section) const {
    QStringList keys;
    if (const TSection* s = Find(section)) {
        for (const TEntry& e : s->Entries)
            keys.append(e.Key);
    }
    return keys;
}

QStringList TIniFile::ReadSectionValues(const QString& section) const {
    QStringList lines;
    if (const TSection* s = Find(section)) {
        for (const TEntry& e : s->Entries)
            lines.append(e.HasValue ? e.Key + u'=' + e.Value : e.Key);
    }
    return lines;
}

bool TIniFile::ValueExists(const QString& section, const QString& key) const {
    return FindEntry(section, key) != nullptr;
}

QString TIniFile::ReadString(const QString& section, const QString& key,
                             const QString& defaultValue) const {
    const TEntry* e = FindEntry(section, key);
    return e && e->HasValue ? e->Value : defaultValue;
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const {
    bool ok = false;
    const int value = ReadString(section, key, QString()).toInt(&ok, 10);
    return ok ? value : defaultValue;
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    for (const QString* text : {&section, &key, &value}) {
        if (text->contains(u'\r') || text->contains(u'\n')) {
            FRefused = QStringLiteral("\"%1\" holds a line break, which a settings line cannot "
                                      "store")
                           .arg(QString(*text).replace(u'\r', u' ').replace(u'\n', u' '));
            return;
        }
    }
    TSection* s = Find(section);
    if (!s) {
        FSections.append({section, {}});
        s = &FSections.back();
    }
    for (TEntry& e : s->Entries) {
        if (SameName(e.Key, key)) {
            e.Value = value;
            e.HasValue = true;
            return;
        }
    }
    s->Entries.append({key, value, true});
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString& section, const QString& key, bool value) {
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::EraseSection(const QString& section) {
    FSections.removeIf([&](const TSection& s) { return SameName(s.Name, section); });
}

void TIniFile::DeleteFirstKey(const QString& section, const QString& key) {
    if (TSection* s = Find(section)) {
        for (qsizetype i = 0; i < s->Entries.size(); ++i) {
            if (SameName(s->Entries[i].Key, key)) {
                s->Entries.removeAt(i);
                return;
            }
        }
    }
}

bool TIniFile::Save() {
    if (!FRefused.isEmpty()) {
        FError = FRefused;
        return false;
    }
    if (!FUnread.isEmpty()) {
        FError = FUnread + QStringLiteral(", so it is not written over");
        return false;
    }
    if (!FWritable) {
        FError = QStringLiteral("it could not be read as it is, so it is not written over");
        return false;
    }
    QString text;
    for (const TSection& s : FSections) {
        text += u'[' + s.Name + QStringLiteral("]\r\n");
        for (const TEntry& e : s.Entries)
            text += e.HasValue ? e.Key + u'=' + e.Value + QStringLiteral("\r\n")
                               : e.Key + QStringLiteral("\r\n");
        text += QStringLiteral("\r\n");
    }
    FError = WriteTextFile(FFileName, text, FEncoding);
    return FError.isEmpty();
}

QString SettingsNotSavedMessage(const QString& file, const QString& reason) {
    return QStringLiteral("The settings could not be saved to \"%1\": %2")
        .arg(QDir::toNativeSeparators(file), reason);
}
