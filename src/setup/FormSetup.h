#pragma once

#include "skin/FormGraphWindow.h"
#include "skin/GraphControl.h"
#include "skin/SkinContext.h"

namespace marlowen {

class TFrameSetup;
class TSetupModule;
struct TSetupPageClass;

// The setup window: a skinned form that shows one wizard page at a time over the window loaded
// from "XML\Install\Window.xml", asks the page before it closes and runs modally until the
// wizard ends.
class TFormSetup : public TFormGraphWindow {
public:
    static constexpr const char* kWindowDocument = "XML\\Install\\Window.xml";
    static constexpr const char* kHintDocument = "XML\\Install\\Hint.xml";

    // Borrows the program's hint window, which takes its look from the hint document, and the
    // driver whose pages it shows.
    TFormSetup(const TSkinContext& context, THintWindowControl& hintWindow, TSetupModule& module);
    ~TFormSetup() override;

    // Loads the window and the hint look, shows the first page, takes the application title as
    // caption, centres itself on the work area and runs modally; returns when the form closes or
    // the application terminates. Errors of loading and of the first page reach the caller.
    void Execute(const TSetupPageClass& firstPage);

    // Replaces the page shown by a new page of the class, all or nothing: if the new page cannot
    // be built or entered, the error reaches the caller and the old page stays. Once the new page
    // is in, the old one is freed (also when the call comes from its own button) and the new
    // page's Shown runs; an error there is shown in a box and closes the form without a question.
    void ShowPage(const TSetupPageClass& pageClass);

    TFrameSetup* CurrentPage() const;
    bool ErrorClosed() const { return ErrorClosed_; }

    // Whether the page is busy with a long step (the install): input is off, closing refused.
    bool Busy() const { return Busy_ > 0; }
    // Turns input off for its lifetime (nests); the form and its page ignore clicks and closes.
    class TBusyScope {
    public:
        explicit TBusyScope(TFormSetup& form);
        ~TBusyScope();
        TBusyScope(const TBusyScope&) = delete;
        TBusyScope& operator=(const TBusyScope&) = delete;

    private:
        TFormSetup& Form_;
    };

    // The close query: after an error the form closes at once; otherwise the page decides.
    virtual bool CloseQuery();
    void FormCloseRequest() override;

private:
    // Where pages go: the window's child list, beneath its foreground layers.
    void PlacePage(std::unique_ptr<TFrameSetup> page);

    const TSkinContext& Context_;
    THintWindowControl& Hint_;
    TSetupModule& Module_;
    TWeakRef<TCustomGraphControl> CurrentPage_;
    bool ErrorClosed_ = false;
    int32_t Busy_ = 0;
};

// Runs the driver's install wizard from its first page in a new setup window that borrows the
// program's hint popup; returns when the window has closed.
void RunSetupWizard(const TSkinContext& context, TSetupModule& module);

}  // namespace marlowen
