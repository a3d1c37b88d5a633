// What only the Win32 registry does; what every backend does is in PlatformContractTest.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

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
