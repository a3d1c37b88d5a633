// What only the headless registry does; what every backend does is in PlatformContractTest.
#include <gtest/gtest.h>

#include "platform/headless/HeadlessRegistry.h"

namespace marlowen {
namespace {

constexpr auto HKLM = TRegistryRoot::LocalMachine;
constexpr auto HKCU = TRegistryRoot::CurrentUser;

TEST(HeadlessRegistry, KeysKeepTheirSpellingAndHandlesShareThem) {
    THeadlessRegistry registry;
    auto key = registry.OpenKey(HKCU, "Software\\Tovan\\MarlowenApp", RegistryAccess::ReadWrite, true);
    ASSERT_NE(key, nullptr);
    key->WriteString("CurrentSkin", "Blue");
    auto again = registry.OpenKey(HKCU, "SOFTWARE\\tovan\\marlowenapp\\", RegistryAccess::Read, false);
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(registry.KeyExists(HKCU, "Software\\Tovan"));  // parents came with it
    EXPECT_FALSE(registry.KeyExists(HKLM, "Software\\Tovan\\MarlowenApp"));
    EXPECT_EQ(registry.Find(HKCU, "software\\tovan\\marlowenapp")->Path, "Software\\Tovan\\MarlowenApp");
    EXPECT_TRUE(key->DeleteValue("CURRENTSKIN"));
    EXPECT_FALSE(again->ValueExists("CurrentSkin"));  // handles share the key
}

TEST(HeadlessRegistry, DeletingKeysAndRefusedRights) {
    THeadlessRegistry registry;
    registry.OpenKey(HKLM, "A\\B C", RegistryAccess::ReadWrite, true);
    registry.OpenKey(HKLM, "A\\B\\C", RegistryAccess::ReadWrite, true);
    EXPECT_FALSE(registry.DeleteKey(HKLM, "A\\B"));  // has a subkey
    EXPECT_TRUE(registry.DeleteKey(HKLM, "A\\B\\C"));
    EXPECT_TRUE(registry.DeleteKey(HKLM, "a\\b"));
    EXPECT_FALSE(registry.DeleteKey(HKLM, "A\\B"));
    EXPECT_TRUE(registry.KeyExists(HKLM, "A\\B C"));

    registry.SetLocalMachineWritable(false);
    EXPECT_EQ(registry.OpenKey(HKLM, "A", RegistryAccess::ReadWrite, false), nullptr);
    EXPECT_EQ(registry.OpenKey(HKLM, "New", RegistryAccess::ReadWrite, true), nullptr);
    EXPECT_NE(registry.OpenKey(HKLM, "A", RegistryAccess::Read, false), nullptr);
    EXPECT_NE(registry.OpenKey(HKCU, "New", RegistryAccess::ReadWrite, true), nullptr);
    EXPECT_FALSE(registry.DeleteKey(HKLM, "A\\B C"));
}

}  // namespace
}  // namespace marlowen
