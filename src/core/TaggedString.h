#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace marlowen {

class TLanguage;

// A language-tagged string carries one section per language, each opened by its code in
// brackets: "[rus]Да[eng]Yes". A text that is empty or does not start with "[" is untagged and
// means the same in every language. In the body that is used, "#<decimal>;" stands for one UTF-16
// unit ("#91;" is "[", "#35;" is "#").

struct TTranslation {
    std::u16string Text;
    bool Found = false;  // a section of the language was there
};

// The section of one language. A malformed string raises Exception
// "Неверный формат многоязычной строки." (sections behind the one used are not examined).
TTranslation TranslateFor(std::u16string_view text, const TLanguage& language);

// A plain text written as a section body: "[" and "#" become their escapes, so that the text
// comes out of the section exactly as it went in (for messages built around other texts).
std::u16string EscapeTagged(std::u16string_view text);

// The section of the current language of the process-wide registry, falling back to its default
// language. Raises Exception "Не определён текущий язык." when there is no current language.
std::u16string Translate(std::u16string_view text);

// Translates the arguments and the template, then substitutes: "%s" (or "%S") takes the next
// argument (nothing once they are used up), "%%" gives "%", "%" with anything else vanishes with
// it, and a "%" at the end raises EMultiLanguageException.
std::u16string FormatTagged(std::u16string_view pattern, const std::vector<std::u16string>& args);

}  // namespace marlowen
