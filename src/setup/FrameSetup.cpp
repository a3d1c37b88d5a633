#include "setup/FrameSetup.h"

#include "core/Exception.h"
#include "platform/Application.h"
#include "platform/Platform.h"
#include "setup/FormSetup.h"
#include "setup/SetupModule.h"
#include "setup/SetupTexts.h"
#include "skin/GraphButtons.h"

namespace marlowen {

namespace {

constexpr std::u16string_view kConfirmExit =
    u"[rus]Вы действительно хотите прервать работу программы установки?"
    u"[eng]Setup is not complete. If you quit now, the program will not be installed. You may run the Setup "
    u"program again at another time to complete the installation. Exit Setup?";

// The named control when it is a button; none otherwise.
TCustomGraphButton* FindButton(const TGraphControls& controls, std::string_view name) {
    return dynamic_cast<TCustomGraphButton*>(controls.FindControl(name));
}

}  // namespace

TFrameSetup::TFrameSetup(const TSkinContext& context, TSetupModule& module)
    : TGraphFrame(context), Module_(module) {}

void TFrameSetup::LoadFromXML(const TXMLNode& node) {
    TGraphFrame::LoadFromXML(node);
    if (TCustomGraphButton* next = FindButton(Controls(), "ButtonNext")) {
        ButtonNext_ = TWeakRef<TCustomGraphControl>(next);
        next->OnClick = Reaction(&TFrameSetup::Next);
    }
    if (TCustomGraphButton* prev = FindButton(Controls(), "ButtonPrev")) {
        ButtonPrev_ = TWeakRef<TCustomGraphControl>(prev);
        prev->OnClick = Reaction(&TFrameSetup::Back);
    }
}

bool TFrameSetup::CanClose() {
    TApplication& application = Context().Platform.Application;
    return application.MessageBox(SetupTexts::Resolve(kConfirmExit), application.Title(),
                                  MessageBoxFlag::IconQuestion | MessageBoxFlag::YesNo) == MessageBoxAnswer::Yes;
}

TCustomGraphButton* TFrameSetup::ButtonNext() const { return static_cast<TCustomGraphButton*>(ButtonNext_.Get()); }

TCustomGraphButton* TFrameSetup::ButtonPrev() const { return static_cast<TCustomGraphButton*>(ButtonPrev_.Get()); }

TFormSetup& TFrameSetup::Form() const {
    if (Form_ == nullptr) throw Exception("The setup page is not shown in a setup window.");
    return *Form_;
}


void TFrameSetup::React(TApplication& application, const std::function<void()>& reaction) {
    try {
        reaction();
    } catch (const Exception& error) {
        application.MessageBox(error.Message(), application.Title(), MessageBoxFlag::IconError);
    }
}

TNotifyEvent TFrameSetup::Reaction(void (TFrameSetup::*reaction)()) {
    return [this, reaction](TCustomGraphControl&) {
        // A click that waited while the page was busy must not run the page again.
        if (Form_ != nullptr && Form_->Busy()) return;
        React(Context().Platform.Application, [this, reaction] { (this->*reaction)(); });
    };
}

}  // namespace marlowen
