#include <gtest/gtest.h>

#include "core/Exception.h"
#include "platform/headless/HeadlessRegistry.h"

namespace marlowen {
namespace {

constexpr auto HKLM = TRegistryRoot::LocalMachine;
constexpr auto HKCU = TRegistryRoot::CurrentUser;

TEST(HeadlessRegistry, KeysAndValuesMatchWithoutRegardToCase) {
    THeadlessRegistry registry;
    EXPECT_EQ(registry.OpenKey(HKCU, "Software\\Tovan\\MarlowenApp", RegistryAccess::Read, false), nullptr);
    auto key = registry.OpenKey(HKCU, "Software\\Tovan\\MarlowenApp", RegistryAccess::ReadWrite, true);
    ASSERT_NE(key, nullptr);
    key->WriteString("CurrentSkin", "Blue");
    key->WriteBoolean("EnableAutoUpdate", false);
    key->WriteString("", "default value");

    auto again = registry.OpenKey(HKCU, "SOFTWARE\\tovan\\marlowenapp\\", RegistryAccess::Read, false);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->ReadString("currentskin"), "Blue");
    EXPECT_EQ(again->ReadBoolean("EnableAutoUpdate"), false);
    EXPECT_EQ(again->ReadString(""), "default value");
    EXPECT_EQ(again->ReadString("Missing"), std::nullopt);
    EXPECT_THROW(again->ReadInteger("CurrentSkin"), Exception);
    EXPECT_THROW(again->WriteString("x", "read-only handle"), Exception);
    EXPECT_TRUE(registry.KeyExists(HKCU, "Software\\Tovan"));  // parents came with it
    EXPECT_FALSE(registry.KeyExists(HKLM, "Software\\Tovan\\MarlowenApp"));
    EXPECT_EQ(registry.Find(HKCU, "software\\tovan\\marlowenapp")->Path, "Software\\Tovan\\MarlowenApp");

    EXPECT_TRUE(key->DeleteValue("CURRENTSKIN"));
    EXPECT_FALSE(key->DeleteValue("CurrentSkin"));
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
