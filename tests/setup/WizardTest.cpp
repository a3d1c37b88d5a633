#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "SetupFixture.h"
#include "core/Exception.h"
#include "core/Languages.h"
#include "core/Utf.h"
#include "platform/headless/HeadlessForms.h"
#include "platform/headless/HeadlessWindowHost.h"
#include "setup/FormSetup.h"
#include "setup/FrameSetup.h"
#include "setup/SetupEntry.h"
#include "setup/SetupModule.h"
#include "setup/SetupPages.h"
#include "skin/GraphAccessibleTree.h"
#include "skin/GraphCheckBoxes.h"
#include "skin/GraphEdits.h"
#include "skin/GraphElementRegistry.h"
#include "skin/GraphProgressBar.h"
#include "skin/GraphWindows.h"
#include "skin/HintWindow.h"
#include "skin/Resources.h"
#include "skin/SkinLibrary.h"
#include "skin/XMLAttributeValue.h"
#include "TestFolders.h"

namespace marlowen::testing {
namespace {

constexpr const char* kPrograms = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
constexpr const char* kExitQuestion = "Setup is not complete. If you quit now";

// A distribution beside C:\Setup\Setup.exe that carries the default skin's pack, as shipped.
class WizardBase : public TSetupFixture {
protected:
    void SetUp() override {
#ifndef MARLOWEN_HAS_DIST
        GTEST_SKIP() << "this build packs no skin";
#else
        TSetupFixture::SetUp();
        Write("C:\\Setup\\Setup.exe", std::string(500, 's'));
        Write("C:\\Setup\\MarlowenApp.exe", std::string(300000, 'm'));
        Write("C:\\Setup\\Data\\cards.bin", std::string(200000, 'c'));
        std::filesystem::copy_file(DistributionFolder() / "Default.fs", Host("C:\\Setup\\Default.fs"));
        Languages->SelectLanguage(u"eng");
#endif
    }

    THeadlessApplication& App() { return Machine().Application; }
    const std::vector<THeadlessApplication::TShownBox>& Boxes() { return App().Boxes(); }
    // What a person does next while the wizard waits.
    void Then(std::function<void()> step) { Machine().Windows.Screen.ModalSteps.push_back(std::move(step)); }
};

// --- the whole run of Setup.exe: clicks at the places the skin's documents give ---

class SetupRun : public WizardBase {
protected:
    void SetUp() override {
        WizardBase::SetUp();
        if (IsSkipped()) return;
        Documents_.SetXorMask(0);  // as the skin start-up reads the packs beside the program
        Documents_.LoadPack(Machine().Files, "C:\\Setup\\Default.fs");
    }

    // A click in the middle of the named control of a page document, on the wizard's window.
    void ClickAt(const char* document, const std::string& name) {
        for (const TXMLNode* node : Documents_.GetXML(document).Nodes().Nodes()) {
            const TValueItems& a = node->Attributes();
            if (a.GetTextDef("Name", "") != name) continue;
            Machine().Windows.LastHost()->Click(a.GetInteger("Left") + 20, a.GetInteger("Top") + 10);
            return;
        }
        throw std::logic_error(name + " is not in " + document);
    }
    uint32_t Pixel(const char* document, const std::string& name, int32_t dx, int32_t dy) {
        for (const TXMLNode* node : Documents_.GetXML(document).Nodes().Nodes()) {
            const TValueItems& a = node->Attributes();
            if (a.GetTextDef("Name", "") == name) {
                return Machine().Windows.LastHost()->Pixel(a.GetInteger("Left") + dx, a.GetInteger("Top") + dy);
            }
        }
        throw std::logic_error(name + " is not in " + document);
    }

    // The shipped documents, read as the setup reads them, for the places of the controls.
    TResources Documents_;
};

TEST_F(SetupRun, InstallsThroughThePagesShowsTheCopyAndStartsTheProductOnFinish) {
    int32_t copyPaints = 0;
    bool interfered = false;
    Then([&] { ClickAt(TFrameWelcome::kDocument, "ButtonNext"); });
    Then([&] {
        App().OnProcessMessages = [&] {
            // The bar has been painted into the window while the copy holds the thread.
            const uint32_t bar = Pixel(TFrameDirectory::kDocument, "ProgressInstall", 3, 4);
            if ((bar & 0xFF) > ((bar >> 16) & 0xFF) + 80) ++copyPaints;  // blue: filled
            if (interfered) return;
            interfered = true;
            // A second Install and a close that waited in the queue: neither may run now.
            ClickAt(TFrameDirectory::kDocument, "ButtonNext");
            ClickAt(TFrameDirectory::kDocument, "ButtonPrev");
            Machine().Windows.Screen.Forms().back()->Close();
        };
        ClickAt(TFrameDirectory::kDocument, "ButtonNext");
        App().OnProcessMessages = nullptr;
    });
    Then([&] { ClickAt(TFrameSummary::kDocument, "ButtonFinish"); });

    EXPECT_EQ(RunSetup(Platform(), {}), 0);
    EXPECT_TRUE(Boxes().empty()) << Boxes()[0].Text;  // no question, no second install, no error
    EXPECT_GT(copyPaints, 1);
    EXPECT_EQ(Read("C:\\Program Files\\Marlowen\\Data\\cards.bin"), std::string(200000, 'c'));
    EXPECT_TRUE(Exists(kDesktopLink));
    ASSERT_EQ(Machine().Shell.Started().size(), 1u);
    const auto& started = Machine().Shell.Started()[0];
    EXPECT_EQ(started.Verb, "open");
    EXPECT_EQ(started.File, "C:\\Program Files\\Marlowen\\MarlowenApp.exe");
    EXPECT_EQ(started.Folder, "C:\\Program Files\\Marlowen");
    EXPECT_EQ(started.ShowCommand, 1);
    EXPECT_TRUE(started.AsUser) << "the product must not run with the setup's rights";
    EXPECT_TRUE(App().Terminated());
}

TEST_F(SetupRun, ClosingTheWelcomePageAsksAndYesEndsWithNothingInstalled) {
    Then([&] { ClickAt("XML\\Install\\Layers\\ActiveForeground.xml", "ButtonClose"); });  // answered No
    Then([&] {
        EXPECT_TRUE(Machine().Windows.Screen.Forms().back()->Visible());
        App().QueueAnswer(MessageBoxAnswer::Yes);
        ClickAt("XML\\Install\\Layers\\ActiveForeground.xml", "ButtonClose");
    });
    EXPECT_EQ(RunSetup(Platform(), {}), 0);
    ASSERT_EQ(Boxes().size(), 2u) << Boxes()[0].Text;
    for (const auto& box : Boxes()) {
        EXPECT_EQ(box.Text.rfind(kExitQuestion, 0), 0u);
        EXPECT_EQ(box.Caption, "Setup - Marlowen");
        EXPECT_EQ(box.Flags, 0x24u);
    }
    EXPECT_FALSE(Exists(kInstalled));
    EXPECT_FALSE(String(HKLM, kUninstallKey, "Install folder").has_value());
}

// --- the window and its pages, driven on the form itself ---

class Wizard : public WizardBase {
protected:
    void SetUp() override {
        WizardBase::SetUp();
        if (IsSkipped()) return;
        Skin_.Start(Machine().Files, Machine().Registry, "C:\\Setup");
        Module_ = std::make_unique<TSetupModule>(Platform());
        Context_ = std::make_unique<TSkinContext>(
            TSkinContext{Skin_.Resources(), TGraphElementRegistry::Standard(), Platform(), *Languages});
        Hint_ = std::make_unique<THintWindowControl>(Machine().Windows.HintPopup());
        Form_ = std::make_unique<TFormSetup>(*Context_, *Hint_, *Module_);
        App().SetTitle("Setup - Marlowen");
    }
    void TearDown() override {
        Form_.reset();
        Module_.reset();
        Skin_.Shutdown();
        WizardBase::TearDown();
    }

    TFormSetup& Form() { return *Form_; }
    TSetupModule& Module() { return *Module_; }
    TFrameSetup& Page() { return *Form().CurrentPage(); }
    template <class T = TCustomGraphControl>
    T& Control(const std::string& name) {
        return Form().Container().Controls().GetControl<T>(name);
    }
    std::string EditText(const std::string& name) { return Utf16ToUtf8(Control<TGraphEdit>(name).GetText()); }
    // A click in the middle of the control, as the window receives it.
    void Click(const std::string& name) {
        TCustomGraphControl& control = Control(name);
        const TPoint at = control.ClientToContainer(control.Width() / 2, control.Height() / 2);
        static_cast<THeadlessWindowHost&>(Form().Container().Host()).Click(at.X, at.Y);
    }
    template <class T>
    bool On() {
        return dynamic_cast<T*>(Form().CurrentPage()) != nullptr;
    }
    // Replaces a document of the packs by a newer one.
    void Override(const std::string& path, const TXMLNode& root) {
        TPackWriter pack;
        pack.AddXML(path, root);
        Skin_.Resources().LoadPackImage(pack.PackImage());
    }

    TSkinLibrary Skin_;
    std::unique_ptr<TSetupModule> Module_;
    std::unique_ptr<TSkinContext> Context_;
    std::unique_ptr<THintWindowControl> Hint_;
    std::unique_ptr<TFormSetup> Form_;
};

TEST_F(Wizard, BackAndNextKeepTheChoicesAndBrowsingGivesTheProductItsOwnFolder) {
    Machine().Shell.FolderChoices = {std::string("D:\\Apps"), std::nullopt, std::string(kPrograms) + "\\Games"};
    Then([&] {
        ASSERT_TRUE(On<TFrameWelcome>());
        EXPECT_EQ(Form().Window()->Caption(), u"Setup - Marlowen");
        Click("ButtonNext");
    });
    Then([&] {
        ASSERT_TRUE(On<TFrameDirectory>());
        EXPECT_EQ(EditText("EditInstallFolder"), kInstalled);
        EXPECT_EQ(EditText("EditProgramGroup"), "Programs\\Marlowen");
        EXPECT_EQ(Control("ButtonDirectory").Hint, u"Select folder");
        Click("ButtonDirectory");      // D:\Apps
        Click("ButtonDirectory");      // cancelled: nothing changes
        Click("ButtonProgramGroup");   // Programs\Games
        Click("CheckBoxCreateDesctopIcons");
        Click("CheckBoxEnableAutoUpdate");
        EXPECT_EQ(EditText("EditInstallFolder"), "D:\\Apps\\Marlowen");
        EXPECT_EQ(EditText("EditProgramGroup"), "Programs\\Games");
        Click("ButtonPrev");
    });
    Then([&] {
        ASSERT_TRUE(On<TFrameWelcome>());
        Click("ButtonNext");
    });
    Then([&] {
        ASSERT_TRUE(On<TFrameDirectory>());
        EXPECT_EQ(EditText("EditInstallFolder"), "D:\\Apps\\Marlowen");
        EXPECT_EQ(EditText("EditProgramGroup"), "Programs\\Games");
        EXPECT_FALSE(Control<TGraphCheckBox>("CheckBoxCreateDesctopIcons").Checked());
        EXPECT_TRUE(Control<TGraphCheckBox>("CheckBoxEnableAutoUpdate").Checked());
        App().Terminate();
    });
    Form().Execute(TFrameWelcome::Class());

    EXPECT_EQ(Module().InstallFolder, "D:\\Apps\\Marlowen");
    EXPECT_EQ(Module().ProgramGroup, std::string(kPrograms) + "\\Games");
    EXPECT_FALSE(Module().CreateDesktopIcons);
    EXPECT_TRUE(Module().EnableAutoUpdate);
    const auto& requests = Machine().Shell.BrowseRequests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].StartFolder, "C:\\Program Files");  // the default folder does not exist yet
    EXPECT_EQ(requests[0].Root, "");
    EXPECT_EQ(requests[0].Prompt, "Select a folder in the list below, then click OK.");
    EXPECT_EQ(requests[2].Root, kPrograms);
    EXPECT_EQ(requests[2].StartFolder, kGroup);
    EXPECT_TRUE(Boxes().empty());
}

// What a screen reader finds on each page: every node named, the buttons and check boxes with
// their roles and states, the focus where the person put it.
TEST_F(Wizard, EveryPageReadsOutItsTextsButtonsAndCheckBoxesWithTheirStates) {
    const auto nodes = [this] {
        std::map<std::string, TAccessibleDescription> byName;
        TGraphAccessibleTree& tree = Form().Container().Accessible();
        std::vector<int32_t> pending = tree.Children(TAccessibleTree::kClient);
        while (!pending.empty()) {
            const int32_t id = pending.back();
            pending.pop_back();
            TAccessibleDescription d;
            EXPECT_TRUE(tree.Describe(id, d));
            EXPECT_FALSE(d.Name.empty()) << "a node of role " << d.Role << " at " << d.Left << "," << d.Top;
            byName[d.Name + "|" + std::to_string(d.Role)] = d;
            for (int32_t child : tree.Children(id)) pending.push_back(child);
        }
        return byName;
    };
    const auto expect = [](const std::map<std::string, TAccessibleDescription>& page, const std::string& name,
                           int32_t role, uint32_t states, uint32_t mask) {
        const auto node = page.find(name + "|" + std::to_string(role));
        ASSERT_NE(node, page.end()) << name;
        EXPECT_EQ(node->second.Role, role) << name;
        EXPECT_EQ(node->second.State & mask, states) << name;
    };
    constexpr uint32_t kUnavailable = AccState::Unavailable, kChecked = AccState::Checked;
    Then([&] {
        const auto page = nodes();
        expect(page, "Welcome to Marlowen", AccRole::StaticText, 0, 0);
        expect(page, "Back", AccRole::PushButton, kUnavailable, kUnavailable);
        expect(page, "Next", AccRole::PushButton, 0, kUnavailable);
        expect(page, "Close", AccRole::PushButton, 0, kUnavailable);
        expect(page,
               "This wizard will install Marlowen on your computer. It is recommended that you close all other programs "
               "before you continue. Click Next to continue, or close the window to exit Setup.",
               AccRole::StaticText, 0, 0);
        Click("ButtonNext");
    });
    Then([&] {
        // The new page was announced as a new dialog is.
        const auto& events = static_cast<THeadlessWindowHost&>(Form().Container().Host()).AccessibleEvents();
        EXPECT_NE(std::find(events.begin(), events.end(),
                            THeadlessWindowHost::TAccessibleEvent{AccEvent::DialogStart, TAccessibleTree::kClient}),
                  events.end());
        Click("CheckBoxCreateDesctopIcons");  // cleared, and focused
        const auto page = nodes();
        expect(page, "Install folder", AccRole::Text, 0, 0);
        EXPECT_EQ(page.at("Install folder|" + std::to_string(AccRole::Text)).Value, kInstalled);
        expect(page, "Start menu group", AccRole::Text, 0, 0);
        expect(page, "Create a desktop shortcut", AccRole::CheckButton, AccState::Focused, kChecked | AccState::Focused);
        expect(page, "Keep Marlowen up to date automatically", AccRole::CheckButton, kChecked, kChecked);
        expect(page, "Install", AccRole::PushButton, 0, kUnavailable);
        expect(page, "Browse for the install folder", AccRole::PushButton, 0, kUnavailable);
        TGraphAccessibleTree& tree = Form().Container().Accessible();
        TAccessibleDescription focused;
        ASSERT_TRUE(tree.Describe(tree.Focus(), focused));
        EXPECT_EQ(focused.Name, "Create a desktop shortcut");
        App().Terminate();
    });
    Form().Execute(TFrameWelcome::Class());
}

// --- the keyboard alone ---

class WizardKeys : public Wizard {
protected:
    THeadlessWindowHost& Keys() { return static_cast<THeadlessWindowHost&>(Form().Container().Host()); }
    // Tab until the named control has the focus; false when a round of the page never reaches it.
    bool TabTo(const std::string& name) {
        for (int i = 0; i < 20 && !Control(name).Focused(); ++i) Keys().PressKey(VirtualKey::Tab);
        return Control(name).Focused();
    }
    std::string FocusedName() {
        TCustomGraphControl* f = Form().Container().FocusedControl();
        return f != nullptr ? f->Name() : "(none)";
    }
};

TEST_F(WizardKeys, ReturnTabAndSpaceInstallThroughEveryPage) {
    Then([&] {
        ASSERT_TRUE(On<TFrameWelcome>());
        EXPECT_FALSE(Form().Container().FocusCuesShown());
        Keys().PressKey(VirtualKey::Return);  // Next is the page's default button
    });
    Then([&] {
        ASSERT_TRUE(On<TFrameDirectory>());
        // The page's order: edits and their browse buttons, the boxes, Back and Install; the
        // caption bar's buttons are not stops.
        std::vector<std::string> order;
        ASSERT_TRUE(TabTo("EditInstallFolder"));
        for (int i = 0; i < 8; ++i) {
            order.push_back(FocusedName());
            Keys().PressKey(VirtualKey::Tab);
        }
        EXPECT_EQ(order, (std::vector<std::string>{"EditInstallFolder", "ButtonDirectory", "EditProgramGroup",
                                                   "ButtonProgramGroup", "CheckBoxCreateDesctopIcons",
                                                   "CheckBoxEnableAutoUpdate", "ButtonPrev", "ButtonNext"}));
        EXPECT_EQ(FocusedName(), "EditInstallFolder");  // round again
        ASSERT_TRUE(TabTo("CheckBoxCreateDesctopIcons"));
        Keys().PressKey(VirtualKey::Space);
        EXPECT_FALSE(Control<TGraphCheckBox>("CheckBoxCreateDesctopIcons").Checked());
        EXPECT_TRUE(Form().Container().FocusCuesShown());
        // Return from an edit presses Install too.
        ASSERT_TRUE(TabTo("EditInstallFolder"));
        Keys().PressKey(VirtualKey::Return);
    });
    Then([&] {
        ASSERT_TRUE(On<TFrameSummary>());
        Keys().PressKey(VirtualKey::Return);  // Finish
    });
    Form().Execute(TFrameWelcome::Class());

    EXPECT_TRUE(Boxes().empty()) << Boxes()[0].Text;
    EXPECT_EQ(Read("C:\\Program Files\\Marlowen\\Data\\cards.bin"), std::string(200000, 'c'));
    EXPECT_FALSE(Exists(kDesktopLink));
    EXPECT_EQ(Machine().Shell.Started().size(), 1u);  // Finish, with "Start Marlowen now" on
}

TEST_F(WizardKeys, EscapeAsksTheCloseQuestionLikeTheCloseButton) {
    Then([&] {
        ASSERT_TRUE(On<TFrameWelcome>());
        Keys().PressKey(VirtualKey::Escape);  // answered No: the wizard stays
    });
    Then([&] {
        EXPECT_TRUE(Form().Host().Visible());
        ASSERT_TRUE(On<TFrameWelcome>());
        App().QueueAnswer(MessageBoxAnswer::Yes);
        Keys().PressKey(VirtualKey::Escape);
    });
    Form().Execute(TFrameWelcome::Class());

    ASSERT_EQ(Boxes().size(), 2u);
    for (const auto& box : Boxes()) EXPECT_EQ(box.Text.rfind(kExitQuestion, 0), 0u);
    EXPECT_FALSE(Exists(kInstalled));
}

TEST_F(Wizard, ChoicesThatWouldLoseDataAreRefusedOrQuestioned) {
    EXPECT_EQ(WithProductFolder("D:\\Apps\\"), "D:\\Apps\\Marlowen");
    EXPECT_EQ(WithProductFolder("D:\\"), "D:\\Marlowen");
    EXPECT_EQ(WithProductFolder("D:\\Apps\\marlowen\\"), "D:\\Apps\\marlowen");
    EXPECT_EQ(WithProductFolder("D:\\Marlowen Old"), "D:\\Marlowen Old\\Marlowen");

    Module().InstallFolder = "D:\\";
    Module().ProgramGroup = "C:\\Groups\\Marlowen";
    Write("C:\\Used\\Marlowen\\notes.txt", "mine");
    Machine().Shell.FolderChoices = {std::string(kPrograms), std::string("C:\\Used")};
    Then([&] { Click("ButtonNext"); });
    Then([&] {
        EXPECT_EQ(EditText("EditProgramGroup"), "C:\\Groups\\Marlowen");  // not below the Start menu: whole
        Click("ButtonNext");  // a drive's root: refused
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].Text, "Marlowen cannot be installed into the root of the drive D:\\. Please choose a folder on it.");
        EXPECT_EQ(Boxes()[0].Flags, 0x10u);
        Click("ButtonProgramGroup");  // the Programs menu itself: refused
        ASSERT_EQ(Boxes().size(), 2u);
        EXPECT_NE(Boxes()[1].Text.find("not the Programs menu itself"), std::string::npos);
        EXPECT_EQ(Module().ProgramGroup, "C:\\Groups\\Marlowen");
        Click("ButtonDirectory");  // C:\Used\Marlowen, which holds a file
        Click("ButtonNext");       // asked, No by default: nothing happens
        ASSERT_EQ(Boxes().size(), 3u);
        EXPECT_EQ(Boxes()[2].Text,
                  "The folder C:\\Used\\Marlowen already exists and is not empty. Install Marlowen into it anyway?");
        EXPECT_EQ(Boxes()[2].Flags, 0x124u);
        EXPECT_EQ(Boxes()[2].Answer, MessageBoxAnswer::No);
        EXPECT_TRUE(On<TFrameDirectory>());
        EXPECT_FALSE(Exists("C:\\Used\\Marlowen\\MarlowenApp.exe"));
        App().QueueAnswer(MessageBoxAnswer::Yes);
        Click("ButtonNext");
    });
    Then([&] {
        EXPECT_TRUE(On<TFrameSummary>());
        Click("CheckBoxStartProgram");
        Click("ButtonFinish");
    });
    Form().Execute(TFrameWelcome::Class());
    EXPECT_EQ(Read("C:\\Used\\Marlowen\\notes.txt"), "mine");
    EXPECT_TRUE(Exists("C:\\Used\\Marlowen\\MarlowenApp.exe"));
    EXPECT_TRUE(Machine().Shell.Started().empty());  // the start box was cleared
    EXPECT_TRUE(App().Terminated());
}

// What the edits show is what is installed: typed text is taken as a browsed choice would be.
TEST_F(Wizard, FoldersTypedIntoTheEditsAreWhereTheProductGoes) {
    const auto type = [this](const std::string& edit, const std::string& text) {
        Click(edit);
        auto& host = static_cast<THeadlessWindowHost&>(Form().Container().Host());
        host.PressKey(0x24);                                  // Home
        host.PressKey(0x23, TShiftState(ShiftState::Shift));  // Shift+End: all of it
        host.PressKey(0x2E);                                  // Delete
        for (const char16_t c : Utf8ToUtf16(text)) host.CharPressed(c);
    };
    Write("D:\\Other\\x", "");
    Then([&] { Click("ButtonNext"); });
    Then([&] {
        // Refused, each with its box, the choice kept: relative, a missing drive, a part the system
        // would read otherwise; a group outside the Programs menu or the menu itself.
        for (const char* folder : {"Apps", "Q:\\Apps", "D:\\Apps.", "D:\\Apps\\..\\Other"}) {
            type("EditInstallFolder", folder);
            Click("ButtonNext");
            EXPECT_TRUE(On<TFrameDirectory>()) << folder;
            EXPECT_EQ(Module().InstallFolder, kInstalled) << folder;
        }
        ASSERT_EQ(Boxes().size(), 4u);
        EXPECT_EQ(Boxes()[0].Text, "Marlowen cannot be installed into Apps. Please give the full path of a folder on an "
                                   "existing drive, such as C:\\Program Files\\Marlowen.");
        type("EditInstallFolder", "D:\\Apps");
        for (const char* group : {"..\\Games", "Programs", "C:\\Games"}) {
            type("EditProgramGroup", group);
            Click("ButtonNext");
            EXPECT_TRUE(On<TFrameDirectory>()) << group;
        }
        ASSERT_EQ(Boxes().size(), 7u);
        EXPECT_NE(Boxes()[6].Text.find("not the Programs menu itself"), std::string::npos);
        type("EditProgramGroup", "Programs\\Games");
        Click("ButtonNext");
    });
    Then([&] { Click("ButtonFinish"); });
    Form().Execute(TFrameWelcome::Class());
    EXPECT_EQ(Module().InstallFolder, "D:\\Apps\\Marlowen") << "the product gets a folder of its own";
    EXPECT_TRUE(Exists("D:\\Apps\\Marlowen\\MarlowenApp.exe"));
    EXPECT_FALSE(Exists(std::string(kInstalled) + "\\MarlowenApp.exe"));
    EXPECT_EQ(Module().ProgramGroup, std::string(kPrograms) + "\\Games");
    EXPECT_TRUE(Exists(std::string(kPrograms) + "\\Games\\Marlowen.lnk"));
}

// Removal deletes the program group's whole tree: a group other programs use is refused however it
// is chosen (browsed, typed, or the default one), and what it holds stays.
TEST_F(Wizard, AStartMenuGroupHoldingOtherShortcutsIsRefused) {
    const std::string accessories = std::string(kPrograms) + "\\Accessories";
    Write(accessories + "\\Notepad.lnk", "theirs");
    Write(std::string(kPrograms) + "\\Marlowen\\Readme.lnk", "left by someone");
    Machine().Shell.FolderChoices = {accessories};
    Then([&] { Click("ButtonNext"); });
    Then([&] {
        Click("ButtonProgramGroup");
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].Text,
                  "The group Programs\\Accessories already holds other shortcuts. Please choose a group of its own "
                  "for Marlowen.");
        EXPECT_EQ(Module().ProgramGroup, std::string(kPrograms) + "\\Marlowen");
        Control<TGraphEdit>("EditProgramGroup").SetText(u"Programs\\Accessories");
        Click("ButtonNext");
        EXPECT_EQ(Boxes().size(), 2u);
        Control<TGraphEdit>("EditProgramGroup").SetText(u"Programs\\Marlowen");
        Click("ButtonNext");  // the default group holds a stranger's shortcut too
        EXPECT_EQ(Boxes().size(), 3u);
        EXPECT_TRUE(On<TFrameDirectory>());
        std::filesystem::remove(Host(std::string(kPrograms) + "\\Marlowen\\Readme.lnk"));
        Write(std::string(kPrograms) + "\\Marlowen\\Marlowen.lnk", "ours, from before");
        Click("ButtonNext");  // only the product's own shortcut: fine
    });
    Then([&] { Click("ButtonFinish"); });
    Form().Execute(TFrameWelcome::Class());
    EXPECT_EQ(Boxes().size(), 3u);
    EXPECT_TRUE(Exists(std::string(kInstalled) + "\\MarlowenApp.exe"));
    EXPECT_EQ(Read(accessories + "\\Notepad.lnk"), "theirs");
}

// A page whose Enter or Shown fails, to see what the window does with it.
class TFailingPage : public TFrameSetup {
public:
    static inline bool FailEnter = true;
    TFailingPage(const TSkinContext& context, TSetupModule& module) : TFrameSetup(context, module) {
        LoadFromXML(context.Resources.GetXML(TFrameWelcome::kDocument));
    }
    void Enter() override {
        if (FailEnter) throw Exception("cannot enter");
    }
    void Shown() override { throw Exception("cannot show"); }
};
const TSetupPageClass kFailingPage{"Failing", &MakeSetupPage<TFailingPage>};

TEST_F(Wizard, ShowPageIsAllOrNothingAndPagesLieBeneathTheForeground) {
    Form().LoadSkin(TFormSetup::kWindowDocument);
    Form().ShowPage(TFrameDirectory::Class());
    TFrameSetup* directory = Form().CurrentPage();
    TGraphWindow& window = *Form().Window();
    EXPECT_EQ(directory->NextControl(), window.ActiveForeground());
    EXPECT_EQ(window.Controls().Last(), window.PassiveForeground());
    EXPECT_EQ(directory->ParentControl(), &window);
    EXPECT_EQ(directory->Width(), 600);

    TFailingPage::FailEnter = true;
    EXPECT_THROW(Form().ShowPage(kFailingPage), Exception);
    EXPECT_EQ(Form().CurrentPage(), directory);
    int32_t pages = 0;
    for (TCustomGraphControl* control : window.Controls().Controls()) pages += dynamic_cast<TFrameSetup*>(control) != nullptr;
    EXPECT_EQ(pages, 1);

    // A Shown that fails: the error box, then the window closes without the exit question.
    TFailingPage::FailEnter = false;
    Form().Host().Show();
    Form().ShowPage(kFailingPage);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].Text, "Setup error: \"cannot show\".");
    EXPECT_EQ(Boxes()[0].Flags, 0x10u);
    EXPECT_TRUE(Form().ErrorClosed());
    EXPECT_FALSE(Form().Host().Visible());
}

TEST_F(Wizard, ASummaryWithoutFinishFailsAfterTheInstallAndTheWindowStaysOnTheDirectoryPage) {
    TXMLNode summary("Frame");
    summary.Attributes().Add(std::make_unique<TXMLProperty>("Width", AttributeValue("600")));
    summary.Attributes().Add(std::make_unique<TXMLProperty>("Height", AttributeValue("400")));
    summary.Attributes().Add(std::make_unique<TXMLProperty>("Style", AttributeValue("XML\\Install\\Styles\\Clear.xml")));
    Override(TFrameSummary::kDocument, summary);
    Then([&] { Click("ButtonNext"); });
    Then([&] { Click("ButtonNext"); });
    Then([&] {
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].Text, "TCustomGraphControl 'ButtonFinish' not found.");
        EXPECT_TRUE(On<TFrameDirectory>());
        EXPECT_TRUE(Exists("C:\\Program Files\\Marlowen\\MarlowenApp.exe"));
        App().QueueAnswer(MessageBoxAnswer::Yes);
        Click("ButtonClose");
    });
    Form().Execute(TFrameWelcome::Class());
    EXPECT_EQ(Boxes().size(), 2u);  // the exit question
    EXPECT_FALSE(Form().Host().Visible());
}

TEST_F(Wizard, AFailedInstallIsTakenBackAndThePageCanTryAgain) {
    // A program of the same name in the folder, in use: the copy fails part way.
    Write("C:\\Program Files\\Marlowen\\MarlowenApp.exe", "running");
    Machine().Files.Lock("C:\\Program Files\\Marlowen\\MarlowenApp.exe");
    App().QueueAnswer(MessageBoxAnswer::Yes);  // install into the folder that is not empty
    Then([&] { Click("ButtonNext"); });
    Then([&] { Click("ButtonNext"); });
    Then([&] {
        ASSERT_EQ(Boxes().size(), 2u);
        EXPECT_EQ(Boxes()[1].Text.rfind("Copy file error: C:\\Program Files\\Marlowen\\MarlowenApp.exe\n", 0), 0u)
            << Boxes()[1].Text;
        EXPECT_TRUE(On<TFrameDirectory>());
        EXPECT_TRUE(Control("ButtonNext").Enabled());
        EXPECT_FALSE(Control("ProgressInstall").Visible()) << "the progress of an install taken back";
        EXPECT_EQ(Read("C:\\Program Files\\Marlowen\\MarlowenApp.exe"), "running");
        EXPECT_FALSE(Exists("C:\\Program Files\\Marlowen\\Setup.exe"));
        EXPECT_FALSE(Machine().Registry.KeyExists(HKLM, kUninstallKey));
        // Once the program is closed, the same choice installs.
        Machine().Files.Unlock("C:\\Program Files\\Marlowen\\MarlowenApp.exe");
        App().QueueAnswer(MessageBoxAnswer::Yes);
        Click("ButtonNext");
    });
    Then([&] {
        EXPECT_TRUE(On<TFrameSummary>());
        EXPECT_NE(Read("C:\\Program Files\\Marlowen\\MarlowenApp.exe"), "running");
        App().QueueAnswer(MessageBoxAnswer::Yes);
        Click("ButtonClose");
    });
    Form().Execute(TFrameWelcome::Class());
}

}  // namespace
}  // namespace marlowen::testing
