#include "skin/GraphCheckBoxes.h"

#include <algorithm>
#include <typeinfo>
#include <vector>

#include "core/TaggedString.h"
#include "core/ValueItems.h"
#include "skin/AccessKey.h"
#include "skin/Bitmap32.h"
#include "skin/GraphControlsRegistration.h"
#include "skin/GraphElementRegistry.h"
#include "skin/GraphContainer.h"
#include "skin/PaintContext.h"
#include "skin/Resources.h"
#include "skin/XMLNode.h"

namespace marlowen {

namespace {

constexpr int32_t kNormalRow = 0;
constexpr int32_t kPressedRow = 1;
constexpr int32_t kHotRow = 2;
constexpr int32_t kDisabledRow = 3;
constexpr const char* kRowNames[TGraphCheckBox::kRows] = {"normal", "pressed", "hot", "disabled"};
constexpr const char* kColumnSuffixes[TGraphCheckBox::kColumns] = {"_checked", "", "_grayed"};

constexpr int32_t kBrightenFactor = 146;  // hot = normal * 146 / 128
constexpr uint32_t kFocusColor = 0xFF000000;

int32_t Column(TCheckState state) { return static_cast<int32_t>(state); }

TRect WholeImage(const TBitmap32& image) { return {0, 0, image.Width() - 1, image.Height() - 1}; }

// Unchecks every other box of exactly the class of `box` with its group under the same parent
// (or among the same roots).
template <class T>
void UncheckGroupOf(T& box) {
    auto* siblings = dynamic_cast<TGraphControls*>(box.Owner());
    if (siblings == nullptr) return;
    for (TCustomGraphControl* control : siblings->Controls()) {
        if (control == &box || typeid(*control) != typeid(box)) continue;
        auto& other = static_cast<T&>(*control);
        if (other.Group == box.Group) other.SetCheckState(TCheckState::Unchecked);
    }
}

template <class T>
TGraphCheckBox* NeighbourInGroup(T& box, bool forward) {
    auto* siblings = dynamic_cast<TGraphControls*>(box.Owner());
    if (siblings == nullptr) return nullptr;
    std::vector<T*> group;
    for (TCustomGraphControl* control : siblings->Controls()) {
        if (typeid(*control) != typeid(box)) continue;
        auto& other = static_cast<T&>(*control);
        if (other.Group == box.Group && (&other == &box || (other.Visible() && other.Enabled()))) group.push_back(&other);
    }
    if (group.size() < 2) return nullptr;
    const auto at = static_cast<size_t>(std::find(group.begin(), group.end(), &box) - group.begin());
    const size_t next = forward ? (at + 1) % group.size() : (at + group.size() - 1) % group.size();
    return group[next];
}

// Whether the box is its group's tab stop: the checked member that takes the focus, else the
// first such member.
template <class T>
bool IsGroupTabStop(const T& box) {
    if (!box.TabStop) return false;
    auto* siblings = dynamic_cast<TGraphControls*>(box.Owner());
    if (siblings == nullptr) return true;
    const T* first = nullptr;
    for (const TCustomGraphControl* control : siblings->Controls()) {
        if (typeid(*control) != typeid(box)) continue;
        const auto& other = static_cast<const T&>(*control);
        if (other.Group != box.Group || !other.TabStop || !other.Visible() || !other.Enabled()) continue;
        if (other.Checked()) return &other == &box;
        if (first == nullptr) first = &other;
    }
    return first == nullptr || first == &box;
}

// The image kinds: their own attributes, then the box as made in code.
template <class T>
std::unique_ptr<T> MakeImageBox(const TSkinContext& context, const TXMLNode& node) {
    const TValueItems& a = node.Attributes();
    const int32_t left = a.GetInteger("Left");
    const int32_t top = a.GetInteger("Top");
    const int32_t width = a.GetIntegerDef("Width", 0);
    const int32_t height = a.GetIntegerDef("Height", 0);
    const std::string path = a.GetText("Path");
    return std::make_unique<T>(context, left, top, width, height, path);
}

// The captioned kinds: the element's attributes and those of its style document.
template <class T>
std::unique_ptr<T> MakeCaptionedBox(const TSkinContext& context, const TXMLNode& node) {
    const TValueItems& a = node.Attributes();
    const TValueItems& style = context.Resources.GetXML(a.GetText("Style")).Attributes();
    const int32_t left = a.GetInteger("Left");
    const int32_t top = a.GetInteger("Top");
    const int32_t width = a.GetIntegerDef("Width", 0);
    const int32_t height = a.GetIntegerDef("Height", 0);
    std::u16string caption = a.GetWideText("Caption");
    const THorzAlignment alignment = HorzAlignmentFromName(a.GetTextDef("Alignment", "Left"));
    const bool autoSize = a.GetBooleanDef("AutoSize", true);
    const int32_t tag = a.GetIntegerDef("Tag", 0);
    const std::string folder = style.GetText("CheckboxFolder");
    const TFontImages& font = context.Resources.GetFont(style.GetText("Font"));
    const uint32_t textColor = style.GetColor("TextColor");
    const int32_t textIndent = style.GetInteger("TextIndent");
    auto box = std::make_unique<T>(context, left, top, width, height, folder, nullptr, std::move(caption), &font,
                                   textColor, textIndent, alignment, autoSize);
    box->Tag = tag;
    return box;
}

}  // namespace

// --- TGraphCheckBox ---

TGraphCheckBox::TGraphCheckBox(const TSkinContext& context, int32_t left, int32_t top, int32_t width,
                               int32_t height, const std::string& path, TNotifyEvent onClick)
    : TCustomGraphControl(context), OnClick(std::move(onClick)), Path_(path) {
    TabStop = true;  // boxes take input; a document may still say TabStop="false"
    LoadImages();
    const TBitmap32& unchecked = *Images_[kNormalRow][Column(TCheckState::Unchecked)];
    SetBoundsDirect(left, top, width != 0 ? width : unchecked.Width(), height != 0 ? height : unchecked.Height());
}

TGraphCheckBox::~TGraphCheckBox() = default;

void TGraphCheckBox::LoadImages() {
    const TResources& resources = Context().Resources;
    auto name = [this](int32_t row, int32_t column) {
        return Path_ + "\\" + kRowNames[row] + kColumnSuffixes[column] + ".bmp";
    };
    const int32_t grayed = Column(TCheckState::Grayed);
    for (int32_t row : {kNormalRow, kPressedRow}) {
        for (int32_t column = 0; column < grayed; ++column) {
            Images_[row][column] = &resources.GetImage(name(row, column));
        }
        const TBitmap32* own = resources.FindImage(name(row, grayed));
        Images_[row][grayed] = own != nullptr ? own : Images_[row][Column(TCheckState::Checked)];
    }
    for (int32_t column = 0; column < kColumns; ++column) {
        const TBitmap32& normal = *Images_[kNormalRow][column];
        Images_[kHotRow][column] = resources.FindImage(name(kHotRow, column));
        if (Images_[kHotRow][column] == nullptr) {
            auto& hot = Generated_[column] = std::make_unique<TBitmap32>();
            hot->Assign(normal);
            hot->ChangeWithVariants([](TBitmap32& b) { b.Brighten(WholeImage(b), kBrightenFactor); });
            Images_[kHotRow][column] = hot.get();
        }
        Images_[kDisabledRow][column] = resources.FindImage(name(kDisabledRow, column));
        if (Images_[kDisabledRow][column] == nullptr) {
            auto& disabled = Generated_[kColumns + column] = std::make_unique<TBitmap32>();
            disabled->Assign(normal);
            disabled->ChangeWithVariants([](TBitmap32& b) { b.Grayscale(WholeImage(b)); });
            Images_[kDisabledRow][column] = disabled.get();
        }
    }
}

std::unique_ptr<TCustomGraphControl> TGraphCheckBox::CreateElement(TCustomGraphControl* /*parent*/,
                                                                   const TSkinContext& context,
                                                                   const TXMLNode& node) {
    auto box = MakeImageBox<TGraphCheckBox>(context, node);
    box->LoadFromXML(node);
    box->CreateChildren(node);
    return box;
}

void TGraphCheckBox::LoadFromXML(const TXMLNode& node) {
    TCustomGraphControl::LoadFromXML(node);
    // An explicit 0 means the image's size here as well.
    const TBitmap32& unchecked = *Images_[kNormalRow][Column(TCheckState::Unchecked)];
    if (Width() == 0 || Height() == 0) {
        SetBoundsDirect(Left(), Top(), Width() != 0 ? Width() : unchecked.Width(),
                        Height() != 0 ? Height() : unchecked.Height());
    }
}

void TGraphCheckBox::SetCheckState(TCheckState state) {
    if (state == CheckState_) return;
    CheckState_ = state;
    Invalidate();
    NotifyAccessible(AccEvent::StateChange);
    if (state == TCheckState::Checked) ExcludeOthers();
}

void TGraphCheckBox::SetVisualState(TCheckBoxVisualState state) {
    if (state == VisualState_) return;
    VisualState_ = state;
    Invalidate();
}

void TGraphCheckBox::UpdateVisualState(int32_t x, int32_t y) {
    if (HitTest(x, y) || KeyPressed_) {
        SetVisualState(MousePressed_ ? TCheckBoxVisualState::Pressed : TCheckBoxVisualState::Hot);
    } else {
        SetVisualState(TCheckBoxVisualState::Normal);
    }
}

void TGraphCheckBox::Toggle(int32_t x, int32_t y) {
    SetCheckState(CheckState_ == TCheckState::Checked ? TCheckState::Unchecked : TCheckState::Checked);
    UpdateVisualState(x, y);
    RaiseEvent(OnClick, *this);
}

void TGraphCheckBox::RadioClick(bool canUncheck, int32_t x, int32_t y) {
    const bool wasChecked = Checked();
    SetCheckState(TCheckState::Checked);
    // The look follows the pointer even when the click changes nothing: a released space bar
    // must not leave the button painted pressed.
    UpdateVisualState(x, y);
    if (wasChecked && !canUncheck) return;
    RaiseEvent(OnClick, *this);
}

// --- painting and hit testing ---

const TBitmap32& TGraphCheckBox::CurrentImage() const {
    int32_t row = kDisabledRow;
    if (Enabled()) {
        switch (VisualState_) {
            case TCheckBoxVisualState::Normal: row = kNormalRow; break;
            case TCheckBoxVisualState::Hot: row = kHotRow; break;
            case TCheckBoxVisualState::Pressed: row = kPressedRow; break;
        }
    }
    return *Images_[row][Column(CheckState_)];
}

TPoint TGraphCheckBox::ImageOffset(const TBitmap32& image) const {
    return {ImageAlignOffset(HorzImageAlignment, Width(), image.Width()),
            ImageAlignOffset(VertImageAlignment, Height(), image.Height())};
}

void TGraphCheckBox::Paint(const TPaintContext& paint) {
    const TBitmap32& image = CurrentImage();
    const TPoint at = ImageOffset(image);
    paint.Draw(image, at.X, at.Y);
}

bool TGraphCheckBox::HitTest(int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return false;
    if (!HitTestByAlpha) return true;
    const TBitmap32& image = CurrentImage();
    const TPoint at = ImageOffset(image);
    const int32_t ix = x - at.X;
    const int32_t iy = y - at.Y;
    if (ix < 0 || iy < 0 || ix >= image.Width() || iy >= image.Height()) return false;
    return (image.Row(iy)[ix] >> 24) != 0;
}

// --- input ---
//
// One press toggles once. A press belongs to the mouse (it holds the capture) or to the space
// bar (KeyPressed_); whichever began it ends it, and the other is ignored until then.

void TGraphCheckBox::DoLButtonDown(int32_t /*x*/, int32_t /*y*/, TShiftState /*shift*/) {
    if (!MousePressed_) {
        SetVisualState(TCheckBoxVisualState::Pressed);
        MousePressed_ = true;
        CaptureMouse();
    }
    if (TabStop) SetFocused(true);
}

void TGraphCheckBox::DoLButtonUp(int32_t x, int32_t y, TShiftState /*shift*/) {
    if (!MousePressed_ || KeyPressed_) return;
    ReleaseMouse();
    MousePressed_ = false;  // also when the box is not hosted and had no capture to lose
    if (HitTest(x, y)) {
        Toggle(x, y);
    } else {
        UpdateVisualState(x, y);
    }
}

void TGraphCheckBox::DoMouseMove(int32_t x, int32_t y, TShiftState /*shift*/) { UpdateVisualState(x, y); }

void TGraphCheckBox::DoMouseLeave() {
    if (!KeyPressed_) SetVisualState(TCheckBoxVisualState::Normal);
}

void TGraphCheckBox::CaptureLost() {
    MousePressed_ = false;
    SetVisualState(TCheckBoxVisualState::Normal);
}

void TGraphCheckBox::DoKeyDown(uint32_t virtualKey, bool /*extended*/, bool /*repeated*/, bool& processed) {
    const bool forward = virtualKey == VirtualKey::Right || virtualKey == VirtualKey::Down;
    if (forward || virtualKey == VirtualKey::Left || virtualKey == VirtualKey::Up) {
        TGraphCheckBox* neighbour = GroupNeighbour(forward);
        processed = neighbour != nullptr;
        if (neighbour == nullptr || IsCaptured()) return;
        // An arrow in a radio group selects the neighbour as a click on it would.
        const TWeakRef<TCustomGraphControl> next(neighbour);
        AfterEvent([next] {
            auto* box = static_cast<TGraphCheckBox*>(next.Get());
            if (box == nullptr) return;
            box->SetFocused(true);
            if (next.Get() != nullptr && !box->Checked()) box->Toggle(-1, -1);
        });
        return;
    }
    processed = virtualKey == VirtualKey::Space;
    if (!processed || IsCaptured()) return;
    SetVisualState(TCheckBoxVisualState::Pressed);
    MousePressed_ = true;
    KeyPressed_ = true;
}

void TGraphCheckBox::DoKeyUp(uint32_t virtualKey, bool /*extended*/, bool& processed) {
    processed = virtualKey == VirtualKey::Space;
    if (!processed || IsCaptured() || !MousePressed_ || !KeyPressed_) return;
    MousePressed_ = false;
    KeyPressed_ = false;
    Toggle(-1, -1);
}

void TGraphCheckBox::DoExit() {
    if (KeyPressed_) {
        MousePressed_ = false;
        KeyPressed_ = false;
        SetVisualState(TCheckBoxVisualState::Normal);
    }
}

// --- TGraphRadioButton ---

std::unique_ptr<TCustomGraphControl> TGraphRadioButton::CreateElement(TCustomGraphControl* /*parent*/,
                                                                      const TSkinContext& context,
                                                                      const TXMLNode& node) {
    auto box = MakeImageBox<TGraphRadioButton>(context, node);
    const TValueItems& a = node.Attributes();
    box->Group = a.GetIntegerDef("Group", 0);
    box->CanUncheck = a.GetBooleanDef("CanUncheck", false);
    // A group must not start with every button checked.
    box->SetChecked(a.GetBooleanDef("Checked", false));
    box->LoadFromXML(node);
    box->CreateChildren(node);
    return box;
}

void TGraphRadioButton::Toggle(int32_t x, int32_t y) { RadioClick(CanUncheck, x, y); }

void TGraphRadioButton::ExcludeOthers() { UncheckGroupOf(*this); }

TGraphCheckBox* TGraphRadioButton::GroupNeighbour(bool forward) { return NeighbourInGroup(*this, forward); }

bool TGraphRadioButton::IsTabTarget() const { return IsGroupTabStop(*this); }

// --- TGraphTextCheckBox ---

TGraphTextCheckBox::TGraphTextCheckBox(const TSkinContext& context, int32_t left, int32_t top, int32_t width,
                                       int32_t height, const std::string& path, TNotifyEvent onClick,
                                       std::u16string caption, const TFontImages* font, uint32_t textColor,
                                       int32_t textIndent, THorzAlignment alignment, bool autoSize)
    : TGraphCheckBox(context, left, top, width, height, path, std::move(onClick)),
      Caption_(std::move(caption)),
      Font_(font),
      TextColor_(textColor),
      TextIndent_(textIndent),
      Alignment_(alignment),
      AutoSize_(autoSize) {
    HitTestByAlpha = false;
    VertImageAlignment = TImageAlignment::Center;
    Relayout();
    // Subscribed last: a constructor that raises leaves no subscription behind.
    LanguageSubscription_ = TLanguageSubscription::To<&TGraphTextCheckBox::LanguageChanged>(Context().Languages, this);
}

std::unique_ptr<TCustomGraphControl> TGraphTextCheckBox::CreateElement(TCustomGraphControl* /*parent*/,
                                                                       const TSkinContext& context,
                                                                       const TXMLNode& node) {
    auto box = MakeCaptionedBox<TGraphTextCheckBox>(context, node);
    box->LoadFromXML(node);
    return box;
}

void TGraphTextCheckBox::LoadFromXML(const TXMLNode& node) {
    TGraphCheckBox::LoadFromXML(node);
    if (AutoSize_) DoAutoSize();
}

void TGraphTextCheckBox::SetCaption(std::u16string caption) {
    Caption_ = std::move(caption);
    Relayout();
}

void TGraphTextCheckBox::SetAutoSize(bool autoSize) {
    if (autoSize == AutoSize_) return;
    AutoSize_ = autoSize;
    if (AutoSize_) DoAutoSize();
}

void TGraphTextCheckBox::Relayout() {
    Text_.Clear();
    if (Font_ != nullptr) Text_.AddWideText(Translate(Caption_), *Font_, TextColor_);
    if (AutoSize_) DoAutoSize();
    Invalidate();
}

void TGraphTextCheckBox::DoAutoSize() {
    const int32_t width = BoxImage().Width() + TextIndent_ + Text_.Width() + 1;
    int32_t left = Left();
    switch (Alignment_) {
        case THorzAlignment::Left: break;
        case THorzAlignment::Right: left = Left() + Width() - width; break;
        case THorzAlignment::Center: left = Left() + Width() / 2 - width / 2; break;
    }
    SetBounds(left, Top(), width, Height());
}

void TGraphTextCheckBox::LanguageChanged(TLanguages& /*sender*/, TLanguageNotify flag) {
    if (flag == TLanguageNotify::Changed) Relayout();
}

void TGraphTextCheckBox::Paint(const TPaintContext& paint) {
    TGraphCheckBox::Paint(paint);
    const int32_t boxWidth = BoxImage().Width();
    const int32_t textWidth = Text_.Width();
    const int32_t textHeight = Text_.LineHeight();
    const int32_t textTop = (Height() - textHeight) / 2;
    paint.DrawText(Text_, boxWidth + TextIndent_, textTop);
    const TCustomGraphContainer* container = GetContainer();
    if (container != nullptr && container->FocusCuesShown()) {
        DrawAccessKeyCue(paint, Text_, boxWidth + TextIndent_, textTop, AccessKeyChar());
    }
    if (Focused() && container != nullptr && container->FocusCuesShown()) {
        // Its own focus look, after keyboard use as every control's. Corners (box + 2, top) and (box + indent + text width, top + text height + 1), both on
        // the outline.
        paint.DottedFrame({boxWidth + 2, textTop, boxWidth + TextIndent_ + textWidth + 1, textTop + textHeight + 2},
                          kFocusColor);
    }
}

// --- TGraphTextRadioButton ---

std::unique_ptr<TCustomGraphControl> TGraphTextRadioButton::CreateElement(TCustomGraphControl* /*parent*/,
                                                                          const TSkinContext& context,
                                                                          const TXMLNode& node) {
    auto box = MakeCaptionedBox<TGraphTextRadioButton>(context, node);
    const TValueItems& a = node.Attributes();
    box->SetChecked(a.GetBooleanDef("Checked", false));
    box->Group = a.GetIntegerDef("Group", 0);
    box->CanUncheck = a.GetBooleanDef("CanUncheck", true);
    box->LoadFromXML(node);
    return box;
}

void TGraphTextRadioButton::Toggle(int32_t x, int32_t y) { RadioClick(CanUncheck, x, y); }

void TGraphTextRadioButton::ExcludeOthers() { UncheckGroupOf(*this); }

TGraphCheckBox* TGraphTextRadioButton::GroupNeighbour(bool forward) { return NeighbourInGroup(*this, forward); }

bool TGraphTextRadioButton::IsTabTarget() const { return IsGroupTabStop(*this); }

// --- registration ---

void RegisterCheckBoxElements(TGraphElementRegistry& registry) {
    registry.Register("GraphCheckBox", &TGraphCheckBox::CreateElement);
    registry.Register("GraphRadioButton", &TGraphRadioButton::CreateElement);
    registry.Register("Checkbox", &TGraphTextCheckBox::CreateElement);
    registry.Register("RadioButton", &TGraphTextRadioButton::CreateElement);
}

}  // namespace marlowen
