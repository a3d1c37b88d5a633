#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/LanguageSubscription.h"
#include "core/ValueItems.h"
#include "skin/GraphControl.h"
#include "skin/MultiLinesImage.h"
#include "skin/TextDraw.h"

namespace marlowen {

// The "Text" element: a language-tagged rich text (style tags, line breaks) laid out in lines of
// the control's width and placed as a block at the top, bottom or centre. Names between two
// percent signs are variables: a value set with SetVariable, else the element's attribute of that
// name, else the name itself. It follows language changes and never takes the mouse.
class TGraphMultiLine : public TCustomGraphControl {
public:
    explicit TGraphMultiLine(const TSkinContext& context);

    // Common attributes, "Text" and "VerticalAlignment"; the element's attributes stay the
    // variables' defaults. Lays the text out.
    void LoadFromXML(const TXMLNode& node) override;

    const std::u16string& Text() const { return Text_; }
    void SetText(std::u16string text);
    TVerticalAlignment VerticalAlignment() const { return VerticalAlignment_; }
    void SetVerticalAlignment(TVerticalAlignment alignment);
    // Stores the value (a language-tagged text); Relayout shows it.
    void SetVariable(std::string_view name, std::u16string text);
    const TMultiLinesImage& Lines() const { return Lines_; }

    // Resolves the text, expands the variables (Exception "% не закрыт" for a percent sign
    // without its closing one), lays it out with the width as wrap width and repaints.
    void Relayout();
    // The resolved text with the variables put in.
    std::u16string ExpandedText() const;

    void Paint(const TPaintContext& paint) override;
    bool HitTest(int32_t, int32_t) override { return false; }

    // Assistive technology.
    int32_t AccessibleRole() const override { return AccRole::StaticText; }
    std::u16string AccessibleCaption() const override;

private:
    void LanguageChanged(TLanguages& sender, TLanguageNotify flag);
    // The value of a variable, resolved to the current language.
    std::u16string VariableValue(std::u16string_view name) const;

    std::u16string Text_;
    const TXMLNode* Node_ = nullptr;  // borrowed from the document: the variables' defaults
    TMultiLinesImage Lines_;
    TVerticalAlignment VerticalAlignment_ = TVerticalAlignment::Top;
    TValueItems Variables_;
    TLanguageSubscription LanguageSubscription_;  // last: it ends before the rest goes
};

}  // namespace marlowen
