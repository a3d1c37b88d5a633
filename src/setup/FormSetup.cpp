#include "setup/FormSetup.h"

#include "core/Exception.h"
#include "core/Utf.h"
#include "platform/Application.h"
#include "platform/Platform.h"
#include "platform/WindowHost.h"
#include "setup/FrameSetup.h"
#include "setup/SetupModule.h"
#include "setup/SetupTexts.h"
#include "skin/GraphAccessibleTree.h"
#include "skin/GraphWindows.h"
#include "skin/HintWindow.h"
#include "skin/Resources.h"

namespace marlowen {

namespace {

constexpr std::u16string_view kSetupError =
    u"[rus]Во время установки произошла ошибка. Установка не завершена.\rОшибка: [eng]Setup error: ";

}  // namespace

TFormSetup::TFormSetup(const TSkinContext& context, THintWindowControl& hintWindow, TSetupModule& module)
    : TFormGraphWindow(context, hintWindow), Context_(context), Hint_(hintWindow), Module_(module) {}

// The pages are controls of the window's tree, which the base frees.
TFormSetup::~TFormSetup() = default;

TFrameSetup* TFormSetup::CurrentPage() const { return static_cast<TFrameSetup*>(CurrentPage_.Get()); }

void TFormSetup::Execute(const TSetupPageClass& firstPage) {
    LoadSkin(kWindowDocument);
    Hint_.ApplyHintStyle(Context_.Resources.GetXML(kHintDocument));
    ShowPage(firstPage);
    // A first page whose Shown failed has closed the form already.
    if (ErrorClosed_) return;
    TApplication& application = Context_.Platform.Application;
    if (TGraphWindow* window = Window()) window->SetWindowCaption(Utf8ToUtf16(application.Title()));
    CenterOnWorkArea();
    Host().RunModal(application);
}

void TFormSetup::ShowPage(const TSetupPageClass& pageClass) {
    if (Window() == nullptr) throw Exception("The setup window has no skin to show a page on.");
    std::unique_ptr<TFrameSetup> page = pageClass.Create(Context_, Module_);
    page->SetForm(this);
    page->SetBounds(0, 0, Container().Width(), Container().Height());
    page->Enter();  // an error frees the new page on the way out; the old one stays

    TFrameSetup* old = CurrentPage();
    TFrameSetup* shown = page.get();
    PlacePage(std::move(page));
    CurrentPage_ = TWeakRef<TCustomGraphControl>(shown);
    if (old != nullptr) old->ParentControl()->Controls().Remove(old, true);
    // Screen readers read a new page as they read a new dialog.
    Container().Accessible().Notify(AccEvent::DialogStart, nullptr);

    try {
        shown->Shown();
    } catch (const Exception& error) {
        TApplication& application = Context_.Platform.Application;
        application.MessageBox(SetupTexts::Resolve(kSetupError) + "\"" + error.Message() + "\".", application.Title(),
                               MessageBoxFlag::IconError);
        ErrorClosed_ = true;
        Host().Close();
    }
}

void TFormSetup::PlacePage(std::unique_ptr<TFrameSetup> page) {
    TGraphWindow& window = *Window();
    TGraphControls& controls = window.Controls();
    TFrameSetup* placed = controls.AddControl(std::move(page));
    // The foreground layers (the caption, the close button, edge shading) stay over every page.
    for (TGraphWindowFrame* layer : {window.ActiveForeground(), window.PassiveForeground()}) {
        if (layer != nullptr) controls.MoveToEnd(layer);
    }
    if (placed->Visible()) placed->Invalidate();
}

bool TFormSetup::CloseQuery() {
    if (ErrorClosed_) return true;
    if (Busy()) return false;
    TFrameSetup* page = CurrentPage();
    return page == nullptr || page->CanClose();
}

void TFormSetup::FormCloseRequest() {
    if (!CloseQuery()) return;
    TFormGraphWindow::FormCloseRequest();
}

TFormSetup::TBusyScope::TBusyScope(TFormSetup& form) : Form_(form) {
    if (Form_.Busy_++ == 0) Form_.DisableInput();
}

TFormSetup::TBusyScope::~TBusyScope() {
    if (--Form_.Busy_ == 0) Form_.EnableInput();
}

void RunSetupWizard(const TSkinContext& context, TSetupModule& module) {
    THintWindowControl hint(context.Platform.Windows.HintPopup());
    TFormSetup form(context, hint, module);
    form.Execute(module.FirstPageClass());
    form.Host().Hide();
}

}  // namespace marlowen
