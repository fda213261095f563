// The registry stand-in: a text file with one record a line (a key, or one value of a key),
// read whole for every operation and replaced whole (a temporary file renamed over it) by every
// change, under an exclusive lock on a lock file beside it, so that two processes never lose
// each other's changes.

#include "platform/Registry.h"

#include "platform/CodePage.h"
#include "platform/posix/XdgFolders.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
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

char16_t Lower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? c - u'A' + u'a' : c;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char16_t y) { return Lower(x) == Lower(y); });
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

std::string StorePath() {
    if (const char* file = std::getenv("QUILLMARK_REGISTRY_FILE"); file && *file)
        return file;
    const std::string data = posix::XdgDataHome();
    return (data.empty() ? std::string("/tmp") : data) + "/Quillmark/HKEY_CURRENT_USER.txt";
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

std::u16string Unescape(std::string_view field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            out += field[i];
            continue;
        }
        const char n = field[++i];
        out += n == 't' ? '\t' : n == 'n' ? '\n' : n == 'r' ? '\r' : n;
    }
    return DecodeUtf8(out);
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
        MakeParents(store);
        m_fd = open((store + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
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

    bool Save() {
        std::ostringstream text;
        text << "QMREG1\n";
        for (const Key& k : m_keys) {
            text << "K\t" << Escape(k.Path) << '\n';
            for (const Value& v : k.Values) {
                text << "V\t" << Escape(k.Path) << '\t' << Escape(v.Name) << '\t';
                if (v.IsInteger)
                    text << "D\t" << v.Integer << '\n';
                else
                    text << "S\t" << Escape(v.Text) << '\n';
            }
        }
        const std::string temp = m_path + ".new";
        {
            std::ofstream out(temp, std::ios::binary | std::ios::trunc);
            out << text.str();
            out.flush();
            if (!out)
                return false;
        }
        return std::rename(temp.c_str(), m_path.c_str()) == 0;
    }

private:
    void Load() {
        std::ifstream in(m_path, std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            const std::vector<std::string_view> f = Fields(line);
            if (f.size() == 2 && f[0] == "K") {
                Create(Unescape(f[1]));
            } else if (f.size() == 5 && f[0] == "V") {
                Key& k = Create(Unescape(f[1]));
                Value v{Unescape(f[2]), f[3] == "D", {}, 0};
                if (v.IsInteger)
                    v.Integer = static_cast<std::int32_t>(
                        std::strtol(std::string(f[4]).c_str(), nullptr, 10));
                else
                    v.Text = Unescape(f[4]);
                k.Values.push_back(std::move(v));
            }
        }
    }

    std::string m_path;
    StoreLock m_lock;
    std::vector<Key> m_keys;
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
};

RegistryAccessor::RegistryAccessor(Access access)
    : m_impl(std::make_unique<Impl>(Impl{access, {}, false})) {}
RegistryAccessor::~RegistryAccessor() = default;

bool RegistryAccessor::OpenKey(std::u16string_view path, bool canCreate) {
    CloseKey();
    const std::u16string p = NormalPath(path);
    Store store;
    if (!store.Find(p)) {
        if (!canCreate || m_impl->Rights != Access::Full || p.empty())
            return false;
        store.Create(p);
        if (!store.Save())
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

namespace {

bool Write(bool open, RegistryAccessor::Access rights, const std::u16string& path, Value value) {
    if (!open || rights != RegistryAccessor::Access::Full)
        return false;
    Store store;
    Key* key = store.Find(path);
    if (!key)
        return false; // deleted by another accessor since it was opened
    if (Value* existing = FindValue(*key, value.Name))
        *existing = std::move(value);
    else
        key->Values.push_back(std::move(value));
    return store.Save();
}

} // namespace

bool RegistryAccessor::WriteString(std::u16string_view name, std::u16string_view text) {
    return Write(m_impl->Open, m_impl->Rights, m_impl->OpenPath,
                 {std::u16string(name), false, std::u16string(text), 0});
}

bool RegistryAccessor::WriteInteger(std::u16string_view name, std::int32_t value) {
    return Write(m_impl->Open, m_impl->Rights, m_impl->OpenPath,
                 {std::u16string(name), true, {}, value});
}

bool RegistryAccessor::DeleteKey(std::u16string_view path) {
    if (m_impl->Rights != Access::Full)
        return false;
    const std::u16string p = NormalPath(path);
    if (p.empty())
        return false;
    Store store;
    return store.Delete(p) && store.Save();
}

void RegistryAccessor::CloseKey() {
    m_impl->Open = false;
    m_impl->OpenPath.clear();
}

} // namespace qm::platform
