#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "skin/GraphFrames.h"

namespace marlowen {

class TApplication;
class TCustomGraphButton;
class TFormSetup;
class TFrameSetup;
class TSetupModule;

// A wizard page class: its name and the factory that builds a page of it from its document for
// the driver of the running setup. Pages name the page they move to by its class; tests and
// other programs bring their own.
struct TSetupPageClass {
    using TFactory = std::unique_ptr<TFrameSetup> (*)(const TSkinContext& context, TSetupModule& module);

    std::string_view Name;
    TFactory Create = nullptr;
};

// The base of the wizard pages: a frame built from the page's document whose "ButtonNext" and
// "ButtonPrev" (both optional) call Next and Back. A page lives in a TFormSetup, which owns it
// through its window's tree and frees it when it moves on, often from inside the page's own
// button click: page reactions therefore do nothing after asking the form for another page.
class TFrameSetup : public TGraphFrame {
public:
    // An empty page of the running setup's driver (borrowed: it outlives its pages); subclasses
    // build themselves from their documents.
    TFrameSetup(const TSkinContext& context, TSetupModule& module);

    // The frame, then the hook-up of "ButtonNext" and "ButtonPrev".
    void LoadFromXML(const TXMLNode& node) override;

    // Fills the page's controls before it is shown.
    virtual void Enter() {}
    // After the page is in the window.
    virtual void Shown() {}
    virtual void Next() {}
    virtual void Back() {}
    // Whether the window may close now: asks the person (Yes/No, question icon).
    virtual bool CanClose();

    TCustomGraphButton* ButtonNext() const;
    TCustomGraphButton* ButtonPrev() const;

    // The form showing the page; set before Enter. Raises when the page is not in a form.
    TFormSetup& Form() const;
    void SetForm(TFormSetup* form) { Form_ = form; }

protected:
    // The driver of the running setup.
    TSetupModule& Module() const { return Module_; }
    // Runs a reaction to the person's input as the program's event handlers run: an error shows
    // its message in an error box and the window stays as it is. Nothing of the page is touched
    // after the reaction, which may have freed it.
    static void React(TApplication& application, const std::function<void()>& reaction);
    // The click handler that runs one of the page's reactions through React; a click that comes
    // while the form is busy is dropped.
    TNotifyEvent Reaction(void (TFrameSetup::*reaction)());
    template <class Page>
    TNotifyEvent Reaction(void (Page::*reaction)()) {
        return Reaction(static_cast<void (TFrameSetup::*)()>(reaction));
    }

private:
    TSetupModule& Module_;
    TWeakRef<TCustomGraphControl> ButtonNext_;
    TWeakRef<TCustomGraphControl> ButtonPrev_;
    TFormSetup* Form_ = nullptr;
};

// The factory of a page class whose pages are T.
template <class T>
std::unique_ptr<TFrameSetup> MakeSetupPage(const TSkinContext& context, TSetupModule& module) {
    return std::make_unique<T>(context, module);
}

}  // namespace marlowen
