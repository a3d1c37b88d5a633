#include "FontSource.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>

#include "core/Exception.h"
#include "core/StringHash.h"
#include "core/Utf.h"
#include "skin/DisplayScale.h"
#include "skin/FontImages.h"
#include "skin/Image8.h"
#include "storage/FileIo.h"
#include "storage/MemStream.h"

namespace marlowen::fstool {

namespace {

enum class THinting { Normal, Light, None };

struct TFontDescription {
    std::string File;  // as resolved: relative paths are taken from the description's folder
    int32_t Size = 0;
    THinting Hinting = THinting::Light;
    std::set<char32_t> Characters;
    std::vector<TDisplayScale> Scales;  // above 100 %, smallest first, each once
};

std::string CodeName(char32_t code) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(code));
    std::string text = name;
    if (code >= 0x20 && code < 0xD800) {
        text += " \"" + Utf16ToUtf8(std::u16string(1, static_cast<char16_t>(code))) + "\"";
    }
    return text;
}

std::string Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return "";
    const auto last = text.find_last_not_of(" \t\r");
    return std::string(text.substr(first, last - first + 1));
}

// Reads "U+XXXX" (case ignored) at the start of word; false when word is not one.
bool ParseCode(std::string_view word, char32_t& code) {
    if (word.size() < 3 || word.size() > 8 || (word[0] != 'U' && word[0] != 'u') || word[1] != '+') return false;
    code = 0;
    for (char c : word.substr(2)) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
        code = code * 16 + static_cast<char32_t>(std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                                                                                              : (c | 0x20) - 'a' + 10);
    }
    return true;
}

class TDescriptionParser {
public:
    explicit TDescriptionParser(const std::string& path) : Path_(path) {}

    TFontDescription Parse() {
        TMemStream file;
        try {
            file.LoadFromFile(Path_);
        } catch (const Exception& e) {
            throw Exception(Path_ + ": cannot read the font description (" + e.Message() + ")");
        }
        std::string_view text(reinterpret_cast<const char*>(file.Memory()), static_cast<size_t>(file.Size()));
        if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
        bool hasHinting = false;
        while (!text.empty()) {
            ++Line_;
            const size_t end = std::min(text.find('\n'), text.size());
            const std::string line = Trim(text.substr(0, end));
            text.remove_prefix(std::min(end + 1, text.size()));
            if (line.empty() || line[0] == '#') continue;
            const size_t equals = line.find('=');
            if (equals == std::string::npos) Fail("expected \"name = value\"");
            const std::string name = Trim(std::string_view(line).substr(0, equals));
            const std::string value = Trim(std::string_view(line).substr(equals + 1));
            if (TextEquals(name, "file")) {
                if (!Description_.File.empty()) Fail("\"file\" given twice");
                if (value.empty()) Fail("\"file\" needs a path");
                Description_.File = ResolvePath(value);
            } else if (TextEquals(name, "size")) {
                if (Description_.Size != 0) Fail("\"size\" given twice");
                ParseSize(value);
            } else if (TextEquals(name, "characters")) {
                ParseCharacters(value);
            } else if (TextEquals(name, "scales")) {
                ParseScales(value);
            } else if (TextEquals(name, "hinting")) {
                if (hasHinting) Fail("\"hinting\" given twice");
                hasHinting = true;
                ParseHinting(value);
            } else {
                Fail("unknown setting \"" + name + "\"");
            }
        }
        if (Description_.File.empty()) throw Exception(Path_ + ": no \"file\" setting");
        if (Description_.Size == 0) throw Exception(Path_ + ": no \"size\" setting");
        Description_.Characters.insert(U' ');
        Description_.Characters.insert(U'?');
        return std::move(Description_);
    }

private:
    [[noreturn]] void Fail(const std::string& message) const {
        throw Exception(Path_ + ":" + std::to_string(Line_) + ": " + message);
    }

    std::string ResolvePath(const std::string& value) const {
        const std::filesystem::path file = FilePath(value);
        if (file.is_absolute()) return value;
        return (FilePath(Path_).parent_path() / file).lexically_normal().u8string();
    }

    void ParseSize(const std::string& value) {
        int32_t size = 0;
        for (char c : value) {
            if (!std::isdigit(static_cast<unsigned char>(c)) || size > 1000) {
                Fail("\"size\" needs a whole number of pixels");
            }
            size = size * 10 + (c - '0');
        }
        if (value.empty() || size < 1 || size > 256) Fail("\"size\" needs a whole number of pixels from 1 to 256");
        Description_.Size = size;
    }

    void ParseScales(std::string_view value) {
        while (true) {
            const size_t start = value.find_first_not_of(" \t");
            if (start == std::string_view::npos) return;
            value.remove_prefix(start);
            const size_t end = std::min(value.find_first_of(" \t"), value.size());
            const std::string word(value.substr(0, end));
            value.remove_prefix(end);
            TDisplayScale scale;
            try {
                scale = TDisplayScale::Parse(word);
            } catch (const Exception& e) {
                Fail(e.Message());
            }
            if (scale.IsIdentity()) Fail("\"scales\" lists the scales above 100% (the font itself is 100%)");
            auto& scales = Description_.Scales;
            const auto at = std::lower_bound(scales.begin(), scales.end(), scale);
            if (at == scales.end() || *at != scale) scales.insert(at, scale);
        }
    }

    void ParseHinting(const std::string& value) {
        if (TextEquals(value, "normal")) Description_.Hinting = THinting::Normal;
        else if (TextEquals(value, "light")) Description_.Hinting = THinting::Light;
        else if (TextEquals(value, "none")) Description_.Hinting = THinting::None;
        else Fail("\"hinting\" is normal, light or none, not \"" + value + "\"");
    }

    void AddRange(char32_t first, char32_t last) {
        if (first > last) Fail("the range " + CodeName(first) + "-" + CodeName(last) + " runs backwards");
        if (last > 0xFFFF) Fail("character " + CodeName(last) + " lies outside the 16-bit range");
        if (first <= 0xDFFF && last >= 0xD800) Fail("surrogate code points are not characters");
        for (char32_t c = first; c <= last; ++c) Description_.Characters.insert(c);
    }

    void ParseCharacters(std::string_view value) {
        while (true) {
            const size_t start = value.find_first_not_of(" \t");
            if (start == std::string_view::npos) return;
            value.remove_prefix(start);
            if (value[0] == '"') {
                const size_t close = value.find('"', 1);
                if (close == std::string_view::npos) Fail("a quoted text is not closed");
                const std::u16string text = Utf8ToUtf16(value.substr(1, close - 1));
                for (size_t i = 0; i < text.size(); ++i) {
                    if (text[i] >= 0xD800 && text[i] <= 0xDFFF) {
                        Fail("characters outside the 16-bit range are not supported");
                    }
                    if (text[i] == 0xFFFD) Fail("the quoted text is not valid UTF-8 (or holds U+FFFD)");
                    Description_.Characters.insert(text[i]);
                }
                value.remove_prefix(close + 1);
                continue;
            }
            const size_t end = std::min(value.find_first_of(" \t"), value.size());
            const std::string word(value.substr(0, end));
            value.remove_prefix(end);
            char32_t first, last;
            const size_t dash = word.find('-');
            if (TextEquals(word, "ascii")) {
                AddRange(0x20, 0x7E);
            } else if (TextEquals(word, "latin1")) {
                AddRange(0xA0, 0xFF);
            } else if (TextEquals(word, "cyrillic")) {
                AddRange(0x401, 0x401);
                AddRange(0x410, 0x44F);
                AddRange(0x451, 0x451);
            } else if (dash == std::string::npos && ParseCode(word, first)) {
                AddRange(first, first);
            } else if (dash != std::string::npos && ParseCode(std::string_view(word).substr(0, dash), first) &&
                       ParseCode(std::string_view(word).substr(dash + 1), last)) {
                AddRange(first, last);
            } else {
                Fail("unknown characters \"" + word +
                     "\" (ascii, latin1, cyrillic, U+XXXX, U+XXXX-U+YYYY or \"text\")");
            }
        }
    }

    std::string Path_;
    int Line_ = 0;
    TFontDescription Description_;
};

std::string FreeTypeError(FT_Error error) {
    const char* text = FT_Error_String(error);
    return text != nullptr ? std::string(text) : "FreeType error " + std::to_string(error);
}

// The FreeType library and one face, freed on every way out.
class TFreeTypeFace {
public:
    TFreeTypeFace(const std::string& descriptionPath, const std::string& fontPath) {
        try {
            File_.LoadFromFile(fontPath);
        } catch (const Exception& e) {
            throw Exception(descriptionPath + ": cannot read the font file \"" + fontPath + "\" (" + e.Message() + ")");
        }
        if (FT_Error error = FT_Init_FreeType(&Library_)) {
            throw Exception("cannot start FreeType (" + FreeTypeError(error) + ")");
        }
        if (FT_Error error = FT_New_Memory_Face(Library_, File_.Memory(), File_.Size(), 0, &Face_)) {
            FT_Done_FreeType(Library_);
            throw Exception(descriptionPath + ": \"" + fontPath + "\" is not a font FreeType can read (" +
                            FreeTypeError(error) + ")");
        }
    }
    ~TFreeTypeFace() {
        FT_Done_Face(Face_);
        FT_Done_FreeType(Library_);
    }
    TFreeTypeFace(const TFreeTypeFace&) = delete;
    TFreeTypeFace& operator=(const TFreeTypeFace&) = delete;

    FT_Face Face() const { return Face_; }

private:
    TMemStream File_;  // FreeType reads the face from this memory while it lives
    FT_Library Library_ = nullptr;
    FT_Face Face_ = nullptr;
};

int32_t Ceil26Dot6(FT_Pos value) { return static_cast<int32_t>((value + 63) >> 6); }
int32_t Round26Dot6(FT_Pos value) { return static_cast<int32_t>((value + 32) >> 6); }

// Row y (from the top) of a FreeType bitmap, whichever way its rows flow.
const uint8_t* SourceRow(const FT_Bitmap& bitmap, int32_t y) {
    const int32_t pitch = bitmap.pitch;
    return pitch >= 0 ? bitmap.buffer + int64_t{y} * pitch
                      : bitmap.buffer + (int64_t{static_cast<int32_t>(bitmap.rows)} - 1 - y) * -pitch;
}

// The glyph of one character. Its mask spans at least the font's whole line, ascent above the
// baseline and descent below, so that every glyph has the same top and a run's baseline does not
// depend on which letters it holds; taller glyphs extend it.
std::unique_ptr<TFontSymbol> RenderSymbol(FT_Face face, const TFontDescription& description, char32_t code,
                                          int32_t ascent, int32_t descent, const std::string& descriptionPath) {
    const FT_UInt index = FT_Get_Char_Index(face, code);
    if (index == 0) {
        throw Exception(descriptionPath + ": the font \"" + description.File + "\" has no glyph for " + CodeName(code));
    }
    FT_Int32 flags = FT_LOAD_NO_BITMAP;
    switch (description.Hinting) {
        case THinting::Normal: flags |= FT_LOAD_TARGET_NORMAL; break;
        case THinting::Light: flags |= FT_LOAD_TARGET_LIGHT; break;
        case THinting::None: flags |= FT_LOAD_NO_HINTING; break;
    }
    FT_Error error = FT_Load_Glyph(face, index, flags);
    if (error == 0) error = FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL);
    if (error != 0) {
        throw Exception(descriptionPath + ": cannot render " + CodeName(code) + " (" + FreeTypeError(error) + ")");
    }
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& source = slot->bitmap;
    if (source.pixel_mode != FT_PIXEL_MODE_GRAY && source.pixel_mode != FT_PIXEL_MODE_MONO) {
        throw Exception(descriptionPath + ": " + CodeName(code) + " did not render as a grey-level image");
    }
    const int32_t width = static_cast<int32_t>(source.width);
    const int32_t rows = static_cast<int32_t>(source.rows);

    TSymbolMetrics m;
    m.Advance = Round26Dot6(slot->advance.x);
    m.XOffset = slot->bitmap_left;
    m.Top = std::max(ascent, slot->bitmap_top);
    m.Descent = std::max(descent, rows - slot->bitmap_top);
    m.Height = m.Top + m.Descent;
    m.Overhang = std::max(0, slot->bitmap_left + width - m.Advance);

    auto symbol = std::make_unique<TFontSymbol>();
    symbol->SetText(std::u16string(1, static_cast<char16_t>(code)));
    symbol->SetMetrics(m);
    if (width > 0 && rows > 0) {
        auto mask = std::make_unique<TImage8>();
        mask->SetSize(width, m.Height);
        const int32_t offset = m.Top - slot->bitmap_top;
        for (int32_t y = 0; y < rows; ++y) {
            const uint8_t* from = SourceRow(source, y);
            uint8_t* to = mask->Row(offset + y);
            for (int32_t x = 0; x < width; ++x) {
                to[x] = source.pixel_mode == FT_PIXEL_MODE_GRAY
                            ? static_cast<uint8_t>(from[x] * 255 / std::max(source.num_grays - 1, 1))
                            : ((from[x / 8] >> (7 - x % 8)) & 1) * 255;
            }
        }
        symbol->SetMask(std::move(mask));
    }
    return symbol;
}

}  // namespace

std::vector<TDisplayScale> FontSourceScales(const std::string& descriptionPath) {
    return TDescriptionParser(descriptionPath).Parse().Scales;
}

std::vector<uint8_t> BuildFontItemBody(const std::string& descriptionPath, const TDisplayScale& scale) {
    const TFontDescription description = TDescriptionParser(descriptionPath).Parse();
    TFreeTypeFace freeType(descriptionPath, description.File);
    const FT_Face face = freeType.Face();
    // The size at the scale in 26.6 fixed point, as points at 72 dots per inch: exactly
    // size * num / den pixels per em (13 px at 150 % is 19.5).
    const FT_F26Dot6 size64 = static_cast<FT_F26Dot6>(int64_t{description.Size} * 64 * scale.Num() / scale.Den());
    const FT_Error error = scale.IsIdentity() ? FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(description.Size))
                                              : FT_Set_Char_Size(face, 0, size64, 72, 72);
    if (error != 0) {
        throw Exception(descriptionPath + ": the font \"" + description.File + "\" has no size of " +
                        std::to_string(description.Size) + " pixels at " + scale.ToString() + " (" +
                        FreeTypeError(error) + ")");
    }
    const FT_Size_Metrics& size = face->size->metrics;
    const int32_t ascent = Ceil26Dot6(size.ascender);
    const int32_t descent = Ceil26Dot6(-size.descender);
    // What the face's line spacing adds to ascent and descent (none when they already pass it).
    const int32_t leading = std::max(0, Round26Dot6(size.height) - ascent - descent);

    TFontImages font;
    font.SetLineMetrics(ascent, descent, leading);
    for (char32_t code : description.Characters) {
        font.AddSymbol(RenderSymbol(face, description, code, ascent, descent, descriptionPath));
    }
    TMemStream body;
    font.Save(body);
    return std::vector<uint8_t>(body.Memory(), body.Memory() + body.Size());
}

}  // namespace marlowen::fstool
