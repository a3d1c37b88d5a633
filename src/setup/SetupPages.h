#pragma once

#include <cstdint>
#include <string>

#include "setup/FrameSetup.h"

namespace marlowen {

// The first page: a welcome text; Next goes to the directory page.
class TFrameWelcome : public TFrameSetup {
public:
    static constexpr const char* kDocument = "XML\\Install\\Welcome.xml";
    static const TSetupPageClass& Class();

    TFrameWelcome(const TSkinContext& context, TSetupModule& module);
    void Next() override;
};

// The choices: the install folder and the program group (through the folder-browse dialog, the
// edits only show them), the desktop shortcut and automatic updates. Next installs, showing the
// copy on an optional "ProgressInstall" bar and "LabelProgress" label, then goes to the summary;
// Back returns to the welcome page.
class TFrameDirectory : public TFrameSetup {
public:
    static constexpr const char* kDocument = "XML\\Install\\Directory.xml";
    static const TSetupPageClass& Class();

    // Requires "ButtonDirectory", "ButtonProgramGroup" and "CheckBoxCreateDesctopIcons"; resets
    // the driver's automatic-update choice to on.
    TFrameDirectory(const TSkinContext& context, TSetupModule& module);
    void Enter() override;
    void Next() override;
    void Back() override;

    void BrowseInstallFolder();
    void BrowseProgramGroup();
    void DesktopChoice();

private:
    // The program group as the page shows it: below the Start menu's folder ("Programs\Marlowen")
    // when it lies there, else whole.
    std::string GroupDisplay(const std::string& group) const;
    // Shows the refusal and answers false when the folder may not be installed into.
    bool AcceptInstallFolder(const std::string& folder) const;
    // Removal deletes the program group's whole tree: a group that holds anything but the
    // product's own shortcut belongs to others too. Shows the refusal and answers false then.
    bool AcceptGroupContents(const std::string& group) const;
    // What the person typed into the folder and group edits, taken as the browse dialog's choice
    // would be (the product's own folder appended, every refusal shown); false when a typed text
    // cannot be used, and then nothing changes.
    bool TakeTypedFolder();
    bool TakeTypedGroup();
    // Asks before installing into a folder that holds something already; true: go on.
    bool ConfirmUsedFolder(const std::string& folder) const;
    void ShowProgress(const std::string& text, int32_t percent);
    void RunInstall();

    std::string ProgressText_;
};

// The last page: Finish ("ButtonFinish", required) ends the program, starting the product when
// "CheckBoxStartProgram" is checked. Closing the window here is not questioned.
class TFrameSummary : public TFrameSetup {
public:
    static constexpr const char* kDocument = "XML\\Install\\Summary.xml";
    static const TSetupPageClass& Class();

    TFrameSummary(const TSkinContext& context, TSetupModule& module);
    void Next() override;
    bool CanClose() override { return true; }
};

// A picked install folder as installed into: the product's own folder below it unless the pick
// is that folder already ("D:\Apps" → "D:\Apps\Marlowen"; "D:\Apps\marlowen\" stays "D:\Apps\marlowen").
std::string WithProductFolder(const std::string& picked);

}  // namespace marlowen
