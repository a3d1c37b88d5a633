#include "core/TaggedString.h"

#include "core/Exception.h"
#include "core/Languages.h"
#include "core/MultiLanguageException.h"

namespace marlowen {

namespace {

[[noreturn]] void FormatError() { throw Exception("Неверный формат многоязычной строки."); }

// Scans a tagged string section by section.
class TSectionScanner {
public:
    explicit TSectionScanner(std::u16string_view text) : Text_(text) {}

    TTranslation Find(std::u16string_view code) {
        for (;;) {
            ++Pos_;  // the "[" that opens this section
            if (AtEnd()) FormatError();
            if (MatchCode(code)) {
                ++Pos_;
                return {CopyBody(), true};
            }
            SkipPast(u']');
            while (!AtEnd() && Text_[Pos_] != u'[') ++Pos_;
            if (AtEnd()) return {};
        }
    }

private:
    bool AtEnd() const { return Pos_ >= Text_.size(); }

    // True when the whole code is followed by "]"; leaves Pos_ on that "]" or on the difference.
    bool MatchCode(std::u16string_view code) {
        size_t matched = 0;
        for (;;) {
            if (AtEnd()) FormatError();
            if (matched == code.size() || Text_[Pos_] == u']' || Text_[Pos_] != code[matched]) break;
            ++Pos_;
            ++matched;
        }
        return matched == code.size() && Text_[Pos_] == u']';
    }

    void SkipPast(char16_t c) {
        while (!AtEnd() && Text_[Pos_] != c) ++Pos_;
        if (AtEnd()) FormatError();
        ++Pos_;
    }

    std::u16string CopyBody() {
        std::u16string body;
        while (!AtEnd() && Text_[Pos_] != u'[') {
            if (Text_[Pos_] == u'#') {
                body += ReadEscape();
            } else {
                body += Text_[Pos_++];
            }
        }
        return body;
    }

    // "#" digits ";": the digits are not checked; the value wraps to 16 bits.
    char16_t ReadEscape() {
        ++Pos_;
        if (AtEnd()) FormatError();
        uint32_t value = 0;
        for (;;) {
            if (AtEnd()) FormatError();
            if (Text_[Pos_] == u';') break;
            value = value * 10 + (static_cast<uint32_t>(Text_[Pos_]) - u'0');
            ++Pos_;
        }
        ++Pos_;
        return static_cast<char16_t>(value & 0xFFFF);
    }

    std::u16string_view Text_;
    size_t Pos_ = 0;
};

}  // namespace

TTranslation TranslateFor(std::u16string_view text, const TLanguage& language) {
    if (text.empty()) return {};
    if (text.front() != u'[') return {std::u16string(text), false};
    return TSectionScanner(text).Find(language.Code());
}

std::u16string Translate(std::u16string_view text) {
    if (Languages == nullptr || Languages->CurrentLanguage() == nullptr) {
        throw Exception("Не определён текущий язык.");
    }
    TTranslation translation = TranslateFor(text, *Languages->CurrentLanguage());
    if (!translation.Found && Languages->DefaultLanguage() != nullptr) {
        translation = TranslateFor(text, *Languages->DefaultLanguage());
    }
    return translation.Text;
}

std::u16string FormatTagged(std::u16string_view pattern, const std::vector<std::u16string>& args) {
    std::vector<std::u16string> translated;
    translated.reserve(args.size());
    for (const std::u16string& arg : args) translated.push_back(Translate(arg));
    const std::u16string text = Translate(pattern);

    std::u16string out;
    out.reserve(2 * text.size());
    size_t nextArg = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'%') {
            out += text[i];
            continue;
        }
        if (i + 1 == text.size()) {
            throw EMultiLanguageException::Create(
                u"[eng]Invalid format string.[rus]Неверный формат параметризированной строки.");
        }
        const char16_t directive = text[++i];
        if (directive == u's' || directive == u'S') {
            if (nextArg < translated.size()) out += translated[nextArg++];
        } else if (directive == u'%') {
            out += u'%';
        }
    }
    return out;
}

std::u16string EscapeTagged(std::u16string_view text) {
    std::u16string body;
    body.reserve(text.size());
    for (const char16_t c : text) {
        if (c == u'[') {
            body += u"#91;";
        } else if (c == u'#') {
            body += u"#35;";
        } else {
            body += c;
        }
    }
    return body;
}

}  // namespace marlowen
