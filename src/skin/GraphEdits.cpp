#include "skin/GraphEdits.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "core/FixedPoint.h"
#include "core/MultiLanguageException.h"
#include "core/Utf.h"
#include "core/ValueItems.h"
#include "platform/Clipboard.h"
#include "platform/Locale.h"
#include "platform/Platform.h"
#include "skin/FontImages.h"
#include "skin/GraphContainer.h"
#include "skin/GraphControlsRegistration.h"
#include "skin/GraphElementRegistry.h"
#include "skin/GraphFrames.h"
#include "skin/PaintContext.h"
#include "skin/Resources.h"
#include "skin/XMLNode.h"

namespace marlowen {

namespace {

// Character codes of the clipboard keys.
constexpr uint32_t kCtrlC = 3;
constexpr uint32_t kCtrlV = 22;
constexpr uint32_t kCtrlX = 24;

// Characters (code points) of UTF-16 text.
int64_t CharCount(std::u16string_view text) {
    int64_t count = 0;
    for (size_t pos = 0; pos < text.size(); ++count) NextChar(text, pos);
    return count;
}

// The first `count` characters of the text.
std::u16string_view FirstChars(std::u16string_view text, int64_t count) {
    size_t pos = 0;
    for (; count > 0 && pos < text.size(); --count) NextChar(text, pos);
    return text.substr(0, pos);
}

// One character code (a UTF-16 unit or a code point) as UTF-16 text; nothing for a code beyond
// Unicode.
std::u16string CharText(uint32_t code) {
    if (code <= 0xFFFF) return std::u16string(1, static_cast<char16_t>(code));
    if (code > 0x10FFFF) return {};
    code -= 0x10000;
    return {static_cast<char16_t>(0xD800 + (code >> 10)), static_cast<char16_t>(0xDC00 + (code & 0x3FF))};
}

// Runs a change of the glyphs with the text's notification held back, then notifies once.
template <class F>
void TextBatch(TTextImage& text, F&& change) {
    text.BeginUpdate();
    try {
        change();
    } catch (...) {
        text.EndUpdate();
        throw;
    }
    text.EndUpdate();
}

}  // namespace

// --- TGraphEdit: life ---

TGraphEdit::TGraphEdit(const TSkinContext& context, int32_t left, int32_t top, int32_t width, int32_t height,
                       const TFontImages* font)
    : TCustomGraphControl(context), Font_(font) {
    SetBoundsDirect(left, top, width, height);
    TabStop = true;
    SetCursor(CursorId::IBeam);
    Text_.OnChange = [this](TTextImage&) { TextChanged(); };
    RestartBlink();
}

TGraphEdit::~TGraphEdit() { Text_.OnChange = nullptr; }

// --- the text ---

void TGraphEdit::SetText(std::u16string_view text) {
    TextBatch(Text_, [&] {
        Text_.Clear();
        if (Font_ != nullptr) Text_.AddWideText(text, *Font_, CurrentColour());
    });
}

void TGraphEdit::TextChanged() {
    // Whoever changed the glyphs, caret and selection stay inside them.
    Caret_ = std::clamp(Caret_, 0, Length());
    Select(SelStart_, SelLength_);
    RebuildMask();
    Rescroll();
    Invalidate();
    NotifyAccessible(AccEvent::ValueChange);
}

void TGraphEdit::SetWrong(bool wrong) {
    Wrong_ = wrong;
    Text_.SetColours(0, Text_.Count(), CurrentColour());
    RebuildMask();
    Invalidate();
}

void TGraphEdit::SetTextColor(uint32_t colour) {
    TextColor_ = colour;
    if (!Wrong_) SetWrong(false);
}

void TGraphEdit::SetWrongTextColor(uint32_t colour) {
    WrongTextColor_ = colour;
    if (Wrong_) SetWrong(true);
}

void TGraphEdit::SetPasswordChar(char16_t passwordChar) {
    if (passwordChar == PasswordChar_) return;
    PasswordChar_ = passwordChar;
    RebuildMask();
    Rescroll();
    Invalidate();
}

void TGraphEdit::RebuildMask() {
    Masked_.Clear();
    if (PasswordChar_ == 0 || Font_ == nullptr) return;
    const TTextSymbol* symbol = Font_->SymbolByChar(PasswordChar_);
    if (symbol == nullptr) symbol = Font_->SymbolByChar(u'?');
    if (symbol == nullptr) return;
    for (int32_t i = 0; i < Text_.Count(); ++i) Masked_.Add(symbol, Text_.Colour(i));
}

void TGraphEdit::SetTextMargins(int32_t leftIndent, int32_t topMargin, int32_t rightIndent, int32_t bottomMargin) {
    LeftIndent_ = leftIndent;
    TopMargin_ = topMargin;
    RightIndent_ = rightIndent;
    BottomMargin_ = bottomMargin;
    Rescroll();
    Invalidate();
}

void TGraphEdit::Change() { RaiseEvent(OnChange, *this); }

// --- caret, selection, scrolling ---

void TGraphEdit::SetCaret(int32_t index) {
    index = std::clamp(index, 0, Length());
    if (index != Caret_) MoveCaret(index);
}

void TGraphEdit::MoveCaret(int32_t index) {
    Caret_ = std::clamp(index, 0, Length());
    Rescroll();
    RestartBlink();
    Invalidate();
}

void TGraphEdit::Select(int32_t start, int32_t length) {
    start = std::clamp(start, 0, Length());
    length = std::clamp(length, 0, Length() - start);
    if (start == SelStart_ && length == SelLength_) return;
    SelStart_ = start;
    SelLength_ = length;
    Invalidate();
}

void TGraphEdit::ExtendSelection(int32_t from, int32_t to) {
    // With a selection that ends where the caret was, its other end is the anchor.
    int32_t anchor = from;
    if (SelLength_ > 0) {
        if (from == SelStart_) {
            anchor = SelStart_ + SelLength_;
        } else if (from == SelStart_ + SelLength_) {
            anchor = SelStart_;
        }
    }
    Select(std::min(anchor, to), std::abs(to - anchor));
}

void TGraphEdit::Rescroll() {
    Caret_ = std::clamp(Caret_, 0, Length());
    if (!Focused()) {
        Scroll_ = 0;
        return;
    }
    const TTextImage& shown = Shown();
    const int64_t width = Width();
    const int64_t avail = width - LeftIndent_ - RightIndent_;
    const int64_t total = shown.Width();
    int64_t scroll = Scroll_;
    if (total + scroll < width) scroll = avail - total;
    if (scroll > 0) scroll = 0;
    const int64_t w = shown.AdvanceOf(0, Caret_) + scroll;
    if (w + 1 >= avail) scroll += avail - w - 2;  // the caret lands at avail - 2
    if (w < 0) scroll -= w;
    Scroll_ = SaturateInt32(scroll);
}

void TGraphEdit::RestartBlink() { Animate(0, kBlinkLastFrame, 0, 0, kBlinkFrameTime); }

bool TGraphEdit::CaretShown() const { return Focused() && WindowActive() && Frame() % 3 != 2; }

int32_t TGraphEdit::CaretAt(int32_t x) const {
    const TTextImage& shown = Shown();
    int64_t boundary = int64_t{LeftIndent_} + Scroll_;
    int32_t best = 0;
    int64_t bestDistance = std::numeric_limits<int64_t>::max();
    for (int32_t i = 0; i <= shown.Count(); ++i) {
        if (i > 0) boundary += shown.Symbol(i - 1)->Advance();
        const int64_t distance = std::abs(x - boundary);
        if (distance <= bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return std::min(best, Length());
}

bool TGraphEdit::ShiftHeld() const {
    const TCustomGraphContainer* container = GetContainer();
    return container != nullptr && (container->Host().KeyboardShift() & ShiftState::Shift) != 0;
}

// --- painting ---

void TGraphEdit::Paint(const TPaintContext& paint) {
    const TPaintContext inside = paint.ClippedTo({0, 0, Width(), Height()});
    PaintBackground(inside);
    const TTextImage& shown = Shown();
    const int32_t origin = LeftIndent_ + Scroll_;
    const int32_t top = TopMargin_;
    const int32_t bottom = Height() - BottomMargin_;
    if (WindowActive() && SelLength_ > 0 && (Focused() || !HideSelection)) {
        const int32_t from = std::max(origin + shown.AdvanceOf(0, SelStart_), LeftIndent_);
        const int32_t to = std::min(origin + shown.AdvanceOf(0, SelStart_ + SelLength_), Width() - RightIndent_ - 1);
        inside.BlendRect({from, top, to + 1, bottom}, SelectionColor);
    }
    inside.ClippedTo({LeftIndent_, top, Width() - RightIndent_, bottom}).DrawText(shown, origin, top);
    if (CaretShown()) {
        // Two columns: the one before the boundary and the boundary's own.
        const int32_t w = origin + shown.AdvanceOf(0, Caret_);
        inside.FillRect({std::max(w - 1, 0), top, std::min(w, Width() - 1) + 1, bottom}, CaretColor);
    }
    TCustomGraphControl::Paint(paint);
}

void TGraphEdit::DoFrameChanged() {
    // Only the caret blinks with the frames.
    if (Focused() && WindowActive()) Invalidate();
}

void TGraphEdit::SetWindowActive(bool value) {
    if (value == WindowActive()) return;
    TCustomGraphControl::SetWindowActive(value);
    Invalidate();
}

// --- mouse ---

void TGraphEdit::DoLButtonDown(int32_t x, int32_t /*y*/, TShiftState shift) {
    // The caret follows the press once the focus came (with its selection) and the events ran.
    AfterEvent([this, x, shift] {
        RestartBlink();
        const int32_t old = Caret_;
        const int32_t caret = CaretAt(x);
        MoveCaret(caret);
        if ((shift & ShiftState::Shift) != 0) {
            ExtendSelection(old, caret);
        } else {
            ClearSelection();
        }
        CaptureMouse();
    });
    SetFocused(true);
}

void TGraphEdit::DoMouseMove(int32_t x, int32_t /*y*/, TShiftState /*shift*/) {
    if (!IsCaptured()) return;
    const int32_t old = Caret_;
    const int32_t caret = CaretAt(x);
    // A pointer held still (or moving within one character) changes nothing: repainting then
    // would answer every hover move the host posts after a repaint with another repaint.
    if (caret == old) return;
    MoveCaret(caret);
    ExtendSelection(old, caret);
}

void TGraphEdit::DoLButtonUp(int32_t /*x*/, int32_t /*y*/, TShiftState /*shift*/) { ReleaseMouse(); }

void TGraphEdit::DoLButtonDblClk(int32_t /*x*/, int32_t /*y*/, TShiftState /*shift*/) { SelectAll(); }

// --- focus ---

void TGraphEdit::DoEnter() {
    if (SelectAllOnFocus) {
        SelectAll();
        Caret_ = Length();
    }
    Rescroll();
    RestartBlink();
    Invalidate();
}

void TGraphEdit::DoExit() {
    Rescroll();
    Invalidate();
}

// --- keys ---

void TGraphEdit::DoKeyDown(uint32_t virtualKey, bool /*extended*/, bool /*repeated*/, bool& processed) {
    processed = true;
    int32_t target = Caret_;
    switch (virtualKey) {
        case VirtualKey::Backspace:
            // Only the character before the caret goes, a selection or not.
            if (Caret_ <= 0) return;
            --Caret_;
            Text_.Delete(Caret_, 1);
            ClearSelection();
            RestartBlink();
            Change();
            return;
        case VirtualKey::Delete: {
            bool changed = false;
            if (SelLength_ > 0) {
                DeleteSelection();
                changed = true;
            } else if (Caret_ < Length()) {
                Text_.Delete(Caret_, 1);
                changed = true;
            }
            ClearSelection();
            if (!changed) return;
            RestartBlink();
            Change();
            return;
        }
        case VirtualKey::End: target = Length(); break;
        case VirtualKey::Home: target = 0; break;
        case VirtualKey::Left: target = Caret_ > 0 ? Caret_ - 1 : Caret_; break;
        case VirtualKey::Right: target = Caret_ < Length() ? Caret_ + 1 : Caret_; break;
        default: processed = false; return;
    }
    RestartBlink();
    const int32_t old = Caret_;
    if (target == old) return;
    MoveCaret(target);
    if (ShiftHeld()) {
        ExtendSelection(old, target);
    } else {
        ClearSelection();
    }
}

void TGraphEdit::DeleteSelection() {
    const int32_t start = SelStart_;
    const int32_t length = SelLength_;
    Caret_ = start;
    ClearSelection();
    Text_.Delete(start, length);
}

int32_t TGraphEdit::InsertAt(int32_t index, std::u16string_view text) {
    if (Font_ == nullptr || text.empty()) return 0;
    const int32_t before = Text_.Count();
    Text_.InsertText(index, Utf16ToUtf8(text), CurrentColour(), *Font_);
    return Text_.Count() - before;
}

void TGraphEdit::DoCharPressed(uint32_t charCode, int32_t /*repeatCount*/, bool& processed) {
    if (charCode >= 32) {
        processed = true;
        if (MaxLength > 0 && Length() - SelLength_ >= MaxLength) return;
        TextBatch(Text_, [&] {
            int32_t at = Caret_;
            if (SelLength_ > 0) {
                at = SelStart_;
                DeleteSelection();
            }
            Caret_ = at + InsertAt(at, CharText(charCode));
        });
        RestartBlink();
        Change();
        return;
    }
    switch (charCode) {
        case kCtrlC:
            processed = true;
            CopySelection();
            return;
        case kCtrlV:
            processed = true;
            Paste();
            return;
        case kCtrlX: {
            processed = true;
            if (!CanCopy || PasswordChar_ != 0 || SelLength_ == 0) return;
            CopySelection();
            // The caret keeps its index; the text's change holds it to the new length.
            const int32_t start = SelStart_;
            const int32_t length = SelLength_;
            ClearSelection();
            Text_.Delete(start, length);
            RestartBlink();
            Change();
            return;
        }
        default: processed = false; return;
    }
}

void TGraphEdit::CopySelection() {
    if (!CanCopy || PasswordChar_ != 0 || SelLength_ == 0) return;
    Context().Platform.Clipboard.SetText(Utf16ToUtf8(Text_.TextRange(SelStart_, SelLength_)));
}

void TGraphEdit::Paste() {
    if (!CanPaste) return;
    std::u16string text = Utf8ToUtf16(Context().Platform.Clipboard.GetText());
    if (MaxLength > 0) {
        // A text already longer than the limit (set by code) leaves no room, not less than none.
        const int64_t room = std::max<int64_t>(0, int64_t{MaxLength} - (Length() - SelLength_));
        if (CharCount(text) > room) text = std::u16string(FirstChars(text, room));
    }
    if (text.empty()) return;
    TextBatch(Text_, [&] {
        int32_t at = Caret_;
        if (SelLength_ > 0) {
            at = SelStart_;
            DeleteSelection();
        }
        Caret_ = at + InsertAt(at, text);
    });
    RestartBlink();
    Change();
}

// --- TGraphFramedEdit ---

namespace {

const TFontImages& StyleFont(const TSkinContext& context, const std::string& style) {
    return context.Resources.GetFont(context.Resources.GetXML(style).Attributes().GetText("Font"));
}

}  // namespace

TGraphFramedEdit::TGraphFramedEdit(const TSkinContext& context, int32_t left, int32_t top, int32_t width,
                                   int32_t height, const std::string& style)
    : TGraphEdit(context, left, top, width, height, &StyleFont(context, style)) {
    const TValueItems& s = context.Resources.GetXML(style).Attributes();
    Frame_ = std::make_unique<TGraphFrame>(context, 0, 0, width, height, s.GetText("Frame"));
    const uint32_t textColor = s.GetColor("TextColor");
    SetTextColor(textColor);
    SetWrongTextColor(s.GetColorDef("WrongTextColor", textColor));
    SelectionColor = s.GetColor("SelectionColor");
    CaretColor = s.GetColor("CursorColor");
    StyleLeftIndent_ = s.GetInteger("LeftIndent");
    StyleRightIndent_ = s.GetInteger("RightIndent");
    PlaceText();
}

TGraphFramedEdit::~TGraphFramedEdit() = default;

namespace {

// A framed edit of class T placed and styled by the element's attributes, then loaded from it.
template <class T>
std::unique_ptr<TCustomGraphControl> CreateFramedEdit(const TSkinContext& context, const TXMLNode& node) {
    const TValueItems& a = node.Attributes();
    auto edit = std::make_unique<T>(context, a.GetInteger("Left"), a.GetInteger("Top"), a.GetInteger("Width"),
                                    a.GetInteger("Height"), a.GetText("Style"));
    edit->LoadFromXML(node);
    return edit;
}

}  // namespace


std::unique_ptr<TCustomGraphControl> TGraphFramedEdit::CreateElement(TCustomGraphControl* /*parent*/,
                                                                     const TSkinContext& context,
                                                                     const TXMLNode& node) {
    return CreateFramedEdit<TGraphFramedEdit>(context, node);
}

void TGraphFramedEdit::LoadFromXML(const TXMLNode& node) {
    const TValueItems& a = node.Attributes();
    if (a.Find("PasswordChar") != nullptr) {
        const std::u16string passwordChar = a.GetWideText("PasswordChar");
        if (passwordChar.size() != 1) {
            throw EMultiLanguageException::CreateFmt(
                u"[rus]Неверное значение PasswordChar=\"%s\".[eng]Invalid value PasswordChar=\"%s\".", {passwordChar});
        }
        SetPasswordChar(passwordChar[0]);
    }
    MaxLength = a.GetIntegerDef("MaxLenght", 0);
    SetName(a.GetTextDef("Name", ""));
    CanCopy = a.GetBooleanDef("CanCopy", true);
    CanPaste = a.GetBooleanDef("CanPaste", true);
}

void TGraphFramedEdit::PlaceText() {
    const int32_t lineHeight = Font() != nullptr ? Font()->LineHeight() : 0;
    const int32_t topMargin = (Height() - lineHeight) / 2;
    SetTextMargins(StyleLeftIndent_ + Frame_->LeftIndent(), topMargin, StyleRightIndent_ + Frame_->RightIndent(),
                   Height() - lineHeight - topMargin);
}

void TGraphFramedEdit::DoResized() {
    if (Frame_ != nullptr) PlaceText();
    TGraphEdit::DoResized();
}

void TGraphFramedEdit::PaintBackground(const TPaintContext& paint) {
    Frame_->SetBounds(0, 0, Width(), Height());
    Frame_->PaintFrame(paint);
}

// --- TGraphFramedEditFixedPoint ---

TGraphFramedEditFixedPoint::TGraphFramedEditFixedPoint(const TSkinContext& context, int32_t left, int32_t top,
                                                       int32_t width, int32_t height, const std::string& style)
    : TGraphFramedEdit(context, left, top, width, height, style) {
    SetSeparators(context.Platform.Locale.ThousandSeparator(), context.Platform.Locale.DecimalSeparator());
}

std::unique_ptr<TCustomGraphControl> TGraphFramedEditFixedPoint::CreateElement(TCustomGraphControl* /*parent*/,
                                                                               const TSkinContext& context,
                                                                               const TXMLNode& node) {
    return CreateFramedEdit<TGraphFramedEditFixedPoint>(context, node);
}

void TGraphFramedEditFixedPoint::LoadFromXML(const TXMLNode& node) {
    TGraphFramedEdit::LoadFromXML(node);
    const TValueItems& a = node.Attributes();
    SetFactor(a.GetIntegerDef("Factor", kDefaultFactor));
    const TLocale& locale = Context().Platform.Locale;
    char16_t thousandSeparator = locale.ThousandSeparator();
    if (a.Find("ThousandSeparator") != nullptr) {
        const std::u16string text = a.GetWideText("ThousandSeparator");
        thousandSeparator = text.empty() ? 0 : text[0];
    }
    char16_t decimalSeparator = locale.DecimalSeparator();
    if (a.Find("DecimalSeparator") != nullptr) {
        const std::u16string text = a.GetWideText("DecimalSeparator");
        if (!text.empty()) decimalSeparator = text[0];
    }
    SetSeparators(thousandSeparator, decimalSeparator);
}

void TGraphFramedEditFixedPoint::SetFactor(int32_t factor) {
    // Only a power of ten gives whole decimals: other factors could neither be shown nor read.
    if (!IsFixedPointFactor(factor)) {
        throw EMultiLanguageException::CreateFmt(u"[rus]Неверное значение Factor=\"%s\".[eng]Invalid value Factor=\"%s\".",
                                                 {Utf8ToUtf16(std::to_string(factor))});
    }
    Factor_ = factor;
}

void TGraphFramedEditFixedPoint::SetSeparators(char16_t thousandSeparator, char16_t decimalSeparator) {
    DecimalSeparator_ = decimalSeparator;
    ThousandSeparator_ = thousandSeparator != decimalSeparator ? thousandSeparator : 0;
}

void TGraphFramedEditFixedPoint::Change() {
    const std::optional<int64_t> value = ParseFixedPoint(GetText(), Factor_, ThousandSeparator_, DecimalSeparator_);
    SetWrong(!value.has_value());
    if (value.has_value()) Value_ = *value;
    TGraphFramedEdit::Change();
}

void TGraphFramedEditFixedPoint::DoCharPressed(uint32_t charCode, int32_t repeatCount, bool& processed) {
    const bool digit = charCode >= '0' && charCode <= '9';
    const bool separator = (charCode == ',' || charCode == '.') && Factor_ > 1;
    if (charCode >= 32 && !digit && !separator) {
        processed = false;
        return;
    }
    TGraphFramedEdit::DoCharPressed(charCode, repeatCount, processed);
}

void TGraphFramedEditFixedPoint::DoExit() {
    if (!Wrong() && Length() > 0) SetText(FormatFixedPoint(Value_, Factor_, ThousandSeparator_, DecimalSeparator_));
    TGraphFramedEdit::DoExit();
}

// --- registration ---

void RegisterEditElements(TGraphElementRegistry& registry) {
    registry.Register("Edit", &TGraphFramedEdit::CreateElement);
    registry.Register("EditFixedPoint", &TGraphFramedEditFixedPoint::CreateElement);
}

}  // namespace marlowen
