// The registry stand-in: a text file with one record a line (a key, or one value of a key),
// read whole for every operation and replaced whole (a temporary file, flushed to the disk,
// renamed over it) by every change, under an exclusive lock on a lock file beside it, so that
// two processes never lose each other's changes. A store that could not be read completely
// (no permission, a damaged line, a header it does not know) is read as far as it goes but
// never written over: what it holds beyond that is not lost.

#include "platform/Registry.h"

#include "platform/AsciiCase.h"
#include "platform/CodePage.h"
#include "platform/posix/XdgFolders.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace qm::platform {

namespace {

struct Value {
    std::u16string Name;
    bool IsInteger = false;
    std::u16string Text;
    std::int32_t Integer = 0;
};

struct Key {
    std::u16string Path;
    std::vector<Value> Values;
};

bool SameName(std::u16string_view a, std::u16string_view b) {
    return SameIgnoringAsciiCase(a, b);
}

std::u16string NormalPath(std::u16string_view path) {
    while (!path.empty() && path.front() == u'\\')
        path.remove_prefix(1);
    while (!path.empty() && path.back() == u'\\')
        path.remove_suffix(1);
    return std::u16string(path);
}

bool IsBelow(std::u16string_view path, std::u16string_view ancestor) {
    return path.size() > ancestor.size() && path[ancestor.size()] == u'\\' &&
           SameName(path.substr(0, ancestor.size()), ancestor);
}

// Empty when the user has no folder for it.
std::string StorePath() {
    if (const char* file = std::getenv("QUILLMARK_REGISTRY_FILE"); file && *file)
        return file;
    const std::string data = posix::XdgDataHome();
    return data.empty() ? std::string() : data + "/Quillmark/HKEY_CURRENT_USER.txt";
}

void MakeParents(const std::string& file) {
    for (std::size_t at = file.find('/', 1); at != std::string::npos; at = file.find('/', at + 1))
        mkdir(file.substr(0, at).c_str(), 0700);
}

// Fields are separated by tabs; a tab, a line break or a backslash inside a field is escaped.
std::string Escape(std::u16string_view text) {
    std::string out;
    for (const char c : EncodeUtf8(text)) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// The field's text; none when an escape is not one of the four the writer makes, or when its
// bytes are not UTF-8 (a line the writer did not make: read with U+FFFD, it would be lost).
std::optional<std::u16string> Unescape(std::string_view field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            out += field[i];
            continue;
        }
        if (++i == field.size())
            return std::nullopt;
        switch (field[i]) {
        case '\\':
            out += '\\';
            break;
        case 't':
            out += '\t';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            return std::nullopt;
        }
    }
    if (!IsValidUtf8(out))
        return std::nullopt;
    return DecodeUtf8(out);
}

std::optional<std::int32_t> Integer(std::string_view field) {
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc() || end != field.data() + field.size())
        return std::nullopt;
    return value;
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (std::size_t at = line.find('\t'); at != std::string_view::npos;
         at = line.find('\t', start)) {
        fields.push_back(line.substr(start, at - start));
        start = at + 1;
    }
    fields.push_back(line.substr(start));
    return fields;
}

// An exclusive lock on the store's lock file for the life of the object.
class StoreLock {
public:
    explicit StoreLock(const std::string& store) {
        if (store.empty())
            return;
        MakeParents(store);
        m_fd = posix::OpenNoFollow(store + ".lock", O_RDWR | O_CREAT);
        if (m_fd >= 0)
            flock(m_fd, LOCK_EX);
    }
    ~StoreLock() {
        if (m_fd >= 0)
            close(m_fd); // releases the lock
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

private:
    int m_fd = -1;
};

class Store {
public:
    Store() : m_path(StorePath()), m_lock(m_path) { Load(); }

    Key* Find(std::u16string_view path) {
        for (Key& k : m_keys)
            if (SameName(k.Path, path))
                return &k;
        return nullptr;
    }

    // Creates the key and its missing parents.
    Key& Create(const std::u16string& path) {
        for (std::size_t at = path.find(u'\\'); at != std::u16string::npos;
             at = path.find(u'\\', at + 1))
            if (!Find(path.substr(0, at)))
                m_keys.push_back({path.substr(0, at), {}});
        if (Key* k = Find(path))
            return *k;
        m_keys.push_back({path, {}});
        return m_keys.back();
    }

    bool Delete(std::u16string_view path) {
        const auto before = m_keys.size();
        std::erase_if(
            m_keys, [&](const Key& k) { return SameName(k.Path, path) || IsBelow(k.Path, path); });
        return m_keys.size() != before;
    }

    // Why the last Save failed.
    [[nodiscard]] const std::string& Error() const { return m_error; }

    bool Save() {
        if (!m_complete) {
            m_error = m_path.empty()
                          ? "there is no folder for the registry store"
                          : "the registry store \"" + m_path + "\" could not be read completely (" +
                                m_problem + "), so it is not written over";
            return false;
        }
        std::string text = "QMREG1\n";
        for (const Key& k : m_keys) {
            text += "K\t" + Escape(k.Path) + '\n';
            for (const Value& v : k.Values) {
                text += "V\t" + Escape(k.Path) + '\t' + Escape(v.Name) + '\t';
                text += v.IsInteger ? "D\t" + std::to_string(v.Integer) : "S\t" + Escape(v.Text);
                text += '\n';
            }
        }
        // On the disk before it takes the old file's place: a crash leaves one or the other.
        const std::string temp = m_path + ".new";
        const int fd = posix::OpenNoFollow(temp, O_WRONLY | O_CREAT | O_TRUNC);
        bool written = fd >= 0;
        for (std::size_t done = 0; written && done < text.size();) {
            const ssize_t n = write(fd, text.data() + done, text.size() - done);
            written = n > 0;
            done += written ? static_cast<std::size_t>(n) : 0;
        }
        written = written && fsync(fd) == 0;
        if (fd >= 0)
            written = close(fd) == 0 && written;
        if (written && std::rename(temp.c_str(), m_path.c_str()) == 0)
            return true;
        m_error =
            "the registry store \"" + m_path + "\" cannot be written: " + std::strerror(errno);
        unlink(temp.c_str());
        return false;
    }

private:
    void Load() {
        if (m_path.empty())
            return;
        const int fd = posix::OpenNoFollow(m_path, O_RDONLY);
        if (fd < 0) {
            m_complete = errno == ENOENT; // no store yet: an empty one
            m_problem = std::strerror(errno);
            return;
        }
        std::string bytes;
        char buffer[65536];
        ssize_t n = 0;
        while ((n = read(fd, buffer, sizeof buffer)) > 0)
            bytes.append(buffer, static_cast<std::size_t>(n));
        close(fd);
        if (n < 0) {
            m_problem = std::strerror(errno);
            return;
        }
        std::string_view rest(bytes);
        m_complete = rest.starts_with("QMREG1\n");
        m_problem = "it does not begin with the store's header";
        if (!m_complete)
            return;
        rest.remove_prefix(7);
        while (!rest.empty()) {
            const std::size_t end = rest.find('\n');
            const std::string_view line = rest.substr(0, end);
            rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
            if (!LoadLine(line)) {
                m_complete = false;
                m_problem = "a line cannot be read: " + std::string(line.substr(0, 60));
            }
        }
    }

    // Takes one record; false when the line is not one the writer makes. A value whose integer
    // cannot be read is kept as one that is not an integer.
    bool LoadLine(std::string_view line) {
        const std::vector<std::string_view> f = Fields(line);
        if (f.size() == 2 && f[0] == "K") {
            const auto path = Unescape(f[1]);
            if (path)
                Create(*path);
            return path.has_value();
        }
        if (f.size() != 5 || f[0] != "V" || (f[3] != "D" && f[3] != "S"))
            return false;
        const auto path = Unescape(f[1]);
        const auto name = Unescape(f[2]);
        if (!path || !name)
            return false;
        Key& k = Create(*path);
        if (f[3] == "D") {
            const auto number = Integer(f[4]);
            k.Values.push_back({*name, number.has_value(), {}, number.value_or(0)});
            return number.has_value();
        }
        const auto text = Unescape(f[4]);
        k.Values.push_back({*name, false, text.value_or(std::u16string()), 0});
        return text.has_value();
    }

    std::string m_path;
    StoreLock m_lock;
    std::vector<Key> m_keys;
    bool m_complete = false; // every line was read
    std::string m_problem;   // why not
    std::string m_error;
};

Value* FindValue(Key& key, std::u16string_view name) {
    for (Value& v : key.Values)
        if (SameName(v.Name, name))
            return &v;
    return nullptr;
}

} // namespace

struct RegistryAccessor::Impl {
    Access Rights;
    std::u16string OpenPath;
    bool Open = false;
    std::string Error;

    // Saves the store, keeping its reason when it cannot.
    bool Save(Store& store) {
        if (store.Save())
            return true;
        Error = store.Error();
        return false;
    }
};

RegistryAccessor::RegistryAccessor(Access access)
    : m_impl(std::make_unique<Impl>(Impl{access, {}, false, {}})) {}
RegistryAccessor::~RegistryAccessor() = default;

const std::string& RegistryAccessor::ErrorText() const {
    return m_impl->Error;
}

bool RegistryAccessor::OpenKey(std::u16string_view path, bool canCreate) {
    CloseKey();
    const std::u16string p = NormalPath(path);
    Store store;
    if (!store.Find(p)) {
        if (!canCreate || m_impl->Rights != Access::Full || p.empty())
            return false;
        store.Create(p);
        if (!m_impl->Save(store))
            return false;
    }
    m_impl->OpenPath = p;
    m_impl->Open = true;
    return true;
}

bool RegistryAccessor::KeyExists(std::u16string_view path) {
    Store store;
    return store.Find(NormalPath(path)) != nullptr;
}

bool RegistryAccessor::ValueExists(std::u16string_view name) {
    if (!m_impl->Open)
        return false;
    Store store;
    Key* key = store.Find(m_impl->OpenPath);
    return key && FindValue(*key, name);
}

std::int32_t RegistryAccessor::ReadInteger(std::u16string_view name) {
    Store store;
    Key* key = m_impl->Open ? store.Find(m_impl->OpenPath) : nullptr;
    Value* value = key ? FindValue(*key, name) : nullptr;
    if (!value)
        throw RegistryError("the registry value does not exist");
    if (!value->IsInteger)
        throw RegistryError("the registry value is not an integer");
    return value->Integer;
}

std::u16string RegistryAccessor::ReadString(std::u16string_view name) {
    Store store;
    Key* key = m_impl->Open ? store.Find(m_impl->OpenPath) : nullptr;
    Value* value = key ? FindValue(*key, name) : nullptr;
    return value && !value->IsInteger ? value->Text : std::u16string();
}

bool RegistryAccessor::WriteValue(std::u16string_view name, bool integer, std::u16string_view text,
                                  std::int32_t number) {
    if (!m_impl->Open || m_impl->Rights != Access::Full)
        return false;
    Store store;
    Key* key = store.Find(m_impl->OpenPath);
    if (!key)
        return false; // deleted by another accessor since it was opened
    Value value{std::u16string(name), integer, std::u16string(text), number};
    if (Value* existing = FindValue(*key, name))
        *existing = std::move(value);
    else
        key->Values.push_back(std::move(value));
    return m_impl->Save(store);
}

bool RegistryAccessor::WriteString(std::u16string_view name, std::u16string_view text) {
    return WriteValue(name, false, text, 0);
}

bool RegistryAccessor::WriteInteger(std::u16string_view name, std::int32_t value) {
    return WriteValue(name, true, {}, value);
}

bool RegistryAccessor::DeleteKey(std::u16string_view path) {
    if (m_impl->Rights != Access::Full)
        return false;
    const std::u16string p = NormalPath(path);
    if (p.empty())
        return false;
    Store store;
    return store.Delete(p) && m_impl->Save(store);
}

void RegistryAccessor::CloseKey() {
    m_impl->Open = false;
    m_impl->OpenPath.clear();
}

} // namespace qm::platform
