// The registry operations the program calls, with the results its callers rely on, on the
// current user's registry (under wine: the prefix's real HKEY_CURRENT_USER; elsewhere the
// file-backed stand-in), and the context-menu verbs' keys under Software\Classes.
#include "BackendTest.h"
#include "platform/Registry.h"

using qm::platform::RegistryAccessor;
using qm::platform::RegistryError;
using Access = RegistryAccessor::Access;

namespace qm::backendtest {

namespace {

std::u16string TestKey() {
    const std::string name = UniqueName("Software\\QuillmarkTest");
    return {name.begin(), name.end()};
}

bool ReadsInteger(RegistryAccessor& registry, std::u16string_view name) {
    try {
        registry.ReadInteger(name);
        return true;
    } catch (const RegistryError&) {
        return false;
    }
}

} // namespace

TEST_CASE("registry: every operation gives the result its callers rely on") {
    const std::u16string base = TestKey();
    const std::u16string deep = base + u"\\A\\B";
    RegistryAccessor registry(Access::Full);

    SUBCASE("opening never creates; creating makes the missing parents") {
        CHECK_FALSE(registry.OpenKey(deep, false));
        CHECK_FALSE(registry.KeyExists(base));
        REQUIRE(registry.OpenKey(u"\\" + deep, true)); // a leading "\" changes nothing
        registry.CloseKey();
        CHECK(registry.KeyExists(base + u"\\A")); // a key without values or its own data
        CHECK(registry.KeyExists(u"\\\\" + deep));
        CHECK(registry.OpenKey(deep, false));
        CHECK(registry.KeyExists(base + u"\\a\\b")); // key paths ignore case

        RegistryAccessor reader(Access::Read); // read access never creates
        CHECK_FALSE(reader.OpenKey(base + u"\\Other", true));
        CHECK_FALSE(reader.KeyExists(base + u"\\Other"));
    }
    SUBCASE("values of the open key") {
        REQUIRE(registry.OpenKey(deep, true));
        CHECK_FALSE(registry.ValueExists(u"Text"));
        CHECK(registry.ReadString(u"Text").empty());
        CHECK_FALSE(ReadsInteger(registry, u"Number")); // missing

        const std::u16string text = u"Привет {#x} \"q\" C:\\Program Files\\ %1\ttab\nline";
        CHECK(registry.WriteString(u"Text", text));
        CHECK(registry.WriteString(u"", u"default value"));
        CHECK(registry.WriteInteger(u"Number", -5));
        CHECK(registry.WriteInteger(u"Light", 1));
        CHECK(registry.ValueExists(u"TEXT")); // names ignore case
        CHECK(registry.ValueExists(u""));
        CHECK(registry.ReadString(u"Text") == text);
        CHECK(registry.ReadString(u"") == u"default value");
        CHECK(registry.ReadInteger(u"Number") == -5);
        CHECK(registry.ReadInteger(u"light") == 1);
        CHECK_FALSE(ReadsInteger(registry, u"Text")); // not an integer value
        CHECK(registry.ReadString(u"Number").empty());
        CHECK(registry.WriteString(u"Text", u"again")); // overwritten
        registry.CloseKey();

        RegistryAccessor reader(Access::Read);
        REQUIRE(reader.OpenKey(deep, false));
        CHECK(reader.ReadString(u"Text") == u"again");
        CHECK(reader.ReadInteger(u"Number") == -5);
        CHECK_FALSE(reader.OpenKey(base + u"\\Missing", false));
        CHECK_FALSE(ReadsInteger(reader, u"Number")); // no key open after a failed open
        REQUIRE(reader.OpenKey(deep, false));
        CHECK_FALSE(reader.WriteString(u"Text", u"read access cannot write"));
        CHECK(reader.ReadString(u"Text") == u"again");
    }
    SUBCASE("deleting takes the subkeys along") {
        REQUIRE(registry.OpenKey(deep + u"\\C", true));
        CHECK(registry.WriteString(u"v", u"x"));
        REQUIRE(registry.OpenKey(base + u"\\A2", true)); // a sibling whose name starts alike
        registry.CloseKey();
        RegistryAccessor reader(Access::Read); // read access never deletes
        CHECK_FALSE(reader.DeleteKey(base + u"\\A"));
        CHECK(reader.KeyExists(deep + u"\\C"));
        CHECK(registry.DeleteKey(base + u"\\A"));
        CHECK_FALSE(registry.KeyExists(deep));
        CHECK_FALSE(registry.KeyExists(base + u"\\A"));
        CHECK(registry.KeyExists(base + u"\\A2"));
        CHECK(registry.KeyExists(base));
        CHECK_FALSE(registry.DeleteKey(base + u"\\A")); // missing
        CHECK_FALSE(registry.DeleteKey(u""));           // never the whole root
    }
    registry.CloseKey();
    registry.DeleteKey(base);
    CHECK_FALSE(registry.KeyExists(base));
}

TEST_CASE("registry: the context-menu verbs' keys") {
    const std::u16string exe = u"C:\\Program Files\\Quillmark Tools\\Quillmark.exe";
    const std::u16string command = u"\"" + exe + u"\" \"%1\"";
    for (const auto& [verb, caption] :
         {std::pair<std::u16string, std::u16string>{
              u"Software\\Classes\\Directory\\shell\\Quillmark", u"Открыть в Quillmark"},
          {u"Software\\Classes\\regfile\\shell\\Quillmark", u"Конвертировать в  Quillmark"}}) {
        CAPTURE(std::string(verb.begin(), verb.end()));
        RegistryAccessor registry(Access::Full);
        REQUIRE(registry.OpenKey(verb, true));
        CHECK(registry.WriteString(u"", caption));
        CHECK(registry.WriteString(u"Icon", exe));
        registry.CloseKey();
        REQUIRE(registry.OpenKey(verb + u"\\command", true));
        CHECK(registry.WriteString(u"", command));
        registry.CloseKey();

        RegistryAccessor reader(Access::Read);
        CHECK(reader.KeyExists(verb));
        REQUIRE(reader.OpenKey(verb, false));
        CHECK(reader.ReadString(u"") == caption);
        CHECK(reader.ReadString(u"Icon") == exe);
        REQUIRE(reader.OpenKey(verb + u"\\command", false));
        CHECK(reader.ReadString(u"") == command);
        reader.CloseKey();

        CHECK(registry.DeleteKey(verb + u"\\command"));
        CHECK(registry.KeyExists(verb)); // the verb shows as on until its own key goes
        CHECK(registry.DeleteKey(verb));
        CHECK_FALSE(registry.KeyExists(verb));
    }
}

} // namespace qm::backendtest
