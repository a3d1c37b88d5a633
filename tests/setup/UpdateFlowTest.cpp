#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SetupFixture.h"
#include "core/Exception.h"
#include "core/Languages.h"
#include "core/MultiLanguageException.h"
#include "core/TaggedString.h"
#include "core/Utf.h"
#include "platform/headless/ShellLinkFile.h"
#include "setup/UpdateFlow.h"
#include "setup/UpdatePackage.h"

namespace marlowen::testing {
namespace {

constexpr const char* kKey = "secret";
constexpr const char* kPackage = "C:\\Temp\\update.pkg";
constexpr const char* kFiles = "C:\\Program Files\\Marlowen";
constexpr const char* kLinks = "C:\\Links";

struct TAction {
    std::string Kind, FileName, Path, Link, Body;
};

// Fails the writes of one file while `Failures` lasts, with the given message; all else passes on.
class TFlakyFiles : public TFileSystem {
public:
    TFlakyFiles(TFileSystem& inner, std::string path, int failures, std::string message)
        : Inner_(inner), Path_(std::move(path)), Failures_(failures), Message_(std::move(message)) {}

    std::vector<TFileEntry> FindFiles(const std::string& folder, const std::string& mask) const override {
        return Inner_.FindFiles(folder, mask);
    }
    std::vector<uint8_t> ReadFile(const std::string& path) const override { return Inner_.ReadFile(path); }
    void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) override {
        if (path == Path_ && Failures_ != 0) {
            --Failures_;
            throw Exception(Message_);
        }
        Inner_.WriteFile(path, bytes);
    }
    bool FileExists(const std::string& path) const override { return Inner_.FileExists(path); }
    bool FolderExists(const std::string& path) const override { return Inner_.FolderExists(path); }
    void CreateFolder(const std::string& path) override { Inner_.CreateFolder(path); }
    bool DeleteFile(const std::string& path) override { return Inner_.DeleteFile(path); }
    bool RemoveFolder(const std::string& path) override { return Inner_.RemoveFolder(path); }
    std::optional<uint32_t> GetAttributes(const std::string& path) const override {
        return Inner_.GetAttributes(path);
    }
    bool SetAttributes(const std::string& path, uint32_t attributes) override {
        return Inner_.SetAttributes(path, attributes);
    }
    bool CopyFile(const std::string& source, const std::string& destination,
                  const TCopyProgress& progress) override {
        return Inner_.CopyFile(source, destination, progress);
    }
    std::string TempFolder() const override { return Inner_.TempFolder(); }

private:
    TFileSystem& Inner_;
    std::string Path_;
    int Failures_;  // below 0: always
    std::string Message_;
};

class UpdateFlowTest : public TSetupFixture {
protected:
    void SetUp() override {
        TSetupFixture::SetUp();
        SetInteger(HKLM, kSettingsKey, "UpdateLevel", 1);
    }

    void WritePackage(uint32_t level, const std::vector<TAction>& list, const std::string& key = kKey) {
        TDataRecords actions;
        AddUpdateActionFields(actions);
        for (const TAction& a : list) AddUpdateAction(actions, a.Kind, a.FileName, a.Path, a.Link, a.Body);
        const std::vector<uint8_t> bytes = WriteUpdatePackage({kFiles, kLinks, level}, actions, key);
        Write(kPackage, std::string(bytes.begin(), bytes.end()));
    }

    // Runs the flow and returns the error message, or "" when it succeeded.
    std::string Run(std::vector<std::string> args = {"/update", kKey, kPackage}) { return RunOn(Platform(), args); }
    static std::string RunOn(TPlatform& platform, const std::vector<std::string>& args) {
        try {
            RunUpdateFlow(platform, args);
        } catch (const Exception& error) {
            return error.Message();
        }
        return "";
    }

    uint32_t Level() { return Integer(HKLM, kSettingsKey, "UpdateLevel").value_or(0); }
    const std::vector<THeadlessApplication::TShownBox>& Boxes() { return Machine().Application.Boxes(); }
    const std::vector<uint32_t>& Sleeps() { return Machine().Application.Sleeps(); }
    TShellLinkData Link(const std::string& name) {
        return ReadShellLinkFile(Machine().Files.ReadFile(std::string(kLinks) + "\\" + name + ".lnk"));
    }
    static std::string In(const std::string& relative) { return std::string(kFiles) + "\\" + relative; }
};

constexpr const char* kSuccess = "Update succesfully installed.";

TEST_F(UpdateFlowTest, AppliesEveryActionRecordsTheLevelAndStartsTheProgram) {
    Write(In("old.dll"), "old");
    Write(In("bin\\x.txt"), "old x");
    Write(In("keep.txt"), "keep");
    Write(In("empty\\placeholder"), "");
    std::filesystem::remove(Host(In("empty\\placeholder")));
    Write(std::string(kLinks) + "\\Old.lnk", "link");
    WritePackage(7, {
        {"U", "MarlowenApp.exe", "", "Marlowen", "new app"},
        {"Update", "x.txt", "bin", "", "fresh"},
        {"U", "readme.txt", "docs\\sub", "", ""},
        {"U", "", "docs", "Docs", ""},
        {"D", "old.dll", "", "", ""},
        {"Delete", "", "empty", "Old", ""},
        {"D", "", "bin", "", ""},  // not empty: stays
        {"u", "lower.txt", "", "", "x"},
        {"d", "keep.txt", "", "", ""},
        {"X", "other.txt", "", "", "x"},
        {"", "none.txt", "", "", "x"},
    });

    EXPECT_EQ(Run({"/update", kKey, kPackage, In("MarlowenApp.exe"), "first arg", "second"}), "");

    EXPECT_EQ(Read(In("MarlowenApp.exe")), "new app");
    EXPECT_EQ(Read(In("bin\\x.txt")), "fresh");
    EXPECT_TRUE(Exists(In("docs\\sub\\readme.txt")));
    EXPECT_EQ(Read(In("docs\\sub\\readme.txt")), "") << "an empty body gives an empty file";
    EXPECT_FALSE(Exists(In("old.dll")));
    EXPECT_FALSE(Exists(In("empty")));
    EXPECT_FALSE(Exists(std::string(kLinks) + "\\Old.lnk"));
    EXPECT_TRUE(Exists(In("bin")));
    EXPECT_TRUE(Exists(In("keep.txt"))) << "lower case does nothing";
    EXPECT_FALSE(Exists(In("lower.txt")));
    EXPECT_FALSE(Exists(In("other.txt")));
    EXPECT_FALSE(Exists(In("none.txt")));

    const TShellLinkData app = Link("Marlowen");
    EXPECT_EQ(app.Target, "C:\\Program Files\\Marlowen\\\\MarlowenApp.exe");
    EXPECT_EQ(app.WorkingFolder, "C:\\Program Files\\Marlowen\\");
    EXPECT_EQ(app.Description, "Marlowen");
    EXPECT_EQ(app.Arguments, "");
    EXPECT_EQ(app.IconIndex, -1);
    const TShellLinkData docs = Link("Docs");
    EXPECT_EQ(docs.Target, "C:\\Program Files\\Marlowen\\docs\\") << "a link without a file targets the folder";
    EXPECT_EQ(docs.WorkingFolder, "C:\\Program Files\\Marlowen\\docs");

    EXPECT_EQ(Level(), 7u);
    EXPECT_FALSE(Exists(kPackage));
    EXPECT_EQ(Machine().Application.Title(), "Update Marlowen");
    EXPECT_EQ(Sleeps(), std::vector<uint32_t>{100});
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].Text, kSuccess);
    EXPECT_EQ(Boxes()[0].Caption, "Setup - Marlowen");
    EXPECT_EQ(Boxes()[0].Flags, 0x40u);
    ASSERT_EQ(Machine().Shell.Started().size(), 1u);
    const auto& started = Machine().Shell.Started()[0];
    EXPECT_EQ(started.Verb, "open");
    EXPECT_EQ(started.File, In("MarlowenApp.exe"));
    EXPECT_EQ(started.Parameters, "\"first arg\" \"second\"");
    EXPECT_EQ(started.Folder, "C:\\Program Files\\Marlowen\\");
    EXPECT_EQ(started.ShowCommand, 1);
}

TEST_F(UpdateFlowTest, AnEmptyTableStillSucceedsAndNothingStartsWithoutAProgram) {
    WritePackage(2, {});
    EXPECT_EQ(Run(), "");
    EXPECT_EQ(Level(), 2u);
    EXPECT_FALSE(Exists(kPackage));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].Text, kSuccess);
    EXPECT_TRUE(Machine().Shell.Started().empty());

    WritePackage(3, {});
    Write(In("App.exe"), "");
    EXPECT_EQ(Run({"/update", kKey, kPackage, In("App.exe")}), "");
    ASSERT_EQ(Machine().Shell.Started().size(), 1u);
    EXPECT_EQ(Machine().Shell.Started()[0].Parameters, "");
}

TEST_F(UpdateFlowTest, APackageThatIsNotNewerIsRefusedAndDeleted) {
    const struct {
        uint32_t Installed, Package;
    } cases[] = {{1, 1}, {5, 3}, {0x80000001u, 0x80000000u}};
    for (const auto& c : cases) {
        SetInteger(HKLM, kSettingsKey, "UpdateLevel", c.Installed);
        WritePackage(c.Package, {{"U", "new.txt", "", "", "x"}});
        EXPECT_EQ(Run(), "Update is not installed.\rOld update files found.");
        EXPECT_FALSE(Exists(kPackage));
        EXPECT_FALSE(Exists(In("new.txt")));
        EXPECT_EQ(Level(), c.Installed);
    }
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(Sleeps().empty());

    // The comparison is unsigned: a level above 2^31 is newer than a small one.
    SetInteger(HKLM, kSettingsKey, "UpdateLevel", 5);
    WritePackage(0x80000000u, {});
    EXPECT_EQ(Run(), "");
    EXPECT_EQ(Level(), 0x80000000u);
}

TEST_F(UpdateFlowTest, UnreadablePackagesAndMissingRightsAreNotInstalled) {
    WritePackage(4, {{"U", "new.txt", "", "", "x"}}, "other key");
    EXPECT_EQ(Run(), "Update is not installed.\rДанные повреждены или испорчены.");
    EXPECT_TRUE(Exists(kPackage)) << "only an old package is deleted";

    Write(kPackage, std::string(100, 'x'));
    EXPECT_EQ(Run(), "Update is not installed.\rДанные повреждены или испорчены.");

    std::filesystem::remove(Host(kPackage));
    EXPECT_EQ(Run().rfind("Update is not installed.\r", 0), 0u);

    // A table without one of the fields every action reads: the action fails, is retried, and
    // the question that follows is answered Cancel.
    TDataRecords table;
    table.AddFieldDef("UpdateAction", TFieldType::Text);
    table.AddFieldDef("FileName", TFieldType::Text);
    table.Add().SetText("UpdateAction", "D");
    const std::vector<uint8_t> bytes = WriteUpdatePackage({kFiles, kLinks, 4}, table, kKey);
    Write(kPackage, std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(Run(), "Update is not installed.\rНеизвестное имя поля 'Path'.");

    WritePackage(4, {{"U", "new.txt", "", "", "x"}});
    Machine().Registry.SetLocalMachineWritable(false);
    EXPECT_EQ(Run(), "Update is not installed.\r"
                     "You must be logged in as an administrator when installing this program.");
    EXPECT_FALSE(Exists(In("new.txt")));
    EXPECT_TRUE(Exists(kPackage));

    EXPECT_EQ(Level(), 1u);
    EXPECT_EQ(Boxes().size(), 1u) << "only the retry question of the table without a field";
    EXPECT_TRUE(Machine().Shell.Started().empty());
}

TEST_F(UpdateFlowTest, TheFirstFailureOfAnActionIsRetriedSilently) {
    WritePackage(2, {{"U", "a.txt", "", "", "a"}, {"U", "b.txt", "", "", "b"}});
    TFlakyFiles files(Machine().Files, In("\\b.txt"), 1, "busy");
    TPlatform platform{Machine().Application, files,        Machine().Registry,     Machine().Shell,
                       Machine().Locale,      Machine().SystemColors, Machine().Windows, Machine().Clipboard};
    EXPECT_EQ(RunOn(platform, {"/update", kKey, kPackage}), "");
    EXPECT_EQ(Read(In("b.txt")), "b");
    EXPECT_EQ(Sleeps(), (std::vector<uint32_t>{100, 500}));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].Text, kSuccess);
}

TEST_F(UpdateFlowTest, FurtherFailuresAskAndRetryWritesTheFile) {
    Write(In("MarlowenApp.exe"), "running");
    Machine().Files.Lock(In("MarlowenApp.exe"));
    WritePackage(2, {{"U", "MarlowenApp.exe", "", "", "new"}});
    Machine().Application.QueueAnswer(4);
    Machine().Application.OnMessageBox = [this](const THeadlessApplication::TShownBox&) {
        Machine().Files.Unlock(In("MarlowenApp.exe"));
    };

    EXPECT_EQ(Run(), "");
    EXPECT_EQ(Read(In("MarlowenApp.exe")), "new");
    EXPECT_EQ(Sleeps(), (std::vector<uint32_t>{100, 500, 500}));
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[0].Text.rfind("Updating error. Close all Marlowen applications and retry.\r", 0), 0u);
    EXPECT_GT(Boxes()[0].Text.size(), std::string("Updating error. Close all Marlowen applications and retry.\r").size());
    EXPECT_EQ(Boxes()[0].Caption, "Update Marlowen");
    EXPECT_EQ(Boxes()[0].Flags, 0x35u);
    EXPECT_EQ(Boxes()[1].Text, kSuccess);
    EXPECT_EQ(Level(), 2u);
}

TEST_F(UpdateFlowTest, CancelStopsWithTheCauseAndLeavesTheLockedFileIntact) {
    Write(In("MarlowenApp.exe"), "running program");
    Machine().Files.Lock(In("MarlowenApp.exe"));
    WritePackage(2, {{"U", "a.txt", "", "", "a"}, {"U", "MarlowenApp.exe", "", "", "new"}, {"U", "z.txt", "", "", "z"}});

    const std::string message = Run();  // nothing queued: the box answers Cancel
    ASSERT_EQ(Boxes().size(), 1u);
    const std::string cause = Boxes()[0].Text.substr(Boxes()[0].Text.find('\r') + 1);
    EXPECT_FALSE(cause.empty());
    EXPECT_EQ(message, "Update is not installed.\r" + cause);
    EXPECT_EQ(Read(In("MarlowenApp.exe")), "running program") << "no truncated file in its place";
    EXPECT_EQ(Read(In("a.txt")), "a") << "applied actions stay applied";
    EXPECT_FALSE(Exists(In("z.txt")));
    EXPECT_EQ(Sleeps(), (std::vector<uint32_t>{100, 500}));
    EXPECT_EQ(Level(), 1u) << "the package can be applied again";
    EXPECT_TRUE(Exists(kPackage));
    EXPECT_TRUE(Machine().Shell.Started().empty());
}

TEST_F(UpdateFlowTest, MessagesCarryCausesWithBracketsUnchanged) {
    WritePackage(2, {{"U", "a.txt", "", "", "a"}});
    const std::string raw = "[eng]disk #1 [full] 100%";
    TFlakyFiles files(Machine().Files, In("\\a.txt"), -1, raw);
    TPlatform platform{Machine().Application, files,        Machine().Registry,     Machine().Shell,
                       Machine().Locale,      Machine().SystemColors, Machine().Windows, Machine().Clipboard};
    EXPECT_EQ(RunOn(platform, {"/update", kKey, kPackage}), "Update is not installed.\r" + raw);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].Text, "Updating error. Close all Marlowen applications and retry.\r" + raw);

    // The error keeps every translation with the cause intact.
    Write(kPackage, "damaged");
    try {
        RunUpdateFlow(Platform(), {"/update", kKey, kPackage});
        ADD_FAILURE() << "no error";
    } catch (const EMultiLanguageException& error) {
        const TLanguage& russian = *Languages->GetByCode(u"rus");
        EXPECT_EQ(TranslateFor(error.Template(), russian).Text,
                  u"Обновление не было полностью установлено из-за ошибки:\rДанные повреждены или испорчены.");
    }
}

}  // namespace
}  // namespace marlowen::testing
