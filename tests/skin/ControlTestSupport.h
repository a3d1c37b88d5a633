#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/Languages.h"
#include "FontTestSupport.h"
#include "platform/headless/HeadlessPlatform.h"
#include "skin/Bitmap32.h"
#include "skin/GraphContainer.h"
#include "skin/GraphControl.h"
#include "skin/GraphElementRegistry.h"
#include "skin/Resources.h"
#include "skin/XMLAttributeValue.h"
#include "skin/XMLNode.h"
#include "storage/MemStream.h"

// A headless screen for the control tests: a platform with a virtual clock and an off-screen
// window, a registry of pack items made in code, and one container of 200 x 100 pixels.
namespace marlowen::testing {

// A tiny reader of XML text for test documents: elements, attributes in double quotes (typed as
// the packs type them) and self-closing tags; no text, comments or entities.
class TXmlTextReader {
public:
    explicit TXmlTextReader(std::string_view text) : Text_(text) {}

    std::unique_ptr<TXMLNode> Read() {
        auto root = std::make_unique<TXMLNode>();
        SkipSpace();
        ReadElement(*root);
        return root;
    }

private:
    void SkipSpace() {
        while (Pos_ < Text_.size() && static_cast<unsigned char>(Text_[Pos_]) <= ' ') ++Pos_;
    }
    void Expect(char c) {
        SkipSpace();
        if (Pos_ >= Text_.size() || Text_[Pos_] != c) {
            throw std::runtime_error("test XML: '" + std::string(1, c) + "' expected at " + std::to_string(Pos_));
        }
        ++Pos_;
    }
    std::string Name() {
        SkipSpace();
        const size_t start = Pos_;
        while (Pos_ < Text_.size() && Text_[Pos_] != '=' && Text_[Pos_] != '>' && Text_[Pos_] != '/' &&
               static_cast<unsigned char>(Text_[Pos_]) > ' ') {
            ++Pos_;
        }
        return std::string(Text_.substr(start, Pos_ - start));
    }
    void ReadElement(TXMLNode& node) {
        Expect('<');
        node.SetName(Name());
        for (;;) {
            SkipSpace();
            if (Text_[Pos_] == '/') {
                Expect('/');
                Expect('>');
                return;
            }
            if (Text_[Pos_] == '>') break;
            std::string name = Name();
            Expect('=');
            Expect('"');
            const size_t end = Text_.find('"', Pos_);
            node.Attributes().Add(
                std::make_unique<TXMLProperty>(name, AttributeValue(Text_.substr(Pos_, end - Pos_))));
            Pos_ = end + 1;
        }
        Expect('>');
        for (;;) {
            SkipSpace();
            if (Text_.compare(Pos_, 2, "</") == 0) {
                Pos_ = Text_.find('>', Pos_) + 1;
                return;
            }
            ReadElement(node.AddChild(""));
        }
    }

    std::string_view Text_;
    size_t Pos_ = 0;
};

inline std::unique_ptr<TXMLNode> ParseXml(std::string_view text) { return TXmlTextReader(text).Read(); }

class TControlBench {
public:
    static constexpr int32_t kWidth = 200;
    static constexpr int32_t kHeight = 100;

    TControlBench()
        : Root_(std::filesystem::temp_directory_path() /
                ("marlowen-controls-" + std::to_string(reinterpret_cast<uintptr_t>(this)))),
          Machine(Root_),
          Context{Resources, TGraphElementRegistry::Standard(), Machine.Platform(), *Languages} {
        Container = std::make_unique<TGraphContainer>(Context, kWidth, kHeight);
    }
    ~TControlBench() {
        Container.reset();
        std::error_code ignored;
        std::filesystem::remove_all(Root_, ignored);
    }

    THeadlessWindowHost& Host() { return static_cast<THeadlessWindowHost&>(Container->Host()); }
    THeadlessWindowHosts& Windows() { return Machine.Windows; }
    // Delivers the posted messages (the repaint among them).
    void Pump() { Machine.Windows.Pump(); }
    void Advance(uint32_t milliseconds) { Machine.Windows.AdvanceClock(milliseconds); }
    uint32_t Pixel(int32_t x, int32_t y) { return Host().Pixel(x, y); }

    // A pack item: an image of one colour, or one given pixel by pixel (rows top first).
    const TBitmap32& AddImage(const std::string& path, int32_t width, int32_t height, uint32_t colour) {
        TMemStream stream;
        TBitmap32 bitmap;
        bitmap.SetSize(width, height);
        bitmap.FillRect({0, 0, width - 1, height - 1}, colour);
        bitmap.SaveToPack(stream);
        return *LoadItem(path, stream).Bitmap();
    }
    // An image given pixel by pixel, rows top first.
    const TBitmap32& AddPixels(const std::string& path, int32_t width, int32_t height,
                               const std::vector<uint32_t>& pixels) {
        TMemStream stream;
        TBitmap32 bitmap;
        bitmap.SetSize(width, height);
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) bitmap.Row(y)[x] = pixels[static_cast<size_t>(y * width + x)];
        }
        bitmap.SaveToPack(stream);
        return *LoadItem(path, stream).Bitmap();
    }
    // A font with dot glyphs for the characters (see AddDotGlyphs), registered under path.
    TFontImages& AddFont(const std::string& path, std::u16string_view characters, int32_t advance,
                         int32_t ascent = 8, int32_t descent = 2) {
        TMemStream stream;
        TFontImages font;
        font.SetLineMetrics(ascent, descent, 0);
        AddDotGlyphs(font, characters, advance);
        font.Save(stream);
        return *LoadItem(path, stream).Font();
    }
    // A stored document from XML text.
    TXMLNode& AddXml(const std::string& path, std::string_view text) {
        TMemStream stream;
        ParseXml(text)->SaveToStream(stream);
        return *LoadItem(path, stream).XML();
    }
    // Builds the controls of the document's root element as roots of the container, like a
    // screen shows them, and paints them.
    TCustomGraphControl* Show(std::string_view text) {
        Documents_.push_back(ParseXml(text));
        const TXMLNode& root = *Documents_.back();
        TCustomGraphControl* first = nullptr;
        for (const TXMLNode* element : root.Nodes().Nodes()) {
            const TGraphControlClassItem* entry = Context.Elements.Lookup(element->Name());
            if (entry == nullptr) continue;
            TCustomGraphControl* control = Container->Controls().AddControl(entry->Factory(nullptr, Context, *element));
            if (first == nullptr) first = control;
        }
        Pump();
        return first;
    }
    template <class T = TCustomGraphControl>
    T& Find(std::string_view name) {
        return Container->Controls().GetControl<T>(name);
    }

private:
    TResourceItem& LoadItem(const std::string& path, TMemStream& stream) {
        auto item = std::make_unique<TResourceItem>(path);
        stream.SetPosition(0);
        item->LoadBody(stream);
        return *Resources.Add(std::move(item));
    }

    std::filesystem::path Root_;
    std::vector<std::unique_ptr<TXMLNode>> Documents_;

public:
    THeadlessPlatform Machine;
    TResources Resources;
    TSkinContext Context;
    std::unique_ptr<TGraphContainer> Container;
};

}  // namespace marlowen::testing
