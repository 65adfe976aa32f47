// The Windows start-up's own system objects: the scheme keys in the registry and the instance
// mutex, checked through the same API a second process or the shell would use.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/instance_lock.h"
#include "app/url_protocol.h"

namespace {

const std::u16string kScheme = u"orbiscampustestscheme";
const std::wstring kSchemeKey = L"Software\\Classes\\orbiscampustestscheme";

struct RegistryString {
    bool found = false;
    DWORD type = 0;
    DWORD bytes = 0;
    std::wstring text;
};

RegistryString ReadString(const std::wstring& subKey, const wchar_t* name) {
    RegistryString value;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return value;
    }
    wchar_t buffer[1024] = {};
    value.bytes = sizeof(buffer);
    value.found = RegQueryValueExW(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(buffer),
                                   &value.bytes) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (value.found) value.text = buffer;
    return value;
}

class SchemeRegistration : public ::testing::Test {
  protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kSchemeKey.c_str()); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kSchemeKey.c_str()); }
};

TEST_F(SchemeRegistration, WritesEveryValueWithItsTerminatorCounted) {
    const std::u16string exe = u"C:\\Program Files\\Orbis Campus\\orbis-campus.exe";
    ASSERT_TRUE(RegisterUrlProtocol(kScheme, u"Zelvan Desktop Player", exe, u"Orbis Campus"));

    const RegistryString description = ReadString(kSchemeKey, nullptr);
    ASSERT_TRUE(description.found);
    EXPECT_EQ(description.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(description.text, L"Zelvan Desktop Player");
    EXPECT_EQ(description.bytes, (description.text.size() + 1) * sizeof(wchar_t));

    const RegistryString protocol = ReadString(kSchemeKey, L"URL Protocol");
    ASSERT_TRUE(protocol.found);
    EXPECT_EQ(protocol.text, L"");
    EXPECT_EQ(protocol.bytes, sizeof(wchar_t));  // the empty string is one NUL

    const RegistryString icon = ReadString(kSchemeKey + L"\\DefaultIcon", nullptr);
    EXPECT_EQ(icon.text, L"C:\\Program Files\\Orbis Campus\\orbis-campus.exe,1");

    // Quoted both ways: the shell hands a path with spaces and the link over as whole arguments.
    const RegistryString command = ReadString(kSchemeKey + L"\\shell\\open\\command", nullptr);
    EXPECT_EQ(command.text, L"\"C:\\Program Files\\Orbis Campus\\orbis-campus.exe\" \"%1\"");
    EXPECT_EQ(command.bytes, (command.text.size() + 1) * sizeof(wchar_t));
}

TEST_F(SchemeRegistration, AStartFromAnotherFolderRepointsTheScheme) {
    ASSERT_TRUE(RegisterUrlProtocol(kScheme, u"Zelvan Desktop Player", u"C:\\old\\app.exe", u""));
    ASSERT_TRUE(
        RegisterUrlProtocol(kScheme, u"Zelvan Desktop Player", u"D:\\new place\\app.exe", u""));
    EXPECT_EQ(ReadString(kSchemeKey + L"\\shell\\open\\command", nullptr).text,
              L"\"D:\\new place\\app.exe\" \"%1\"");
    EXPECT_EQ(ReadString(kSchemeKey + L"\\DefaultIcon", nullptr).text, L"D:\\new place\\app.exe,1");
}

TEST(InstanceLock, TheSecondAskForAHeldNameIsRefusedAndAnotherNameIsNot) {
    const std::u16string name = u"Local\\OrbisCampusTest.InstanceLock.first";
    EXPECT_EQ(AcquireInstanceLock(name), InstanceLockResult::Acquired);
    EXPECT_EQ(AcquireInstanceLock(name), InstanceLockResult::AlreadyRunning);
    EXPECT_EQ(AcquireInstanceLock(u"Local\\OrbisCampusTest.InstanceLock.second"),
              InstanceLockResult::Acquired);
    // Another process sees the first name taken, through the object the lock keeps open.
    HANDLE probe = OpenMutexW(SYNCHRONIZE, FALSE, L"Local\\OrbisCampusTest.InstanceLock.first");
    EXPECT_NE(probe, nullptr);
    if (probe != nullptr) CloseHandle(probe);
}

}  // namespace
