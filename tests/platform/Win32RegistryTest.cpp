#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include "core/Exception.h"
#include "platform/win32/Win32Registry.h"

namespace marlowen {
namespace {

constexpr char kTestKey[] = "Software\\MarlowenTest";

class Win32Registry : public ::testing::Test {
protected:
    void SetUp() override { RemoveTestKeys(); }
    void TearDown() override { RemoveTestKeys(); }

    void RemoveTestKeys() {
        SetKeySecurity(std::string(kTestKey) + "\\Child", L"D:(A;;KA;;;WD)");
        Registry.DeleteKey(TRegistryRoot::CurrentUser, std::string(kTestKey) + "\\Child");
        Registry.DeleteKey(TRegistryRoot::CurrentUser, kTestKey);
    }

    // Replaces the access list of a current-user key by one in SDDL form.
    static bool SetKeySecurity(const std::string& path, const wchar_t* sddl) {
        HKEY key = nullptr;
        const std::wstring widePath(path.begin(), path.end());
        if (RegOpenKeyExW(HKEY_CURRENT_USER, widePath.c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS) return false;
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        bool done = ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr) &&
                    RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
        LocalFree(descriptor);
        RegCloseKey(key);
        return done;
    }

    TWin32Registry Registry;
};

TEST_F(Win32Registry, ValuesRoundTripThroughARealKey) {
    {
        auto key = Registry.OpenKey(TRegistryRoot::CurrentUser, kTestKey, RegistryAccess::ReadWrite, true);
        ASSERT_NE(key, nullptr);
        key->WriteString("", "C:\\Program Files (x86)\\Marlowen\\MarlowenApp.exe");
        key->WriteString("Имя", "Марлоуэн ✓");
        key->WriteInteger("EnableAutoUpdate", 0xFFFFFFFFu);
        key->WriteBoolean("Flag", true);
    }
    auto key = Registry.OpenKey(TRegistryRoot::CurrentUser, kTestKey, RegistryAccess::Read, false);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->ReadString(""), "C:\\Program Files (x86)\\Marlowen\\MarlowenApp.exe");
    EXPECT_EQ(key->ReadString("имя"), "Марлоуэн ✓");  // names match without regard to case
    EXPECT_EQ(key->ReadInteger("ENABLEAUTOUPDATE"), 0xFFFFFFFFu);
    EXPECT_EQ(key->ReadBoolean("Flag"), true);
    EXPECT_FALSE(key->ReadString("Missing").has_value());
    EXPECT_FALSE(key->ReadInteger("Missing").has_value());
    EXPECT_FALSE(key->ValueExists("Missing"));
    EXPECT_THROW(key->ReadInteger("Имя"), Exception);
    EXPECT_THROW(key->ReadString("EnableAutoUpdate"), Exception);
}

TEST_F(Win32Registry, LongStringsAreReadWhole) {
    const std::string text(5000, 'x');
    auto key = Registry.OpenKey(TRegistryRoot::CurrentUser, kTestKey, RegistryAccess::ReadWrite, true);
    ASSERT_NE(key, nullptr);
    key->WriteString("Long", text);
    EXPECT_EQ(key->ReadString("Long"), text);
}

TEST_F(Win32Registry, ReadOnlyKeysRefuseWritesWithTheValueName) {
    Registry.OpenKey(TRegistryRoot::CurrentUser, kTestKey, RegistryAccess::ReadWrite, true);
    auto key = Registry.OpenKey(TRegistryRoot::CurrentUser, kTestKey, RegistryAccess::Read, false);
    ASSERT_NE(key, nullptr);
    try {
        key->WriteString("DisplayName", "Marlowen");
        FAIL() << "a key opened for reading accepted a write";
    } catch (const Exception& error) {
        EXPECT_NE(error.Message().find("DisplayName"), std::string::npos) << error.Message();
    }
    EXPECT_FALSE(key->DeleteValue("DisplayName"));
}

TEST_F(Win32Registry, DeletingValuesAndKeys) {
    auto key = Registry.OpenKey(TRegistryRoot::CurrentUser, std::string(kTestKey) + "\\Child",
                                RegistryAccess::ReadWrite, true);
    ASSERT_NE(key, nullptr);
    key->WriteInteger("Value", 1);
    EXPECT_TRUE(key->DeleteValue("value"));
    EXPECT_FALSE(key->DeleteValue("value"));
    key.reset();

    // A key with a subkey stays; once the subkey is gone, it goes.
    EXPECT_FALSE(Registry.DeleteKey(TRegistryRoot::CurrentUser, kTestKey));
    EXPECT_TRUE(Registry.DeleteKey(TRegistryRoot::CurrentUser, std::string(kTestKey) + "\\Child"));
    EXPECT_TRUE(Registry.DeleteKey(TRegistryRoot::CurrentUser, kTestKey));
    EXPECT_EQ(Registry.OpenKey(TRegistryRoot::CurrentUser, kTestKey, RegistryAccess::Read, false), nullptr);
    EXPECT_FALSE(Registry.DeleteKey(TRegistryRoot::CurrentUser, kTestKey));
    EXPECT_FALSE(Registry.DeleteKey(TRegistryRoot::CurrentUser, ""));
}

TEST_F(Win32Registry, MissingAndRefusedKeysDoNotOpen) {
    EXPECT_EQ(Registry.OpenKey(TRegistryRoot::CurrentUser, kTestKey, RegistryAccess::Read, false), nullptr);
    EXPECT_NE(Registry.OpenKey(TRegistryRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion",
                               RegistryAccess::Read, false),
              nullptr);

    // A key whose access list lets everybody read but nobody write opens for reading only.
    const std::string child = std::string(kTestKey) + "\\Child";
    ASSERT_NE(Registry.OpenKey(TRegistryRoot::CurrentUser, child, RegistryAccess::ReadWrite, true), nullptr);
    ASSERT_TRUE(SetKeySecurity(child, L"D:(A;;KR;;;WD)"));
    EXPECT_EQ(Registry.OpenKey(TRegistryRoot::CurrentUser, child, RegistryAccess::ReadWrite, false), nullptr);
    EXPECT_EQ(Registry.OpenKey(TRegistryRoot::CurrentUser, child, RegistryAccess::ReadWrite, true), nullptr);
    EXPECT_NE(Registry.OpenKey(TRegistryRoot::CurrentUser, child, RegistryAccess::Read, false), nullptr);
}

}  // namespace
}  // namespace marlowen
