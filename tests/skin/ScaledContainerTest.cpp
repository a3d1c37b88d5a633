#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "ControlTestSupport.h"
#include "core/Languages.h"
#include "platform/headless/HeadlessFileSystem.h"
#include "platform/headless/HeadlessWindowHost.h"
#include "skin/GraphAccessibleTree.h"
#include "skin/GraphButtons.h"
#include "skin/GraphWindows.h"
#include "skin/PaintContext.h"
#include "skin/SkinLibrary.h"
#include "TestFolders.h"

namespace marlowen {
namespace {

using testing::TControlBench;
constexpr uint32_t kWhite = 0xFFFFFFFF;

// A control that fills itself with one colour and notes where presses reach it.
class TFill : public TCustomGraphControl {
public:
    TFill(const TSkinContext& context, std::string name, uint32_t colour, std::vector<std::string>* log = nullptr)
        : TCustomGraphControl(context), Colour(colour), Log_(log) {
        SetName(std::move(name));
    }
    void Paint(const TPaintContext& paint) override { paint.FillRect({0, 0, Width(), Height()}, Colour); }
    void DoLButtonDown(int32_t x, int32_t y, TShiftState) override {
        if (Log_ != nullptr) Log_->push_back(Name() + " " + std::to_string(x) + "," + std::to_string(y));
    }
    uint32_t Colour;

private:
    std::vector<std::string>* Log_;
};

class ScaledContainer : public ::testing::Test {
protected:
    TFill* Add(const std::string& name, int32_t left, int32_t top, int32_t width, int32_t height, uint32_t colour) {
        auto fill = std::make_unique<TFill>(Bench.Context, name, colour, &Log);
        fill->SetBounds(left, top, width, height);
        return Bench.Container->Controls().AddControl(std::move(fill));
    }
    TControlBench Bench;
    std::vector<std::string> Log;
};

TEST_F(ScaledContainer, AdjacentControlsMeetExactlyAndARepaintKeepsTheEdge) {
    for (int32_t percent : {125, 150, 175}) {
        TControlBench bench;
        const TDisplayScale scale = TDisplayScale::FromPercent(percent);
        bench.Container->SetScale(scale);
        ASSERT_EQ(bench.Host().ClientWidth(), scale.Device(TControlBench::kWidth));
        ASSERT_EQ(bench.Host().ClientHeight(), scale.Device(TControlBench::kHeight));
        EXPECT_EQ(bench.Container->Width(), TControlBench::kWidth);
        std::vector<TFill*> fills;
        // Edges at every remainder of the scale's fraction: 0, 3, 4, 7, 9, 10, 13, 14.
        const int32_t edges[] = {0, 3, 4, 7, 9, 10, 13, 14};
        for (size_t i = 0; i + 1 < std::size(edges); ++i) {
            auto fill = std::make_unique<TFill>(bench.Context, "F" + std::to_string(i), 0xFF000000u + uint32_t(i));
            fill->SetBounds(edges[i], 1, edges[i + 1] - edges[i], 2);
            fills.push_back(bench.Container->Controls().AddControl(std::move(fill)));
        }
        bench.Pump();
        // One control repainted alone, in a new colour: the pixels it owns, no more, no fewer.
        fills[3]->Colour = 0xFF00FF00;
        fills[3]->Invalidate();
        bench.Pump();
        for (int32_t x = 0; x < scale.Device(16); ++x) {
            uint32_t expected = kWhite;
            for (size_t i = 0; i + 1 < std::size(edges); ++i) {
                if (x >= scale.Device(edges[i]) && x < scale.Device(edges[i + 1])) expected = fills[i]->Colour;
            }
            ASSERT_EQ(bench.Pixel(x, scale.Device(1)), expected) << percent << "% x=" << x;
            ASSERT_EQ(bench.Pixel(x, scale.Device(3) - 1), expected) << percent << "% x=" << x;
            ASSERT_EQ(bench.Pixel(x, scale.Device(3)), kWhite) << percent << "% x=" << x;
            ASSERT_EQ(bench.Pixel(x, scale.Device(1) - 1), kWhite) << percent << "% x=" << x;
        }
    }
}

TEST_F(ScaledContainer, PressesGoToTheUnitThatHoldsTheDevicePixel) {
    Bench.Container->SetScale(TDisplayScale::FromPercent(150));
    Add("A", 0, 0, 3, 2, 0xFF0000FF);
    Add("B", 3, 0, 3, 2, 0xFF00FF00);
    Bench.Pump();
    // Units 0..5 span the device columns [0,1) [1,3) [3,4) [4,6) [6,7) [7,9).
    for (int32_t d = 0; d < 9; ++d) Bench.Host().PressLeft(d, 2);
    EXPECT_EQ(Log, (std::vector<std::string>{"A 0,1", "A 1,1", "A 1,1", "A 2,1", "B 0,1", "B 0,1", "B 1,1", "B 2,1",
                                              "B 2,1"}));
}

TEST_F(ScaledContainer, AssistiveTechnologySeesDevicePixels) {
    Bench.AddImage("B\\normal.bmp", 20, 10, 0xFF0000FF);
    Bench.AddImage("B\\pressed.bmp", 20, 10, 0xFF00FF00);
    auto button = std::make_unique<TGraphButton>(Bench.Context, 3, 1, "B", TButtonStyle::Button, 0,
                                                 TGraphButton::NoTransform, nullptr);
    button->Hint = u"[eng]Next";
    TGraphButton* next = Bench.Container->Controls().AddControl(std::move(button));
    Bench.Container->SetScale(TDisplayScale::FromPercent(150));
    TGraphAccessibleTree& tree = Bench.Container->Accessible();
    const int32_t id = tree.NodeOf(next);
    TAccessibleDescription d;
    ASSERT_TRUE(tree.Describe(id, d));
    EXPECT_EQ(d.Left, 4);
    EXPECT_EQ(d.Top, 1);
    EXPECT_EQ(d.Width, 30);   // Device(23) - Device(3)
    EXPECT_EQ(d.Height, 15);  // Device(11) - Device(1)
    ASSERT_TRUE(tree.Describe(TAccessibleTree::kClient, d));
    EXPECT_EQ(d.Width, 300);
    EXPECT_EQ(d.Height, 150);
    EXPECT_EQ(tree.HitTest(4, 1), id);
    EXPECT_EQ(tree.HitTest(33, 15), id);
    EXPECT_EQ(tree.HitTest(3, 1), TAccessibleTree::kClient);
    EXPECT_EQ(tree.HitTest(34, 1), TAccessibleTree::kClient);
    // Points of the window in pixels, not units; anything outside is no node at all.
    EXPECT_EQ(tree.HitTest(250, 120), TAccessibleTree::kClient);
    EXPECT_EQ(tree.HitTest(300, 0), TAccessibleTree::kNone);
    EXPECT_EQ(tree.HitTest(INT32_MIN, INT32_MAX), TAccessibleTree::kNone);
}

TEST_F(ScaledContainer, BackToOneHundredPercentThePixelsAreTheUnscaledOnes) {
    Add("A", 2, 3, 7, 5, 0xFF102030);
    Bench.Host().InvalidateAll();
    Bench.Pump();
    const std::vector<uint32_t> before = Bench.Host().Surface();
    Bench.Container->SetScale(TDisplayScale::FromPercent(175));
    Bench.Pump();
    EXPECT_EQ(Bench.Host().ClientWidth(), 350);
    Bench.Container->SetScale(TDisplayScale());
    Bench.Pump();
    EXPECT_EQ(Bench.Host().ClientWidth(), 200);
    EXPECT_EQ(Bench.Host().Surface(), before);
}

// --- the default skin at every scale ---

#ifdef MARLOWEN_HAS_DIST
const int32_t kProductPercents[] = {100, 125, 150, 175, 200, 250, 300};

class DefaultSkinScales : public ::testing::Test {
protected:
    DefaultSkinScales()
        : Root_(std::filesystem::temp_directory_path() /
                ("marlowen-scales-" + std::to_string(reinterpret_cast<uintptr_t>(this)))),
          Machine(Root_),
          Files(testing::DistributionFolder()),
          Context{Skin.Resources(), TGraphElementRegistry::Standard(), Machine.Platform(), *Languages} {
        Skin.Start(Files, Machine.Registry, "");
    }
    ~DefaultSkinScales() override {
        std::error_code ignored;
        std::filesystem::remove_all(Root_, ignored);
    }

    // The screen documents: the gallery's and the install wizard's documents (not their parts in
    // sub-folders) whose root (or a child of it) is a control kind, or that describe a window.
    std::vector<std::string> Screens() const {
        std::vector<std::string> names;
        for (const TCustomItem* i = Skin.Resources().First(); i != nullptr; i = i->Next()) {
            const auto& item = static_cast<const TResourceItem&>(*i);
            const std::string& name = item.Name();
            const bool screenFolder = name.rfind("XML\\Gallery\\", 0) == 0 || name.rfind("XML\\Install\\", 0) == 0;
            if (item.XML() == nullptr || !screenFolder || std::count(name.begin(), name.end(), '\\') != 2) continue;
            if (Buildable(*item.XML())) names.push_back(item.Name());
        }
        return names;
    }
    bool Buildable(const TXMLNode& root) const {
        if (IsWindow(root) || Context.Elements.Lookup(root.Name()) != nullptr) return true;
        for (const TXMLNode* child : root.Nodes().Nodes()) {
            if (Context.Elements.Lookup(child->Name()) != nullptr) return true;
        }
        return false;
    }
    static bool IsWindow(const TXMLNode& root) { return root.Attributes().Find("ActiveBackground") != nullptr; }

    // Builds the document in a container at the scale, as a screen shows it, and paints it.
    std::unique_ptr<TGraphContainer> Build(const std::string& document, const TDisplayScale& scale) {
        const TXMLNode& root = Skin.Resources().GetXML(document);
        auto container = std::make_unique<TGraphContainer>(Context, root.Attributes().GetIntegerDef("Width", 562),
                                                           root.Attributes().GetIntegerDef("Height", 294));
        container->SetScale(scale);
        if (IsWindow(root)) {
            auto window = std::make_unique<TGraphWindow>(Context);
            window->LoadFromXML(root);
            container->Controls().AddControl(std::move(window))->SetBounds(0, 0, container->Width(), container->Height());
        } else if (const TGraphControlClassItem* entry = Context.Elements.Lookup(root.Name())) {
            container->Controls().AddControl(entry->Factory(nullptr, Context, root));
        } else {
            for (const TXMLNode* element : root.Nodes().Nodes()) {
                if (const TGraphControlClassItem* e = Context.Elements.Lookup(element->Name())) {
                    container->Controls().AddControl(e->Factory(nullptr, Context, *element));
                }
            }
        }
        static_cast<THeadlessWindowHost&>(container->Host()).InvalidateAll();
        Machine.Windows.Pump();
        return container;
    }

    // Every control in tree order: kind, name and bounds in units.
    static std::vector<std::string> Layout(const TGraphContainer& container) {
        std::vector<std::string> out;
        for (TCustomGraphControl* c = container.Controls().First(); c != nullptr; c = c->NextInTree()) {
            const TPoint at = c->ClientToContainer(0, 0);
            out.push_back(std::string(typeid(*c).name()) + " " + c->Name() + " " + std::to_string(at.X) + "," +
                          std::to_string(at.Y) + " " + std::to_string(c->Width()) + "x" + std::to_string(c->Height()) +
                          (c->Visible() ? "" : " hidden"));
        }
        return out;
    }

    std::filesystem::path Root_;
    THeadlessPlatform Machine;
    THeadlessFileSystem Files;
    TSkinLibrary Skin;
    TSkinContext Context;
};

TEST_F(DefaultSkinScales, EveryScreenLaysOutInTheSameUnitsAtEveryScale) {
    const std::vector<std::string> screens = Screens();
    ASSERT_GE(screens.size(), 8u);
    for (const std::string& document : screens) {
        SCOPED_TRACE(document);
        const std::vector<std::string> unscaled = Layout(*Build(document, TDisplayScale()));
        ASSERT_FALSE(unscaled.empty()) << document;
        for (int32_t percent : kProductPercents) {
            const TDisplayScale scale = TDisplayScale::FromPercent(percent);
            const std::unique_ptr<TGraphContainer> container = Build(document, scale);
            EXPECT_EQ(Layout(*container), unscaled) << document << " at " << percent << "%";
            EXPECT_EQ(container->DeviceWidth(), scale.Device(container->Width())) << document;
        }
    }
}

TEST_F(DefaultSkinScales, WithoutPicturesForTheScaleEveryPixelOfAPageAtTwoHundredPercentIsDoubled) {
    // The skin as one without variants: the box filter's whole factor is exact replication.
    const TFontImages none;
    for (const TCustomItem* i = Skin.Resources().First(); i != nullptr; i = i->Next()) {
        const auto& item = static_cast<const TResourceItem&>(*i);
        if (item.Bitmap() != nullptr) item.Bitmap()->ClearVariants();
        if (item.Font() != nullptr) item.Font()->AddVariant(TDisplayScale::FromPercent(200), none);
    }
    for (const char* document : {"XML\\Install\\Welcome.xml", "XML\\Install\\Window.xml", "XML\\Gallery\\Controls.xml"}) {
        const std::unique_ptr<TGraphContainer> unscaled = Build(document, TDisplayScale());
        const std::unique_ptr<TGraphContainer> doubled = Build(document, TDisplayScale::FromPercent(200));
        const auto& small = static_cast<const THeadlessWindowHost&>(unscaled->Host());
        const auto& large = static_cast<const THeadlessWindowHost&>(doubled->Host());
        ASSERT_EQ(large.ClientWidth(), 2 * small.ClientWidth());
        int32_t wrong = 0;
        for (int32_t y = 0; y < large.ClientHeight(); ++y) {
            for (int32_t x = 0; x < large.ClientWidth(); ++x) wrong += large.Pixel(x, y) != small.Pixel(x / 2, y / 2);
        }
        EXPECT_EQ(wrong, 0) << document;
    }
}

TEST_F(DefaultSkinScales, AtTwoHundredPercentTheWindowIsDrawnFromItsPictureForTheScale) {
    const TBitmap32& sharp = Skin.Resources().GetImage("Images\\Install\\Window@2x.bmp");
    ASSERT_EQ(sharp.Width(), 1200);
    const std::unique_ptr<TGraphContainer> doubled = Build("XML\\Install\\Window.xml", TDisplayScale::FromPercent(200));
    const auto& large = static_cast<const THeadlessWindowHost&>(doubled->Host());
    // The rounded corner, where nothing else is drawn: the picture's opaque pixels as they are.
    int32_t opaque = 0, wrong = 0;
    for (int32_t y = 0; y < 24; ++y) {
        for (int32_t x = 0; x < 24; ++x) {
            if ((sharp.Row(y)[x] >> 24) != 0xFF) continue;
            ++opaque;
            wrong += large.Pixel(x, y) != sharp.Row(y)[x];
        }
    }
    EXPECT_GT(opaque, 400);
    EXPECT_EQ(wrong, 0);
    // The window's shape follows the picture's finer corner, not the 100 % one doubled.
    const auto* window = static_cast<const TGraphWindow*>(doubled->Controls().First());
    const std::vector<TRect> shape = window->ShapeRectangles();
    ASSERT_FALSE(shape.empty());
    int32_t left = 0;
    while ((sharp.Row(0)[left] >> 24) == 0) ++left;
    EXPECT_EQ(shape.front(), (TRect{left, 0, 1200 - left, 1}));
}
#endif

}  // namespace
}  // namespace marlowen
