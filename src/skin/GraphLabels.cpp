#include "skin/GraphLabels.h"

#include "core/MultiLanguageException.h"
#include "core/StringHash.h"
#include "core/TaggedString.h"
#include "core/Utf.h"
#include "core/ValueItems.h"
#include "platform/Platform.h"
#include "platform/Shell.h"
#include "skin/AccessKey.h"
#include "skin/GraphContainer.h"
#include "skin/GraphControlsRegistration.h"
#include "skin/GraphElementRegistry.h"
#include "skin/ImageAlignment.h"
#include "skin/PaintContext.h"
#include "skin/Resources.h"
#include "skin/XMLNode.h"

namespace marlowen {

THorzAlignment HorzAlignmentFromName(const std::string& name) {
    if (TextEquals(name, "Left")) return THorzAlignment::Left;
    if (TextEquals(name, "Right")) return THorzAlignment::Right;
    if (TextEquals(name, "Center")) return THorzAlignment::Center;
    throw EMultiLanguageException::CreateFmt(u"[rus]Неверное значение Alignment=\"%s\".[eng]Invalid value Alignment=\"%s\".",
                                             {Utf8ToUtf16(name)});
}

TVerticalAlignment VertAlignmentFromName(const std::string& name) {
    if (TextEquals(name, "Top")) return TVerticalAlignment::Top;
    if (TextEquals(name, "Bottom")) return TVerticalAlignment::Bottom;
    if (TextEquals(name, "Center")) return TVerticalAlignment::Center;
    throw EMultiLanguageException::CreateFmt(
        u"[rus]Неверное значение VerticalAlignment=\"%s\".[eng]Invalid value VerticalAlignment=\"%s\".",
        {Utf8ToUtf16(name)});
}

namespace {

// The mask with "%%" as "%" and the first "%s" (or "%S") as the caption; any other "%" goes with
// the character after it.
std::u16string ApplyMask(std::u16string_view mask, std::u16string_view caption) {
    std::u16string text;
    bool placed = false;
    for (size_t i = 0; i < mask.size(); ++i) {
        if (mask[i] != u'%') {
            text += mask[i];
            continue;
        }
        if (++i >= mask.size()) break;
        if (mask[i] == u'%') {
            text += u'%';
        } else if ((mask[i] == u's' || mask[i] == u'S') && !placed) {
            text += caption;
            placed = true;
        }
    }
    return text;
}

TImageAlignment AlongX(THorzAlignment alignment) {
    switch (alignment) {
        case THorzAlignment::Right: return TImageAlignment::End;
        case THorzAlignment::Center: return TImageAlignment::Center;
        case THorzAlignment::Left: break;
    }
    return TImageAlignment::Start;
}

TImageAlignment AlongY(TVerticalAlignment alignment) {
    switch (alignment) {
        case TVerticalAlignment::Bottom: return TImageAlignment::End;
        case TVerticalAlignment::Center: return TImageAlignment::Center;
        case TVerticalAlignment::Top: break;
    }
    return TImageAlignment::Start;
}

}  // namespace

// --- TTextImageLabel ---

TTextImageLabel::TTextImageLabel(const TSkinContext& context) : TCustomGraphControl(context) {
    Text_.OnChange = [this](TTextImage&) { Invalidate(); };
}

int32_t TTextImageLabel::TextWidth() const { return Text_.Width() + (Shadow ? 1 : 0); }

int32_t TTextImageLabel::TextHeight() const { return Text_.LineHeight() + (Shadow ? 1 : 0); }

void TTextImageLabel::Paint(const TPaintContext& paint) {
    const int32_t x = ImageAlignOffset(AlongX(Alignment), Width(), TextWidth());
    const int32_t y = ImageAlignOffset(AlongY(VerticalAlignment), Height(), TextHeight());
    const TPaintContext inside = paint.ClippedTo({0, 0, Width(), Height()});
    if (Shadow) inside.DrawTextOneColour(Text_, x + 1, y + 1, ShadowColor);
    inside.DrawText(Text_, x, y);
    if (const TCustomGraphContainer* container = GetContainer(); container != nullptr && container->FocusCuesShown()) {
        DrawAccessKeyCue(inside, Text_, x, y, ShownAccessKey());
    }
    TCustomGraphControl::Paint(paint);
}

char32_t TTextImageLabel::ShownAccessKey() const {
    if (const char32_t own = AccessKeyChar()) return own;
    const TCustomGraphControl* owner = ParentControl();
    if (owner != nullptr && owner->AccessibleCaption() == Text_.Text()) return owner->AccessKeyChar();
    return 0;
}

void TTextImageLabel::DoAccessKey() {
    if (LabelFor.empty()) {
        TCustomGraphControl::DoAccessKey();
        return;
    }
    const TCustomGraphContainer* container = GetContainer();
    if (container == nullptr) return;
    for (TCustomGraphControl* c = container->Controls().First(); c != nullptr; c = c->NextInTree()) {
        if (TextEquals(c->Name(), LabelFor)) {
            if (TCustomGraphContainer::Reachable(*c)) c->SetFocused(true);
            return;
        }
    }
}

// --- TGraphTextLabel ---

TGraphTextLabel::TGraphTextLabel(const TSkinContext& context, const TFontImages* font, uint32_t textColor,
                                 bool autoSize)
    : TTextImageLabel(context),
      Font_(font),
      HotFont_(font),
      TextColor_(textColor),
      HotTextColor_(textColor),
      AutoSize_(autoSize) {
    LanguageSubscription_ = TLanguageSubscription::To<&TGraphTextLabel::LanguageChanged>(Context().Languages, this);
}

void TGraphTextLabel::LanguageChanged(TLanguages& /*sender*/, TLanguageNotify flag) {
    if (flag == TLanguageNotify::Changed) Relayout();
}

void TGraphTextLabel::LoadFromXML(const TXMLNode& node) {
    const TValueItems& a = node.Attributes();
    const TResources& resources = Context().Resources;
    const bool sized = a.Find("Width") != nullptr && a.Find("Height") != nullptr;
    AutoSize_ = a.GetBooleanDef("AutoSize", !sized);
    int32_t width = Width();
    int32_t height = Height();
    if (!AutoSize_ || a.Find("Width") != nullptr) width = a.GetInteger("Width");
    if (!AutoSize_ || a.Find("Height") != nullptr) height = a.GetInteger("Height");
    SetBoundsDirect(a.GetInteger("Left"), a.GetInteger("Top"), width, height);
    Alignment = HorzAlignmentFromName(a.GetTextDef("Alignment", "Left"));
    VerticalAlignment = VertAlignmentFromName(a.GetTextDef("VerticalAlignment", "Top"));
    Caption_ = a.GetWideTextDef("Caption", u"");
    LabelFor = a.GetTextDef("LabelFor", "");
    AccessKey = a.GetWideTextDef("AccessKey", u"");
    Font_ = &resources.GetFont(a.GetText("Font"));
    TextColor_ = a.GetColor("TextColor");
    HotFont_ = a.Find("HotFont") != nullptr ? &resources.GetFont(a.GetText("HotFont")) : Font_;
    HotTextColor_ = a.GetColorDef("HotTextColor", TextColor_);
    Mask_ = a.GetWideTextDef("Mask", u"%s");
    Shadow = a.GetBooleanDef("Shadow", false);
    ShadowColor = a.GetColorDef("ShadowColor", kDefaultXMLShadowColor);
    Transparent = a.GetBooleanDef("Transparent", true);
    if (a.Find("Cursor") != nullptr) SetCursor(CursorFromName(a.GetText("Cursor")));
    SetName(a.GetTextDef("Name", ""));
    Command = a.GetTextDef("Command", "");
    Relayout();
}

std::u16string TGraphTextLabel::AccessibleCaption() const { return ApplyMask(Translate(Mask_), Translate(Caption_)); }

void TGraphTextLabel::SetCaption(const std::u16string& caption) {
    if (caption == Caption_) return;
    Caption_ = caption;
    Relayout();
    NotifyAccessible(AccEvent::NameChange);
}

void TGraphTextLabel::SetMask(const std::u16string& mask) {
    if (mask == Mask_) return;
    Mask_ = mask;
    Relayout();
}

void TGraphTextLabel::SetTextColor(uint32_t colour) {
    if (colour == TextColor_) return;
    TextColor_ = colour;
    Relayout();
}

void TGraphTextLabel::SetHotTextColor(uint32_t colour) {
    if (colour == HotTextColor_) return;
    HotTextColor_ = colour;
    if (Hot_) Relayout();
}

void TGraphTextLabel::SetFont(const TFontImages* font) {
    if (font == Font_) return;
    Font_ = font;
    Relayout();
}

void TGraphTextLabel::SetHotFont(const TFontImages* font) {
    if (font == HotFont_) return;
    HotFont_ = font;
    if (Hot_) Relayout();
}

void TGraphTextLabel::SetAutoSize(bool autoSize) {
    if (autoSize == AutoSize_) return;
    AutoSize_ = autoSize;
    if (AutoSize_) DoAutoSize();
}

void TGraphTextLabel::Relayout() {
    const std::u16string text = ApplyMask(Translate(Mask_), Translate(Caption_));
    const TFontImages* font = Hot_ ? HotFont_ : Font_;
    const uint32_t colour = Hot_ ? HotTextColor_ : TextColor_;
    TTextImage& image = Text();
    image.BeginUpdate();
    image.Clear();
    if (font != nullptr) image.AddWideText(text, *font, colour);
    if (AutoSize_) DoAutoSize();
    // The layout is finished before anyone hears of the change: a handler that raises cannot
    // leave the text image inside its update (the label would never repaint again).
    image.EndUpdate();
    RaiseEvent(OnTextChanged, *this);
}

void TGraphTextLabel::DoAutoSize() {
    const int32_t w = TextWidth();
    const int32_t h = TextHeight();
    int32_t left = Left();
    int32_t top = Top();
    if (Alignment == THorzAlignment::Right) left = left + Width() - w;
    if (Alignment == THorzAlignment::Center) left = left + Width() / 2 - w / 2;
    if (VerticalAlignment == TVerticalAlignment::Bottom) top = top + Height() - h;
    if (VerticalAlignment == TVerticalAlignment::Center) top = top + Height() / 2 - h / 2;
    SetBounds(left, top, w, h);
}

void TGraphTextLabel::DoLButtonDown(int32_t /*x*/, int32_t /*y*/, TShiftState /*shift*/) {
    if (OnClick) {
        RaiseEvent(OnClick, *this);
        return;
    }
    if (!Command.empty()) Context().Platform.Shell.Execute("open", Command, "", "", ShowCommand::Hide);
}

void TGraphTextLabel::DoMouseEnter() {
    Hot_ = true;
    Relayout();
}

void TGraphTextLabel::DoMouseLeave() {
    Hot_ = false;
    Relayout();
}

void RegisterLabelElements(TGraphElementRegistry& registry) {
    registry.Register("Label", &CreateElementOf<TGraphTextLabel>);
}

}  // namespace marlowen
