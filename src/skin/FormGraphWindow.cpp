#include "skin/FormGraphWindow.h"

#include "core/MultiLanguageException.h"
#include "platform/Platform.h"
#include "skin/GraphWindows.h"
#include "skin/HintWindow.h"
#include "skin/Resources.h"

namespace marlowen {

TFormGraphWindow::TFormGraphWindow(const TSkinContext& context, THintWindowControl& hintWindow)
    : Context_(context), HintWindow_(hintWindow) {
    Host_ = context.Platform.Windows.CreateForm(*this, kInitialWidth, kInitialHeight);
    Container_ = std::make_unique<TGraphContainer>(context, kInitialWidth, kInitialHeight);
    Host_->AttachWindow(Container_->Host());
    Container_->OnShowHint = [this](TCustomGraphContainer&, TCustomGraphControl& control, int32_t x, int32_t y) {
        ShowHintWindow(control, x, y);
    };
    Container_->OnHideHint = [this](TCustomGraphContainer&) { HideHintWindow(); };
    // Escape without a Cancel button closes the form the way the skin's close button does.
    Container_->OnCloseRequest = [this](TCustomGraphContainer&) { CloseBySkin(); };
    Container_->HintDelay = kFormHintDelay;
    Container_->HintTime = kFormHintTime;
    Host_->RemoveSystemMenuItem(SystemCommand::Maximize);
    Host_->RemoveSystemMenuItem(SystemCommand::Move);
    Host_->RemoveSystemMenuItem(SystemCommand::Size);
    // The form starts at the scale of the display it opens on.
    Container_->SetScale(TDisplayScale::FromDpi(Host_->Dpi()));
}

TFormGraphWindow::~TFormGraphWindow() {
    if (ModalChild_ != nullptr) {
        ModalChild_->ModalParent_ = nullptr;
        ModalChild_->Host_->SetOwner(nullptr);
        ModalChild_ = nullptr;
    }
    if (ModalParent_ != nullptr) {
        TFormGraphWindow* parent = ModalParent_;
        ModalParent_ = nullptr;
        parent->ModalChild_ = nullptr;
        parent->EnableInput();
    }
    FreeWindow();
    Container_.reset();
}

TGraphWindow* TFormGraphWindow::Window() const { return static_cast<TGraphWindow*>(Window_.Get()); }

void TFormGraphWindow::FreeWindow() {
    TCustomGraphControl* window = Window_.Get();
    Window_ = TWeakRef<TCustomGraphControl>();
    if (window != nullptr) Container_->Controls().Remove(window, true);
}

void TFormGraphWindow::LoadSkin(const std::string& documentName) {
    const TXMLNode& root = Context_.Resources.GetXML(documentName);
    const TDocumentInclusion building(Context_, documentName, root);
    LoadSkinNode(root);
}

void TFormGraphWindow::LoadSkinNode(const TXMLNode& node) {
    FreeWindow();
    auto loading = std::make_unique<TGraphWindow>(Context_);
    loading->LoadFromXML(node);  // a failure frees the new window on the way out
    Container_->TabWrap = node.Attributes().GetBooleanDef("TabWrap", true);
    TGraphWindow* window = Container_->Controls().AddControl(std::move(loading));
    Window_ = TWeakRef<TCustomGraphControl>(window);
    window->Invalidate();
    window->OnMinimize = [this] { Minimize(); };
    window->OnClose = [this] { CloseBySkin(); };
    FitToWindow(*window);
}

// The form is the window's size in device pixels at the container's scale.
void TFormGraphWindow::FitToWindow(TGraphWindow& window) {
    const TScreenRect bounds = Host_->Bounds();
    const TPoint size = Container_->UnitsToDevice(window.Width(), window.Height());
    Host_->SetBounds({bounds.Left, bounds.Top, SaturateInt32(int64_t{bounds.Left} + size.X),
                      SaturateInt32(int64_t{bounds.Top} + size.Y)});
    FormResized();
    window.ApplyShape();
}

void TFormGraphWindow::SetScale(const TDisplayScale& scale) {
    if (scale == Container_->Scale()) return;
    Container_->SetScale(scale);
    if (TGraphWindow* window = Window()) FitToWindow(*window);
}

void TFormGraphWindow::FormDpiChanged(int32_t dpi, const TScreenRect& suggested) {
    Host_->MoveTo(suggested.Left, suggested.Top);
    SetScale(TDisplayScale::FromDpi(dpi));
}

void TFormGraphWindow::CenterOnWorkArea() {
    if (Host_->Maximized()) return;
    const TScreenRect work = Host_->WorkArea();
    const TScreenRect bounds = Host_->Bounds();
    Host_->MoveTo((work.Left + work.Right - bounds.Width()) / 2, (work.Top + work.Bottom - bounds.Height()) / 2);
}

void TFormGraphWindow::SetModalParent(TFormGraphWindow* parent) {
    if (parent == ModalParent_) return;
    if (parent != nullptr) {
        if (ModalParent_ != nullptr) {
            throw EMultiLanguageException::Create(u"[eng]Form already modal.[rus]Форма уже открыта как модальная.");
        }
        if (parent->ModalChild_ != nullptr) {
            throw EMultiLanguageException::Create(
                u"[eng]Parent form already has modal.[rus]У родительской формы уже открыто модальное окно.");
        }
        ModalParent_ = parent;
        parent->ModalChild_ = this;
        Host_->SetOwner(&parent->Host());
        parent->DisableInput();
        return;
    }
    TFormGraphWindow* old = ModalParent_;
    ModalParent_ = nullptr;
    old->ModalChild_ = nullptr;
    Host_->SetOwner(nullptr);
    old->EnableInput();
    old->Host().BringToFront();
}

void TFormGraphWindow::ActivateForm(bool /*clicked*/) {
    TGraphWindow* window = Window();
    if (window == nullptr) return;
    if (ModalChild_ != nullptr) {
        ModalChild_->Host().BringToFront();
        return;
    }
    window->SetActive(true);
    TWindowHost& container = Container_->Host();
    if (container.CanFocus()) container.SetFocus();
}

void TFormGraphWindow::DeactivateForm() {
    if (TGraphWindow* window = Window()) window->SetActive(false);
}

void TFormGraphWindow::Minimize() {
    HideHintWindow();
    Host_->Minimize();
}

void TFormGraphWindow::CloseBySkin() { Host_->Close(); }

void TFormGraphWindow::ShowHintWindow(TCustomGraphControl& control, int32_t screenX, int32_t screenY) {
    const int32_t below = Container_->Scale().Device(kHintOffsetY);
    HintWindow_.ShowHintText(control.Hint, screenX, SaturateInt32(int64_t{screenY} + below));
}

void TFormGraphWindow::HideHintWindow() { HintWindow_.Hide(); }

void TFormGraphWindow::DisableInput() { Host_->SetEnabled(false); }

void TFormGraphWindow::EnableInput() { Host_->SetEnabled(true); }

void TFormGraphWindow::FormActivation(TFormActivation state) {
    switch (state) {
        case TFormActivation::Inactive: DeactivateForm(); break;
        case TFormActivation::Active: ActivateForm(false); break;
        case TFormActivation::ClickActive: ActivateForm(true); break;
    }
}

void TFormGraphWindow::FormHidden() {
    HideHintWindow();
    SetModalParent(nullptr);
}

void TFormGraphWindow::FormCloseRequest() {
    SetModalParent(nullptr);
    Host_->Hide();
    // A close may come from a skin button's click deep inside the container: the form goes when
    // the posted message arrives, not while its controls are still on the stack.
    if (FreeOnClose) Host_->PostMessage(kReleaseMessage);
}

void TFormGraphWindow::FormResized() {
    // The form's device pixels in units: every unit that reaches into them.
    const TScreenRect bounds = Host_->Bounds();
    const int32_t width = Container_->Scale().UnitsCovering(bounds.Width());
    const int32_t height = Container_->Scale().UnitsCovering(bounds.Height());
    Container_->SetSize(width, height);
    if (TCustomGraphControl* window = Window_.Get()) window->SetBounds(0, 0, width, height);
}

void TFormGraphWindow::FormMessage(uint32_t message) {
    if (message == kCloseMessage) {
        Host_->Close();
    } else if (message == kReleaseMessage) {
        delete this;  // last action
    }
}

}  // namespace marlowen
