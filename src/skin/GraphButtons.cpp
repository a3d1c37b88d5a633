#include "skin/GraphButtons.h"

#include <climits>
#include <vector>

#include "core/MultiLanguageException.h"
#include "core/StringHash.h"
#include "core/Utf.h"
#include "core/ValueItems.h"
#include "skin/Bitmap32.h"
#include "skin/GraphControlsRegistration.h"
#include "skin/GraphElementRegistry.h"
#include "skin/GraphLabels.h"
#include "skin/PaintContext.h"
#include "skin/Resources.h"
#include "skin/XMLNode.h"

namespace marlowen {

namespace {

// Factor of the generated hot image (146/128) and of the generated disabled alpha (128/256).
constexpr int32_t kHotBrightness = 146;
constexpr int32_t kDisabledAlpha = 128;

TRect WholeImage(const TBitmap32& image) { return {0, 0, image.Width() - 1, image.Height() - 1}; }

bool OpaqueAt(const TBitmap32& image, int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= image.Width() || y >= image.Height()) return false;
    return (image.Row(y)[x] >> 24) != 0;
}

std::unique_ptr<TBitmap32> CopyOf(const TBitmap32& image) {
    auto copy = std::make_unique<TBitmap32>();
    copy->Assign(image);
    return copy;
}

}  // namespace

TButtonStyle ButtonStyleFromName(const std::string& name) {
    if (TextEquals(name, "Button")) return TButtonStyle::Button;
    if (TextEquals(name, "FireButton")) return TButtonStyle::FireButton;
    if (TextEquals(name, "CheckButton")) return TButtonStyle::CheckButton;
    if (TextEquals(name, "RadioButton")) return TButtonStyle::RadioButton;
    throw EMultiLanguageException::CreateFmt(
        u"[rus]Неверное значение для Button Style=\"%s\".[eng]Invalid button value Style=\"%s\".", {Utf8ToUtf16(name)});
}

namespace {

// An image button of an element: "Left", "Top", "Path" (required), "Style" and "Group" make it,
// then the shared attributes load.
template <class T>
std::unique_ptr<TCustomGraphControl> CreateImageButton(const TSkinContext& context, const TXMLNode& node) {
    const TValueItems& a = node.Attributes();
    const int32_t left = a.GetInteger("Left");
    const int32_t top = a.GetInteger("Top");
    const std::string path = a.GetText("Path");
    const TButtonStyle style = ButtonStyleFromName(a.GetTextDef("Style", "Button"));
    const int32_t group = a.GetIntegerDef("Group", 0);
    auto button = std::make_unique<T>(context, left, top, path, style, group);
    button->LoadFromXML(node);
    return button;
}

}  // namespace

// --- TCustomGraphButton ---

TCustomGraphButton::TCustomGraphButton(const TSkinContext& context, TButtonStyle style, int32_t group)
    : TCustomGraphControl(context), Style_(style), Group_(group) {
    // Buttons take input: they are in the Tab order unless a document says otherwise.
    TabStop = true;
}

void TCustomGraphButton::LoadFromXML(const TXMLNode& node) {
    TCustomGraphControl::LoadFromXML(node);
    const TValueItems& a = node.Attributes();
    Default = a.GetBooleanDef("Default", Default);
    Cancel = a.GetBooleanDef("Cancel", Cancel);
}

void TCustomGraphButton::KeyClick() {
    switch (Style_) {
        case TButtonStyle::Button:
        case TButtonStyle::FireButton: break;
        case TButtonStyle::CheckButton: SetDown(!Down_); break;
        case TButtonStyle::RadioButton:
            if (Down_) return;
            SetDown(true);
            break;
    }
    Click();
}

void TCustomGraphButton::DoKeyDown(uint32_t virtualKey, bool /*extended*/, bool repeated, bool& processed) {
    processed = virtualKey == VirtualKey::Return || virtualKey == VirtualKey::Space;
    if (!processed || MousePressed_) return;
    if (virtualKey == VirtualKey::Return) {
        AfterEvent([this] { KeyClick(); });
        return;
    }
    if (repeated || KeyPressed_) return;
    KeyPressed_ = true;
    if (!Down_) SetState(TButtonState::Pressed);
}

void TCustomGraphButton::DoKeyUp(uint32_t virtualKey, bool /*extended*/, bool& processed) {
    processed = virtualKey == VirtualKey::Space;
    if (!processed || !KeyPressed_) return;
    KeyPressed_ = false;
    if (!Down_) SetState(MouseInside() ? TButtonState::Hot : TButtonState::Normal);
    AfterEvent([this] { KeyClick(); });
}

void TCustomGraphButton::DoExit() {
    if (!KeyPressed_) return;
    // The focus left while the space bar was held: no click.
    KeyPressed_ = false;
    if (!Down_) SetState(MouseInside() ? TButtonState::Hot : TButtonState::Normal);
}

void TCustomGraphButton::SetState(TButtonState state) {
    if (state == State_) return;
    State_ = state;
    // Relinking keeps the control in its list, so the container keeps its capture and hover.
    const bool onTop = state == TButtonState::Hot || state == TButtonState::Pressed;
    if (onTop && Owner() != nullptr && Owner()->Last() != this) Owner()->MoveToEnd(this);
    Invalidate();
    LookChanged();
}

bool TCustomGraphButton::Hits(int32_t x, int32_t y) {
    return x >= 0 && y >= 0 && x < Width() && y < Height() && HitTest(x, y);
}

void TCustomGraphButton::UpdateState(int32_t x, int32_t y) {
    if (Down_) {
        SetState(TButtonState::Down);
    } else if (Hits(x, y)) {
        SetState(MousePressed_ ? TButtonState::Pressed : TButtonState::Hot);
    } else {
        SetState(TButtonState::Normal);
    }
}

void TCustomGraphButton::SetDown(bool down) {
    if (down == Down_) return;
    Down_ = down;
    NotifyAccessible(AccEvent::StateChange);
    if (!down) {
        SetState(MouseInside() ? TButtonState::Hot : TButtonState::Normal);
        return;
    }
    if (Style_ == TButtonStyle::RadioButton && Owner() != nullptr) {
        // Released buttons may move within the list (a hot one goes last): walk a snapshot.
        std::vector<TWeakRef<TCustomGraphControl>> others;
        for (TCustomItem* item = Owner()->First(); item != nullptr; item = item->Next()) {
            auto* button = dynamic_cast<TCustomGraphButton*>(item);
            if (button != nullptr && button != this && button->Style_ == TButtonStyle::RadioButton &&
                button->Group_ == Group_) {
                others.emplace_back(button);
            }
        }
        for (const TWeakRef<TCustomGraphControl>& ref : others) {
            if (auto* button = static_cast<TCustomGraphButton*>(ref.Get())) button->SetDown(false);
        }
    }
    SetState(TButtonState::Down);
}

void TCustomGraphButton::Click() { RaiseEvent(OnClick, *this); }

bool TCustomGraphButton::IsTabTarget() const {
    if (!TabStop || Style_ != TButtonStyle::RadioButton || Owner() == nullptr) return TabStop;
    const TCustomGraphButton* first = nullptr;
    for (TCustomItem* item = Owner()->First(); item != nullptr; item = item->Next()) {
        const auto* button = dynamic_cast<const TCustomGraphButton*>(item);
        if (button == nullptr || button->Style_ != TButtonStyle::RadioButton || button->Group_ != Group_ ||
            !button->TabStop || !button->Visible() || !button->Enabled()) {
            continue;
        }
        if (button->Down_) return button == this;
        if (first == nullptr) first = button;
    }
    return first == nullptr || first == this;
}

void TCustomGraphButton::SetEnabled(bool value) {
    if (value == Enabled()) return;
    TCustomGraphControl::SetEnabled(value);
    LookChanged();
}

void TCustomGraphButton::StopRepeat() {
    StopAnimation();
    Repeating_ = false;
    FirstDelay_ = false;
}

void TCustomGraphButton::DoLButtonDown(int32_t /*x*/, int32_t /*y*/, TShiftState /*shift*/) {
    if (TabStop && Style_ != TButtonStyle::FireButton) SetFocused(true);
    switch (Style_) {
        case TButtonStyle::Button:
            MousePressed_ = true;
            SetState(TButtonState::Pressed);
            CaptureMouse();
            break;
        case TButtonStyle::FireButton: {
            MousePressed_ = true;
            SetState(TButtonState::Pressed);
            CaptureMouse();
            FirstDelay_ = true;
            Repeating_ = true;
            // The click waits for the press to end; the first frame's event follows it.
            AfterEvent([this] { Click(); });
            Animate(1, 2, 1, 1, kFirstDelayFrameTime);
            break;
        }
        case TButtonStyle::CheckButton:
            MousePressed_ = true;
            if (State_ != TButtonState::Down) SetState(TButtonState::Pressed);
            CaptureMouse();
            break;
        case TButtonStyle::RadioButton:
            if (!Down_) {
                SetDown(true);
                Click();
            }
            break;
    }
}

void TCustomGraphButton::DoLButtonUp(int32_t x, int32_t y, TShiftState /*shift*/) {
    if (!MousePressed_) return;
    const TButtonState remembered = State_;
    // Exactly one capture-lost step: through the container when this button holds the capture.
    if (IsCaptured()) {
        ReleaseMouse();
    } else {
        CaptureLost();
    }
    if (!Hits(x, y)) return;
    SetState(remembered);
    // The click is raised once the release is over; frames the new look starts raise their
    // events after it.
    switch (Style_) {
        case TButtonStyle::Button:
            AfterEvent([this] { Click(); });
            UpdateState(x, y);
            break;
        case TButtonStyle::FireButton:
            StopRepeat();
            UpdateState(x, y);
            break;
        case TButtonStyle::CheckButton:
            AfterEvent([this] { Click(); });
            SetDown(!Down_);
            UpdateState(x, y);
            break;
        case TButtonStyle::RadioButton: break;
    }
}

void TCustomGraphButton::DoMouseMove(int32_t x, int32_t y, TShiftState /*shift*/) { UpdateState(x, y); }

void TCustomGraphButton::DoMouseLeave() {
    if (State_ != TButtonState::Down) SetState(TButtonState::Normal);
}

void TCustomGraphButton::CaptureLost() {
    if (State_ != TButtonState::Down) SetState(TButtonState::Normal);
    if (Repeating_) StopRepeat();
    MousePressed_ = false;
}

void TCustomGraphButton::DoFrameChanged() {
    TCustomGraphControl::DoFrameChanged();
    if (Style_ == TButtonStyle::FireButton && State_ == TButtonState::Pressed && Repeating_ && !FirstDelay_) Click();
}

void TCustomGraphButton::DoAnimationLooped() {
    if (Repeating_ && Style_ == TButtonStyle::FireButton && FirstDelay_) {
        // The first frame of the repeat stage comes while the delay still counts: no click. Its
        // OnFrameChanged may free the button, so the delay ends after the loop's event.
        AfterEvent([this] { FirstDelay_ = false; });
        Animate(1, INT32_MAX, 1, 0, kRepeatFrameTime);
    }
}

// --- TGraphButton ---

TGraphButton::TGraphButton(const TSkinContext& context, int32_t left, int32_t top, const std::string& folder,
                           TButtonStyle style, int32_t group, int32_t transform, TNotifyEvent onClick)
    : TCustomGraphButton(context, style, group), Folder_(folder) {
    OnClick = std::move(onClick);
    LoadImages(transform);
    SetBoundsDirect(left, top, Normal_->Width(), Normal_->Height());
}

TGraphButton::~TGraphButton() = default;

void TGraphButton::LoadImages(int32_t transform) {
    const TResources& resources = Context().Resources;
    Normal_ = &resources.GetImage(Folder_ + "\\normal.bmp");
    Pressed_ = &resources.GetImage(Folder_ + "\\pressed.bmp");
    Hot_ = resources.FindImage(Folder_ + "\\hot.bmp");
    Disabled_ = resources.FindImage(Folder_ + "\\disabled.bmp");
    if (Hot_ == nullptr) {
        Owned_[2] = CopyOf(*Normal_);
        Owned_[2]->ChangeWithVariants([](TBitmap32& b) { b.Brighten(WholeImage(b), kHotBrightness); });
        Hot_ = Owned_[2].get();
    }
    if (Disabled_ == nullptr) {
        Owned_[3] = CopyOf(*Normal_);
        Owned_[3]->ChangeWithVariants([](TBitmap32& b) { b.ScaleAlpha(WholeImage(b), kDisabledAlpha); });
        Disabled_ = Owned_[3].get();
    }
    if (transform < MirrorLeftRight || transform > RotateLeftMirrored) return;
    const TBitmap32** images[4] = {&Normal_, &Pressed_, &Hot_, &Disabled_};
    for (int i = 0; i < 4; ++i) {
        if (Owned_[i] == nullptr) Owned_[i] = std::make_unique<TBitmap32>();
        Owned_[i]->AssignTransformed(**images[i], transform == RotateLeftMirrored ? int32_t{RotateLeft} : transform);
        if (transform == RotateLeftMirrored) Owned_[i]->Transform(MirrorLeftRight);
        *images[i] = Owned_[i].get();
    }
}

std::unique_ptr<TCustomGraphControl> TGraphButton::CreateElement(TCustomGraphControl* /*parent*/,
                                                                 const TSkinContext& context, const TXMLNode& node) {
    return CreateImageButton<TGraphButton>(context, node);
}

void TGraphButton::SetOpacity(int32_t opacity) {
    if (opacity == Opacity_) return;
    Opacity_ = opacity;
    Invalidate();
}

void TGraphButton::SetImageAlignment(TImageAlignment horizontal, TImageAlignment vertical) {
    if (horizontal == HorzAlignment_ && vertical == VertAlignment_) return;
    HorzAlignment_ = horizontal;
    VertAlignment_ = vertical;
    Invalidate();
}

void TGraphButton::Paint(const TPaintContext& paint) { PaintInState(paint, State()); }

void TGraphButton::PaintInState(const TPaintContext& paint, TButtonState state) const {
    const TBitmap32* image = Normal_;
    if (!Enabled()) {
        image = Disabled_;
    } else if (state == TButtonState::Hot) {
        image = Hot_;
    } else if (state == TButtonState::Pressed || state == TButtonState::Down) {
        image = Pressed_;
    }
    const int32_t x = ImageAlignOffset(HorzAlignment_, Width(), Normal_->Width());
    const int32_t y = ImageAlignOffset(VertAlignment_, Height(), Normal_->Height());
    // Not clipped to the button: an image larger than the button (or one placed by the alignment
    // beyond it) shows whole, within what the parent lets it paint.
    paint.Draw(*image, x, y, Opacity_ == -1 ? 256 : Opacity_);
}

bool TGraphButton::HitTest(int32_t x, int32_t y) {
    if (!HitTestByAlpha) return true;
    return OpaqueAt(*Normal_, x - ImageAlignOffset(HorzAlignment_, Width(), Normal_->Width()),
                    y - ImageAlignOffset(VertAlignment_, Height(), Normal_->Height()));
}

// --- TAnimateButton ---

TAnimateButton::TAnimateButton(const TSkinContext& context, int32_t left, int32_t top, const std::string& folder,
                               TButtonStyle style, int32_t group, TNotifyEvent onClick)
    : TCustomGraphButton(context, style, group), Folder_(folder) {
    OnClick = std::move(onClick);
    const TResources& resources = Context().Resources;
    Normal_ = &resources.GetImage(Folder_ + "\\normal.bmp");
    Pressed_ = &resources.GetImage(Folder_ + "\\pressed.bmp");
    Disabled_ = resources.FindImage(Folder_ + "\\disabled.bmp");
    while (resources.FindImage(HotFrameName(HotFrameCount_ + 1)) != nullptr) ++HotFrameCount_;
    if (HotFrameCount_ == 0) throw EImageNotFound(HotFrameName(1));
    SetFrameTime(kHotFrameTime);
    SetBoundsDirect(left, top, Normal_->Width(), Normal_->Height());
}

std::string TAnimateButton::HotFrameName(int32_t frame) const {
    return Folder_ + "\\hot" + std::to_string(frame) + ".bmp";
}

std::unique_ptr<TCustomGraphControl> TAnimateButton::CreateElement(TCustomGraphControl* /*parent*/,
                                                                   const TSkinContext& context, const TXMLNode& node) {
    return CreateImageButton<TAnimateButton>(context, node);
}

void TAnimateButton::SetState(TButtonState state) {
    const TButtonState old = State();
    if (state == old) return;
    // A frame time of 0 (from a document) would make the hot animation raise on every hover.
    const int32_t frameTime = FrameTime() > 0 ? FrameTime() : kHotFrameTime;
    // The state first, then the hot frames.
    TCustomGraphButton::SetState(state);
    if (state == TButtonState::Hot) {
        if (Animated()) {
            SetRepeatCount(1);
        } else if (old == TButtonState::Normal) {
            Animate(1, HotFrameCount_, 1, 1, frameTime);
        } else {
            Animate(HotFrameCount_, HotFrameCount_, HotFrameCount_, 1, frameTime);
        }
    } else if (state == TButtonState::Pressed || state == TButtonState::Down) {
        if (!Repeating()) StopAnimation();
    } else if (old == TButtonState::Hot && Animated()) {
        SetRepeatCount(1);  // the hot frames play out
    }
}

void TAnimateButton::Paint(const TPaintContext& paint) {
    const TPaintContext inside = paint.ClippedTo({0, 0, Width(), Height()});
    if (!Enabled()) {
        if (Disabled_ != nullptr) {
            inside.Draw(*Disabled_, 0, 0);
            return;
        }
        TBitmap32 grey;
        grey.Assign(*Normal_);
        grey.ChangeWithVariants([](TBitmap32& b) { b.Grayscale(WholeImage(b)); });
        inside.Draw(grey, 0, 0);
        return;
    }
    const TBitmap32* image = Normal_;
    switch (State()) {
        case TButtonState::Hot: image = &Context().Resources.GetImage(HotFrameName(Frame())); break;
        case TButtonState::Pressed:
        case TButtonState::Down: image = Pressed_; break;
        case TButtonState::Normal:
            if (Animated() && !Repeating()) image = &Context().Resources.GetImage(HotFrameName(Frame()));
            break;
    }
    inside.Draw(*image, 0, 0);
}

void TAnimateButton::DoAnimationLooped() {
    // A hot animation that ends on the frame it shows changes no frame, yet a button left in the
    // meantime now shows its normal image.
    Invalidate();
    TCustomGraphButton::DoAnimationLooped();
}

bool TAnimateButton::HitTest(int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= Normal_->Width() || y >= Normal_->Height()) return false;
    return !HitTestByAlpha || OpaqueAt(*Normal_, x, y);
}

// --- TGraphTextButton ---

TGraphTextButton::TGraphTextButton(const TSkinContext& context, int32_t left, int32_t top, const std::string& folder,
                                   TButtonStyle style, int32_t group, int32_t transform, TNotifyEvent onClick,
                                   const std::u16string& caption, const TFontImages* font,
                                   const TButtonTextColors& colors)
    : TGraphButton(context, left, top, folder, style, group, transform, std::move(onClick)), Label_(nullptr),
      Colors_(colors) {
    auto label = std::make_unique<TGraphTextLabel>(context, font, colors.Normal, false);
    label->SetBounds(0, 0, Width(), Height());
    label->Alignment = THorzAlignment::Center;
    label->VerticalAlignment = TVerticalAlignment::Center;
    label->Transparent = true;  // the mouse goes to the button
    label->SetCaption(caption);
    Label_ = Controls().AddControl(std::move(label));
}

TGraphTextButton::~TGraphTextButton() = default;

std::unique_ptr<TCustomGraphControl> TGraphTextButton::CreateElement(TCustomGraphControl* /*parent*/,
                                                                     const TSkinContext& context,
                                                                     const TXMLNode& node) {
    const TValueItems& a = node.Attributes();
    const std::string styleName = a.GetText("Style");
    const int32_t left = a.GetInteger("Left");
    const int32_t top = a.GetInteger("Top");
    const std::u16string caption = a.GetWideText("Caption");
    const int32_t group = a.GetIntegerDef("Group", 0);

    const TValueItems& s = context.Resources.GetXML(styleName).Attributes();
    const TFontImages& font = context.Resources.GetFont(s.GetText("Font"));
    TButtonTextColors colors;
    colors.Normal = s.GetColor("NormalTextColor");
    colors.Hot = s.GetColor("HotTextColor");
    colors.Pressed = s.GetColor("PressedTextColor");
    colors.Disabled = s.GetColor("DisabledTextColor");
    const std::string folder = s.GetText("ButtonFolder");
    const TButtonStyle style = ButtonStyleFromName(s.GetTextDef("Style", "Button"));
    const int32_t horzOffset = s.GetIntegerDef("HorzPressedOffset", 0);
    const int32_t vertOffset = s.GetIntegerDef("VertPressedOffset", 0);

    auto button = std::make_unique<TGraphTextButton>(context, left, top, folder, style, group, NoTransform, nullptr,
                                                     caption, &font, colors);
    button->HorzPressedOffset = horzOffset;
    button->VertPressedOffset = vertOffset;
    button->LoadFromXML(node);
    return button;
}

void TGraphTextButton::LoadFromXML(const TXMLNode& node) {
    TGraphButton::LoadFromXML(node);
    // The shared attributes may change the size and the enabled flag.
    LookChanged();
}

void TGraphTextButton::DoResized() {
    LookChanged();
    TGraphButton::DoResized();
}

void TGraphTextButton::LookChanged() {
    if (Label_ == nullptr) return;
    int32_t x = 0;
    int32_t y = 0;
    uint32_t colour = Colors_.Normal;
    if (!Enabled()) {
        colour = Colors_.Disabled;
    } else if (State() == TButtonState::Hot) {
        colour = Colors_.Hot;
    } else if (State() == TButtonState::Pressed || State() == TButtonState::Down) {
        x = HorzPressedOffset;
        y = VertPressedOffset;
        colour = Colors_.Pressed;
    }
    Label_->SetBounds(x, y, Width(), Height());
    Label_->SetTextColor(colour);
}

// --- registration ---

void RegisterButtonElements(TGraphElementRegistry& registry) {
    registry.Register("Button", &TGraphTextButton::CreateElement);
    registry.Register("GraphButton", &TGraphButton::CreateElement);
    registry.Register("AnimateButton", &TAnimateButton::CreateElement);
}

}  // namespace marlowen
