#include <gtest/gtest.h>

#include "SetupFixture.h"
#include "core/Exception.h"
#include "core/Languages.h"
#include "setup/SetupEntry.h"
#include "setup/SetupModule.h"
#include "setup/SystemIntegration.h"

namespace marlowen::testing {
namespace {

constexpr const char* kAdministrator = "You must be logged in as an administrator when installing this program.";

// The packs beside C:\Setup\Setup.exe and a wizard that only counts its runs.
class Entry : public TSetupFixture {
protected:
    void SetUp() override {
        TSetupFixture::SetUp();
        WriteSkinPack();
    }
    void TearDown() override {
        Languages->SelectLanguage(u"eng");
        TSetupFixture::TearDown();
    }

    int Run(const std::vector<std::string>& args) {
        return RunSetup(Platform(), args, [this](TCustomSetupModule& module) {
            ++WizardRuns_;
            if (Wizard_) Wizard_(module);
        });
    }
    const std::vector<THeadlessApplication::TShownBox>& Boxes() { return Machine().Application.Boxes(); }
    void ExpectOneErrorBox(const std::string& text, const std::string& caption) {
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].Text, text);
        EXPECT_EQ(Boxes()[0].Caption, caption);
        EXPECT_EQ(Boxes()[0].Flags, 0x10u);
    }

    int WizardRuns_ = 0;
    std::function<void(TCustomSetupModule&)> Wizard_;
};

TEST_F(Entry, TheFirstWordChoosesTheFlowExactly) {
    struct TCase {
        std::vector<std::string> Args;
        int Wizard;
        bool Terminated;
        const char* Title;
    };
    const TCase cases[] = {
        {{}, 1, false, "Setup - Marlowen"},
        {{"/install"}, 1, false, "Setup - Marlowen"},
        {{"/install", "/uninstall"}, 1, false, "Setup - Marlowen"},
        {{"/Install"}, 0, true, "Setup"},
        {{"/UNINSTALL"}, 0, true, "Setup"},
        {{"/Update"}, 0, true, "Setup"},
        {{"install"}, 0, true, "Setup"},
        {{""}, 0, true, "Setup"},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.Args.empty() ? "<none>" : test.Args[0]);
        THeadlessPlatform machine(Host("C:\\").parent_path());
        WizardRuns_ = 0;
        const int result = RunSetup(machine.Platform(), test.Args, [this](TCustomSetupModule&) { ++WizardRuns_; });
        EXPECT_EQ(result, 0);
        EXPECT_EQ(WizardRuns_, test.Wizard);
        EXPECT_EQ(machine.Application.Terminated(), test.Terminated);
        EXPECT_EQ(machine.Application.Title(), test.Title);
        EXPECT_TRUE(machine.Application.Boxes().empty());
    }
}

TEST_F(Entry, UninstallIgnoresASecondWordAndFailsWithoutAnEntry) {
    EXPECT_EQ(Run({"/uninstall", "/install"}), 1);
    ExpectOneErrorBox("Marlowen install information not found.", "Remove Marlowen");
    EXPECT_EQ(WizardRuns_, 0);
}

TEST_F(Entry, AnInstalledProductIsNotInstalledAgain) {
    WriteUninstallInfo(Machine().Registry, "Marlowen", "D:\\M", "D:\\M\\MarlowenApp.exe", "C:\\G", "x", "Marlowen");
    EXPECT_EQ(Run({}), 1);
    ExpectOneErrorBox("Marlowen already installed.", "Setup - Marlowen");
    EXPECT_EQ(WizardRuns_, 0);
}

TEST_F(Entry, EveryFlowNeedsAnAdministrator) {
    Machine().Registry.SetLocalMachineWritable(false);
    EXPECT_EQ(Run({"/install"}), 1);
    ExpectOneErrorBox(kAdministrator, "Setup - Marlowen");
    EXPECT_EQ(WizardRuns_, 0);

    THeadlessPlatform removal(Host("C:\\").parent_path());
    WriteUninstallInfo(removal.Registry, "Marlowen", "D:\\M", "D:\\M\\MarlowenApp.exe", "C:\\G", "x", "Marlowen");
    removal.Registry.SetLocalMachineWritable(false);
    EXPECT_EQ(RunSetup(removal.Platform(), {"/uninstall"}), 1);
    ASSERT_EQ(removal.Application.Boxes().size(), 1u);
    EXPECT_EQ(removal.Application.Boxes()[0].Text, kAdministrator);
    EXPECT_EQ(removal.Application.Boxes()[0].Caption, "Remove Marlowen");

    THeadlessPlatform update(Host("C:\\").parent_path());
    update.Registry.SetLocalMachineWritable(false);
    EXPECT_EQ(RunSetup(update.Platform(), {"/update", "key", "C:\\p.upd"}), 1);
    ASSERT_EQ(update.Application.Boxes().size(), 1u);
    EXPECT_NE(update.Application.Boxes()[0].Text.find(kAdministrator), std::string::npos);
    EXPECT_EQ(update.Application.Boxes()[0].Caption, "Update Marlowen");
    EXPECT_EQ(update.Application.Boxes()[0].Flags, 0x10u);
}

TEST_F(Entry, ASkinThatCannotStartStopsBeforeAnyFlow) {
    std::filesystem::remove(Host("C:\\Setup\\Default.fs"));
    EXPECT_EQ(Run({"/uninstall"}), 1);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].Caption, "Setup");
    EXPECT_EQ(Boxes()[0].Flags, 0x10u);
    EXPECT_EQ(Machine().Application.Title(), "Setup");
}

TEST_F(Entry, WithoutItsOwnWizardTheInstallOpensTheSkinnedWindowAndASkinWithoutOneSaysSo) {
    EXPECT_EQ(RunSetup(Platform(), {}), 1);
    ExpectOneErrorBox("В списке ресурсов не найден XML 'XML\\Install\\Window.xml'.", "Setup - Marlowen");
}

TEST_F(Entry, TheWizardFollowsTheLanguageWhileItRunsAndItsErrorEndsTheRun) {
    const int32_t subscribers = Languages->NotificationCount();
    Wizard_ = [&](TCustomSetupModule&) {
        EXPECT_EQ(Languages->NotificationCount(), subscribers + 1);
        Languages->SelectLanguage(u"rus");
        EXPECT_EQ(Machine().Application.Title(), "Установка Marlowen");
        Languages->SelectLanguage(u"eng");
        throw Exception("wizard failed");
    };
    EXPECT_EQ(Run({}), 1);
    ExpectOneErrorBox("wizard failed", "Setup - Marlowen");
    EXPECT_EQ(Languages->NotificationCount(), subscribers);
}

// Settings of the wrong type read as absent; the flow runs as on a fresh machine.
TEST_F(Entry, SettingsOfTheWrongTypeDoNotStopTheStart) {
    Machine().Registry.OpenKey(HKLM, kSettingsKey, RegistryAccess::ReadWrite, true)->WriteString("EnableAutoUpdate", "yes");
    auto user = Machine().Registry.OpenKey(HKCU, kSettingsKey, RegistryAccess::ReadWrite, true);
    user->WriteString("EnableAutoUpdate", "no");
    user->WriteInteger("CurrentSkin", 7);
    EXPECT_EQ(Run({}), 0);
    EXPECT_EQ(WizardRuns_, 1);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(String(HKCU, kSettingsKey, "CurrentSkin").has_value());  // the skin in use, stored again
}

// The user's part of the registry refuses writes: a flow that finished stays a success.
TEST_F(Entry, ASkinThatCannotBeRememberedIsNoError) {
    class TReadOnlyUser : public TRegistry {
    public:
        explicit TReadOnlyUser(TRegistry& inner) : Inner_(inner) {}
        std::unique_ptr<TRegistryKey> OpenKey(TRegistryRoot root, const std::string& path, uint32_t access,
                                              bool create) override {
            if (root == TRegistryRoot::CurrentUser && access != RegistryAccess::Read) return nullptr;
            return Inner_.OpenKey(root, path, access, create);
        }
        bool DeleteKey(TRegistryRoot root, const std::string& path) override { return Inner_.DeleteKey(root, path); }

    private:
        TRegistry& Inner_;
    } registry(Machine().Registry);
    THeadlessPlatform& m = Machine();
    TPlatform platform{m.Application, m.Files, registry, m.Shell, m.Locale, m.SystemColors, m.Windows, m.Clipboard};
    EXPECT_EQ(RunSetup(platform, {}, [this](TCustomSetupModule&) { ++WizardRuns_; }), 0);
    EXPECT_EQ(WizardRuns_, 1);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(String(HKCU, kSettingsKey, "CurrentSkin"), std::nullopt);
}

TEST_F(Entry, InstallThenUninstallLeavesOnlyTheSettings) {
    Write("C:\\Setup\\Setup.exe", "setup");
    Write("C:\\Setup\\MarlowenApp.exe", "app");
    Wizard_ = [](TCustomSetupModule& module) { module.RunInstall({}); };
    EXPECT_EQ(Run({}), 0);
    EXPECT_EQ(WizardRuns_, 1);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Read("C:\\Program Files\\Marlowen\\Default.fs"), Read("C:\\Setup\\Default.fs"));

    THeadlessPlatform& machine = Machine();
    machine.Application.SetExecutablePath("C:\\Program Files\\Marlowen\\Setup.exe");
    machine.Application.QueueAnswer(MessageBoxAnswer::Yes);
    EXPECT_EQ(Run({"/uninstall"}), 0);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].Flags, 0x24u);
    EXPECT_FALSE(machine.Registry.KeyExists(HKLM, kUninstallKey));
    EXPECT_FALSE(Exists("C:\\Program Files\\Marlowen"));  // nothing was in use here
    EXPECT_EQ(Integer(HKLM, kSettingsKey, "EnableAutoUpdate"), 1u);
    ASSERT_EQ(machine.Shell.Started().size(), 1u);
}

}  // namespace
}  // namespace marlowen::testing
