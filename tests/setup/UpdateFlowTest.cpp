#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "SetupFixture.h"
#include "core/Exception.h"
#include "core/FilePaths.h"
#include "core/SafePath.h"
#include "core/Languages.h"
#include "core/MultiLanguageException.h"
#include "core/TaggedString.h"
#include "core/Utf.h"
#include "platform/shared/ShellLinkFile.h"
#include "setup/SystemIntegration.h"
#include "setup/UpdateFlow.h"
#include "setup/UpdatePackage.h"
#include "storage/Ed25519.h"
#include "storage/PackageSignature.h"

namespace marlowen::testing {
namespace {

using namespace std::string_literals;

constexpr const char* kKey = "secret";
constexpr const char* kPackage = "C:\\Temp\\update.pkg";
constexpr const char* kFiles = "C:\\Program Files\\Marlowen";
constexpr const char* kLinks = "C:\\Links";

struct TAction {
    std::string Kind, FileName, Path, Link, Body;
};

// Fails the writes of one file while `Failures` lasts, with the given message; all else passes on.
class TFlakyFiles : public TFilesOver {
public:
    TFlakyFiles(TFileSystem& inner, std::string path, int failures, std::string message)
        : TFilesOver(inner), Path_(std::move(path)), Failures_(failures), Message_(std::move(message)) {}

    void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) override {
        BeforeHeldWrite(path);
        TFilesOver::WriteFile(path, bytes);
    }
    void BeforeHeldWrite(const std::string& path) override {
        if (SamePath(path, Path_) && Failures_ != 0) {
            --Failures_;
            throw Exception(Message_);
        }
    }

private:
    std::string Path_;
    int Failures_;  // below 0: always
    std::string Message_;
};

// Runs `Error` (which raises) on every read of one file.
class TThrowingFiles : public TFilesOver {
public:
    TThrowingFiles(TFileSystem& inner, std::string path, std::function<void()> error)
        : TFilesOver(inner), Path_(std::move(path)), Error_(std::move(error)) {}

    std::vector<uint8_t> ReadFile(const std::string& path) const override {
        if (path == Path_) Error_();
        return TFilesOver::ReadFile(path);
    }
    std::unique_ptr<THeldFile> OpenHeldFile(const std::string& path) override {
        if (path == Path_) Error_();
        return TFilesOver::OpenHeldFile(path);
    }

private:
    std::string Path_;
    std::function<void()> Error_;
};

class UpdateFlowTest : public TSetupFixture {
protected:
    void SetUp() override {
        TSetupFixture::SetUp();
        SetInteger(HKLM, kSettingsKey, "UpdateLevel", 1);
        Register(kFiles, kLinks);
    }

    // The uninstall entry of an installation in `folder` with its program group `group`.
    void Register(const std::string& folder, const std::string& group) {
        WriteUninstallInfo(Machine().Registry, "Marlowen", folder, folder + "\\MarlowenApp.exe", group,
                           folder + "\\Setup.exe /uninstall", "Marlowen");
    }

    void WritePackage(uint32_t level, const std::vector<TAction>& list, const std::string& key = kKey,
                      const std::string& files = kFiles, const std::string& links = kLinks) {
        TDataRecords actions;
        AddUpdateActionFields(actions);
        for (const TAction& a : list) AddUpdateAction(actions, a.Kind, a.FileName, a.Path, a.Link, a.Body);
        const std::vector<uint8_t> bytes = WriteUpdatePackage({files, links, level}, actions, key);
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
    EXPECT_EQ(app.Target, "C:\\Program Files\\Marlowen\\MarlowenApp.exe");
    EXPECT_EQ(app.WorkingFolder, "C:\\Program Files\\Marlowen");
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
    EXPECT_TRUE(started.AsUser) << "the program must not run with the update's rights";
}

TEST_F(UpdateFlowTest, WithoutADesktopShellTheProgramStillStarts) {
    Machine().Shell.NoDesktopShell = true;
    WritePackage(2, {});
    Write(In("MarlowenApp.exe"), "app");
    EXPECT_EQ(Run({"/update", kKey, kPackage, In("MarlowenApp.exe")}), "");
    ASSERT_EQ(Machine().Shell.Started().size(), 1u);
    EXPECT_FALSE(Machine().Shell.Started()[0].AsUser);
    EXPECT_EQ(Machine().Shell.Started()[0].File, In("MarlowenApp.exe"));
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

    // A folder argument keeps its closing quote.
    WritePackage(4, {});
    EXPECT_EQ(Run({"/update", kKey, kPackage, In("App.exe"), "C:\\Data\\", "two"}), "");
    ASSERT_EQ(Machine().Shell.Started().size(), 2u);
    EXPECT_EQ(Machine().Shell.Started()[1].Parameters, "\"C:\\Data\\\\\" \"two\"");
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

// --- confinement: a package reaches nothing outside the registered installation ---------------

// A package refused before its first action: nothing applied, the package and the level kept,
// no question asked; the cause is the error's text after the first line.
class HostileUpdate : public UpdateFlowTest {
protected:
    void SetUp() override {
        UpdateFlowTest::SetUp();
        Write("C:\\Victim\\keep.txt", "keep");
        Write(In("old.txt"), "old");
    }
    std::string Refused(const std::vector<TAction>& list, const std::string& files = kFiles,
                        const std::string& links = kLinks) {
        WritePackage(2, list, kKey, files, links);
        const std::string message = Run();
        EXPECT_EQ(message.rfind("Update is not installed.\r", 0), 0u) << message;
        EXPECT_TRUE(Exists(kPackage));
        EXPECT_EQ(Level(), 1u);
        EXPECT_EQ(Read(In("old.txt")), "old");
        EXPECT_EQ(Read("C:\\Victim\\keep.txt"), "keep");
        EXPECT_FALSE(Exists(In("first.txt"))) << "not even the actions before the hostile one";
        EXPECT_TRUE(Boxes().empty());
        EXPECT_TRUE(Sleeps().empty());
        EXPECT_TRUE(Machine().Shell.Started().empty());
        return message.substr(message.find('\r') + 1);
    }
};

TEST_F(HostileUpdate, ActionPartsLeadingOutOfTheirFolderRefuseThePackage) {
    const TAction first{"U", "first.txt", "", "", "1"};
    EXPECT_EQ(Refused({first, {"U", "evil.dll", "..\\..\\Windows\\System32", "", "MZ"}}),
              "The update package names a path outside the installation: \"..\\..\\Windows\\System32\".");
    EXPECT_FALSE(Exists("C:\\Windows\\System32\\evil.dll"));
    EXPECT_EQ(Refused({first, {"U", "", "", "..\\..\\Users\\Public\\Start Menu\\Programs\\Startup\\run", ""}}),
              "The update package names a path outside the installation: "
              "\"..\\..\\Users\\Public\\Start Menu\\Programs\\Startup\\run\".");
    EXPECT_FALSE(Exists("C:\\Users\\Public\\Start Menu\\Programs\\Startup\\run.lnk"));
    EXPECT_EQ(Refused({first, {"D", "..\\..\\Victim\\keep.txt", "", "", ""}}),
              "The update package names a path outside the installation: \"..\\..\\Victim\\keep.txt\".");
    EXPECT_EQ(Refused({first, {"Delete", "", "..\\..\\Victim", "", ""}}),
              "The update package names a path outside the installation: \"..\\..\\Victim\".");

    for (const char* part : {"\\Victim", "C:\\Victim", "C:..\\Victim", "keep.txt:evil", "\\\\server\\share\\x",
                             "bin/../../../Victim", "bin\\...", "NUL"}) {
        SCOPED_TRACE(part);
        Refused({first, {"U", "x.txt", part, "", "x"}});
        Refused({first, {"U", part, "", "", "x"}});
        Refused({first, {"D", "", "", part, ""}});
    }
}

TEST_F(HostileUpdate, FoldersOutsideTheInstallationRefuseThePackage) {
    const TAction first{"U", "first.txt", "", "", "1"};
    for (const char* files : {"C:\\Program Files\\Marlowen\\..\\..\\Victim", "C:\\Program Files", "C:\\",
                              "C:\\Program Files\\MarlowenX", "D:\\Program Files\\Marlowen", "Program Files\\Marlowen",
                              ""}) {
        SCOPED_TRACE(files);
        EXPECT_EQ(Refused({first}, files), "The update package's files folder \"" + std::string(files) +
                                              "\" is not inside the install folder \"C:\\Program Files\\Marlowen\".");
    }
    for (const char* links : {"C:\\Links\\..\\Users\\Public\\Startup", "C:\\", ""}) {
        SCOPED_TRACE(links);
        EXPECT_EQ(Refused({first}, kFiles, links), "The update package's shortcut folder \"" + std::string(links) +
                                                       "\" is not inside the program group \"C:\\Links\".");
    }
    // An entry naming a drive's root opens nothing: the drive is no installation.
    Register("C:\\.", "C:\\Links");
    EXPECT_EQ(Refused({first}, "C:\\Program Files\\Marlowen"),
              "The update package's files folder \"C:\\Program Files\\Marlowen\" is not inside the install folder "
              "\"C:\\.\".");
}

// Spellings the system reads otherwise than a string compare would: each is refused whole, with the
// path shown (a NUL as "<NUL>"), and nothing beside the installation appears.
TEST_F(HostileUpdate, DisguisedFoldersAndPartsAreRefusedAsTheSystemWouldReadThem) {
    const TAction first{"U", "first.txt", "", "", "1"};
    const std::string nulFolder = "C:\\Victim\\keep.txt\0\\..\\..\\Program Files\\Marlowen"s;
    EXPECT_EQ(Refused({first, {"D", "", "", "", ""}}, nulFolder),
              "The update package's files folder \"C:\\Victim\\keep.txt<NUL>\\..\\..\\Program Files\\Marlowen\" "
              "is not inside the install folder \"C:\\Program Files\\Marlowen\".");
    EXPECT_EQ(Refused({first}, kFiles, "C:\\Victim\\run\0\\..\\..\\Links"s),
              "The update package's shortcut folder \"C:\\Victim\\run<NUL>\\..\\..\\Links\" "
              "is not inside the program group \"C:\\Links\".");
    for (const std::string& files : {"C:\\Program Files\\Marlowen \\data"s, "\\\\?\\C:\\Program Files\\Marlowen.\\data"s,
                                    "\\\\?\\C:\\Program Files\\Marlowen\\data"s, "\\\\.\\C:\\Program Files\\Marlowen"s,
                                    "\\??\\C:\\Program Files\\Marlowen"s, "C:\\Program Files\\Marlowen\\data:x"s,
                                    "C:\\Program Files\\Marlowen\\CON\\x"s, "C:\\Program Files\\Marlowen\\.\\x"s}) {
        SCOPED_TRACE(files);
        EXPECT_EQ(Refused({first}, files).rfind("The update package's files folder", 0), 0u);
        EXPECT_FALSE(HasEntryNamed("C:\\Program Files", "Marlowen "));
        EXPECT_FALSE(HasEntryNamed("C:\\Program Files", "Marlowen."));
    }
    for (const std::string& part : {"keep.txt\0\\..\\..\\..\\Victim\\keep.txt"s, "x. "s, "sub \\x"s, "COM\u00B9"s,
                                   "aux .txt"s, "a\tb"s}) {
        SCOPED_TRACE(VisiblePath(part));
        EXPECT_EQ(Refused({first, {"D", part, "", "", ""}}),
                  "The update package names a path outside the installation: \"" + VisiblePath(part) + "\".");
        Refused({first, {"U", "x.txt", part, "", "x"}});
        Refused({first, {"U", "", "", part, ""}});
    }
}

// A folder of the installation swapped for a link leading out of it: writes and deletes meet the
// link and go no further, whatever they were told.
TEST_F(UpdateFlowTest, LinksInsideTheInstallationAreNeverFollowed) {
    Write("C:\\Victim\\keep.txt", "keep");
    std::filesystem::create_directories(Host(kFiles));
    if (!HostLink("C:\\Victim", In("data"))) GTEST_SKIP() << "this host makes no symbolic links";
    WritePackage(2, {{"D", "keep.txt", "data", "", ""}});
    EXPECT_EQ(Run(), "") << "a delete that meets a link does nothing beyond it";
    EXPECT_EQ(Read("C:\\Victim\\keep.txt"), "keep");
    EXPECT_FALSE(Exists(In("data"))) << "the link itself goes with the folder the record names";

    ASSERT_TRUE(HostLink("C:\\Victim", In("data")));
    SetInteger(HKLM, kSettingsKey, "UpdateLevel", 1);
    WritePackage(2, {{"U", "keep.txt", "data\\sub", "", "evil"}});
    const std::string message = Run();
    EXPECT_EQ(message.rfind("Update is not installed.\r", 0), 0u) << message;
    EXPECT_NE(message.find("data"), std::string::npos) << message;
    EXPECT_EQ(Read("C:\\Victim\\keep.txt"), "keep");
    EXPECT_FALSE(Exists("C:\\Victim\\sub"));
    EXPECT_TRUE(std::filesystem::is_symlink(Host(In("data"))));
    EXPECT_TRUE(Exists(kPackage));
}

// The package file is deleted through what read it: a file put in its place meanwhile stays.
TEST_F(UpdateFlowTest, APackageSwappedAfterReadingIsNotWhatGetsDeleted) {
    WritePackage(2, {{"U", "new.txt", "", "", "x"}});
    bool moved = false;
    Machine().Files.BeforeHeldEntryUse = [this, &moved](const std::filesystem::path&) {
        std::error_code error;
        if (moved) return;
        std::filesystem::rename(Host(kPackage), Host("C:\\Temp\\moved.pkg"), error);
        moved = !error;
        if (moved) Write(kPackage, "someone else's");
    };
    const std::string message = Run();
    if (!moved) GTEST_SKIP() << "this host keeps an open file from being renamed";
    EXPECT_EQ(message, "");
    EXPECT_EQ(Read(kPackage), "someone else's");
    EXPECT_EQ(Read(In("new.txt")), "x");
}

TEST_F(UpdateFlowTest, OtherSpellingsOfTheInstallationAndFoldersInsideItAreAccepted) {
    Register("c:\\PROGRAM FILES\\marlowen\\", "c:\\links");
    WritePackage(2, {{"U", "x.txt", "sub\\deeper", "X", "x"}, {"U", "..x", "", "", "y"}}, kKey,
                 "C:/Program Files/Marlowen//data/", "C:\\Links\\Sub");
    Write("C:\\Links\\Sub\\placeholder", "");
    EXPECT_EQ(Run(), "");
    EXPECT_EQ(Read(In("data\\sub\\deeper\\x.txt")), "x");
    EXPECT_EQ(Read(In("data\\..x")), "y") << "a name may start with dots";
    EXPECT_TRUE(Exists("C:\\Links\\Sub\\X.lnk"));
    EXPECT_EQ(Level(), 2u);
}

TEST_F(UpdateFlowTest, WithoutARegisteredInstallationNothingIsApplied) {
    Machine().Registry.DeleteKey(HKLM, kUninstallKey);
    WritePackage(2, {{"U", "new.txt", "", "", "x"}});
    EXPECT_EQ(Run(), "Update is not installed.\rMarlowen install information not found.");
    EXPECT_FALSE(Exists(In("new.txt")));
    EXPECT_TRUE(Exists(kPackage));
    EXPECT_EQ(Level(), 1u);
}

// --- failures of the runtime end in the update's own report ---------------------------------------

TEST_F(UpdateFlowTest, OutOfMemoryAndOtherRuntimeErrorsAreTheUpdatesFailure) {
    WritePackage(2, {{"U", "new.txt", "", "", "x"}});
    const struct {
        std::function<void()> Error;
        const char* Cause;
    } cases[] = {
        {[] { throw std::bad_alloc(); }, "Out of memory."},
        {[] { throw std::length_error("vector too long"); }, "vector too long"},
        {[] { throw std::runtime_error("[eng]odd"); }, "[eng]odd"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Cause);
        TThrowingFiles files(Machine().Files, kPackage, c.Error);
        TPlatform platform = PlatformWith(files);
        EXPECT_EQ(RunOn(platform, {"/update", kKey, kPackage}), std::string("Update is not installed.\r") + c.Cause);
        EXPECT_TRUE(Exists(kPackage));
    }
    EXPECT_EQ(Level(), 1u);
    EXPECT_TRUE(Boxes().empty());
}

}  // namespace
}  // namespace marlowen::testing

namespace marlowen::testing {
namespace {

constexpr const char* kNotSigned = "Update is not installed.\rThe update package is not signed by the publisher of Marlowen.";

// A Setup.exe built with two public keys (the second one as after a key rotation).
class SignedUpdate : public UpdateFlowTest {
protected:
    void SetUp() override {
        UpdateFlowTest::SetUp();
        Publisher_.fill(7);
        Rotated_.fill(8);
        Stranger_.fill(9);
        Trust(PackageSignature::FileText(Ed25519::PublicKeyOf(Publisher_)) + "\n" +
              PackageSignature::FileText(Ed25519::PublicKeyOf(Rotated_)));
        WritePackage(2, {{"U", "readme.txt", "", "", "signed"}});
    }
    void Trust(const std::string& resource) {
        Machine().Application.Resources[PackageSignature::kTrustedKeysResource] =
            std::vector<uint8_t>(resource.begin(), resource.end());
    }
    void SignWith(const Ed25519::TSeed& seed) {
        const std::string package = Read(kPackage);
        Write(std::string(kPackage) + ".sig",
              PackageSignature::FileText(Ed25519::Sign(seed, reinterpret_cast<const uint8_t*>(package.data()),
                                                       package.size())));
    }
    // Nothing of the package was applied and it is still there for another try.
    void ExpectRefused() {
        EXPECT_EQ(Run(), kNotSigned);
        EXPECT_FALSE(Exists(std::string(kFiles) + "\\readme.txt"));
        EXPECT_EQ(Integer(HKLM, kSettingsKey, "UpdateLevel"), 1u);
        EXPECT_TRUE(Exists(kPackage));
    }

    Ed25519::TSeed Publisher_{}, Rotated_{}, Stranger_{};
};

TEST_F(SignedUpdate, APackageSignedByATrustedKeyApplies) {
    SignWith(Rotated_);
    EXPECT_EQ(Run(), "");
    EXPECT_EQ(Read(std::string(kFiles) + "\\readme.txt"), "signed");
    EXPECT_EQ(Integer(HKLM, kSettingsKey, "UpdateLevel"), 2u);
}

TEST_F(SignedUpdate, EveryForgeryIsRefusedBeforeThePackageIsRead) {
    ExpectRefused();  // no signature file

    SignWith(Stranger_);
    ExpectRefused();

    SignWith(Publisher_);
    const std::string signature = Read(std::string(kPackage) + ".sig");
    Write(std::string(kPackage) + ".sig", signature.substr(0, 126) + "\n");
    ExpectRefused();  // the wrong length
    Write(std::string(kPackage) + ".sig", std::string(100000, 'a'));
    ExpectRefused();  // far too long to be read at all

    Write(std::string(kPackage) + ".sig", signature);
    std::string package = Read(kPackage);
    package[package.size() / 2] ^= 1;
    Write(kPackage, package);
    ExpectRefused();  // one byte changed: refused as unsigned, never as damaged

    // A damaged key resource trusts nothing, the publisher's packages included.
    WritePackage(2, {{"U", "readme.txt", "", "", "signed"}});
    SignWith(Publisher_);
    Trust("not a key\n");
    ExpectRefused();
}

TEST_F(SignedUpdate, WithoutKeysBuiltInUnsignedPackagesApplyAsBefore) {
    Machine().Application.Resources.clear();
    EXPECT_EQ(Run(), "");
    Trust("\n");
    WritePackage(3, {{"U", "readme.txt", "", "", "again"}});
    EXPECT_EQ(Run(), "");
    EXPECT_EQ(Read(std::string(kFiles) + "\\readme.txt"), "again");
}

}  // namespace
}  // namespace marlowen::testing
