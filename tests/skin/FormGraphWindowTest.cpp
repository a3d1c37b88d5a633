#include "ControlTestSupport.h"

#include <algorithm>

#include "core/MultiLanguageException.h"
#include "platform/headless/HeadlessForms.h"
#include "skin/FormGraphWindow.h"
#include "skin/GraphWindows.h"
#include "skin/HintWindow.h"
#include "skin/Resources.h"

namespace marlowen::testing {
namespace {

// Forms over the bench's resources: "W\\Main.xml" is a 300 x 151 window with a hinted tile at
// (10, 10), "W\\Broken.xml" lacks its required passive background.
class FormTest : public ::testing::Test {
protected:
    FormTest() : popup(bench.Windows().Screen), hint(popup) {
        bench.AddXml("S\\Solid.xml",
                     "<Frame LeftIndent=\"0\" TopIndent=\"0\" RightIndent=\"0\" BottomIndent=\"0\" BrushType=\"Solid\" "
                     "BrushColor=\"0xFFFF0000\" BorderType=\"None\"/>");
        bench.AddXml("L\\Back.xml", "<Frame Width=\"1\" Height=\"1\" Style=\"S\\Solid.xml\"/>");
        bench.AddXml("W\\Main.xml",
                     "<Window Width=\"300\" Height=\"151\" ActiveBackground=\"L\\Back.xml\" "
                     "PassiveBackground=\"L\\Back.xml\">"
                     "<Frame Name=\"Tip\" Left=\"10\" Top=\"10\" Width=\"20\" Height=\"20\" Style=\"S\\Solid.xml\" "
                     "Hint=\"[rus]Совет[eng]Advice\"/></Window>");
        bench.AddXml("W\\Broken.xml", "<Window Width=\"300\" Height=\"151\" ActiveBackground=\"L\\Back.xml\"/>");
    }

    std::unique_ptr<TFormGraphWindow> MakeForm() {
        auto form = std::make_unique<TFormGraphWindow>(bench.Context, hint);
        form->LoadSkin("W\\Main.xml");
        return form;
    }
    static THeadlessFormHost& HostOf(const TFormGraphWindow& form) {
        return static_cast<THeadlessFormHost&>(form.Host());
    }
    static std::u16string ErrorText(const std::function<void()>& action) {
        try {
            action();
        } catch (const EMultiLanguageException& e) {
            return e.Template();
        }
        return u"no error";
    }

    TControlBench bench;
    THeadlessHintPopup popup;
    THintWindowControl hint;
};

TEST_F(FormTest, TakesTheWindowSizeAndShapeAndOffersNeitherMaximizeNorMoveNorSize) {
    auto form = MakeForm();
    THeadlessFormHost& host = HostOf(*form);
    EXPECT_EQ(host.Bounds(), (TScreenRect{0, 0, 300, 151}));
    EXPECT_EQ(form->Container().Width(), 300);
    EXPECT_EQ(form->Container().Height(), 151);
    EXPECT_EQ(form->Window()->Width(), 300);
    EXPECT_EQ(host.ShapeCount(), 1);
    EXPECT_FALSE(host.Shape().empty());
    EXPECT_EQ(host.SystemMenu(),
              (std::vector<uint32_t>{SystemCommand::Restore, SystemCommand::Minimize, SystemCommand::Close}));

    // Loading again replaces the tree: one window in the container, still the document's size.
    host.MoveTo(40, 50);
    form->LoadSkin("W\\Main.xml");
    EXPECT_EQ(form->Container().Controls().Count(), 1);
    EXPECT_EQ(host.Bounds(), (TScreenRect{40, 50, 340, 201}));
}

TEST_F(FormTest, AtADisplayScaleTheFormItsShapeAndItsHintsAreDevicePixels) {
    auto form = MakeForm();
    THeadlessFormHost& host = HostOf(*form);
    host.MoveTo(100, 200);
    form->SetScale(TDisplayScale::FromPercent(150));
    EXPECT_EQ(host.Bounds(), (TScreenRect{100, 200, 550, 426}));  // 300 x 151 units: 450 x 226 pixels
    EXPECT_EQ(form->Container().Width(), 300);
    EXPECT_EQ(form->Container().Height(), 151);
    EXPECT_EQ(form->Container().DeviceWidth(), 450);
    EXPECT_EQ(form->Window()->Width(), 300);
    int64_t area = 0;
    for (const TScreenRect& r : host.Shape()) {
        EXPECT_LE(r.Right, 450);
        EXPECT_LE(r.Bottom, 226);
        area += int64_t{r.Width()} * r.Height();
    }
    EXPECT_EQ(area, 450 * 226);
    // A window loaded at the scale takes it too.
    form->LoadSkin("W\\Main.xml");
    EXPECT_EQ(host.Bounds(), (TScreenRect{100, 200, 550, 426}));

    host.Show();
    auto& window = static_cast<THeadlessWindowHost&>(form->Container().Host());
    bench.Windows().SetWindowUnderPointer(&window);
    window.MoveMouse(15, 16);  // unit (10, 10): the hinted tile's corner
    bench.Advance(1600);
    ASSERT_TRUE(popup.Showing());
    EXPECT_EQ(popup.Picture().Bounds.Top, 216 + 33 - 2);  // 22 units below the pointer
    bench.Windows().ClearWindowUnderPointer();
}

// The form opens at its display's scale and follows a move to a display of another one: the
// system's top-left, the window's size at the new scale.
TEST_F(FormTest, TheFormTakesItsDisplaysScaleAndFollowsAMoveToAnother) {
    bench.Windows().Screen.Dpi = 144;
    auto form = MakeForm();
    THeadlessFormHost& host = HostOf(*form);
    EXPECT_EQ(form->Container().Scale(), TDisplayScale::FromPercent(150));
    EXPECT_EQ(host.Bounds(), (TScreenRect{0, 0, 450, 226}));
    host.MoveToDpi(192, TScreenRect{1100, 80, 1700, 382});
    EXPECT_EQ(form->Container().Scale(), TDisplayScale::FromPercent(200));
    EXPECT_EQ(host.Bounds(), (TScreenRect{1100, 80, 1700, 382}));
    EXPECT_EQ(form->Container().Width(), 300) << "the tree keeps its units";
    host.MoveToDpi(96, TScreenRect{10, 20, 9999, 9999});
    EXPECT_EQ(host.Bounds(), (TScreenRect{10, 20, 310, 171})) << "the size is the window's, not the suggestion's";

    // What a display reports is held to the scales the skin draws at.
    EXPECT_EQ(TDisplayScale::FromDpi(120), TDisplayScale::FromPercent(125));
    EXPECT_EQ(TDisplayScale::FromDpi(0), TDisplayScale::FromPercent(100));
    EXPECT_EQ(TDisplayScale::FromDpi(-5), TDisplayScale::FromPercent(100));
    EXPECT_EQ(TDisplayScale::FromDpi(1000), TDisplayScale::FromPercent(400));
}

TEST_F(FormTest, AFailingLoadLeavesNoWindowAndAMissingDocumentRaises) {
    auto form = MakeForm();
    EXPECT_ANY_THROW(form->LoadSkin("W\\Broken.xml"));
    EXPECT_EQ(form->Window(), nullptr);
    EXPECT_EQ(form->Container().Controls().Count(), 0);
    EXPECT_THROW(form->LoadSkin("W\\Missing.xml"), EXMLNotFound);
    // Without a window, activation changes nothing and does not fail.
    HostOf(*form).Activate(TFormActivation::ClickActive);
    form->LoadSkin("W\\Main.xml");
    EXPECT_NE(form->Window(), nullptr);
}

TEST_F(FormTest, CentresOnTheWorkAreaRoundingTowardZeroUnlessMaximized) {
    auto form = MakeForm();
    THeadlessFormHost& host = HostOf(*form);
    bench.Windows().Screen.WorkArea = {0, 0, 1024, 738};
    form->CenterOnWorkArea();
    EXPECT_EQ(host.Bounds(), (TScreenRect{362, 293, 662, 444}));  // (1024-300)/2, (738-151)/2 = 293.5

    // A work area left of the screen origin: (-1001 + 0 - 300) / 2 = -650.5 → -650.
    bench.Windows().Screen.WorkArea = {-1001, -7, 0, 0};
    form->CenterOnWorkArea();
    EXPECT_EQ(host.Bounds().Left, -650);
    EXPECT_EQ(host.Bounds().Top, -79);  // (-7 - 151) / 2

    host.SetMaximized(true);
    const int32_t moves = host.MoveCount();
    bench.Windows().Screen.WorkArea = {0, 0, 800, 600};
    form->CenterOnWorkArea();
    EXPECT_EQ(host.MoveCount(), moves);
    EXPECT_EQ(host.Bounds().Left, -650);
}

TEST_F(FormTest, ModalChildTakesTheActivationAndItsParentsInputUntilTheRelationEnds) {
    auto parent = MakeForm();
    auto child = MakeForm();
    auto other = MakeForm();
    THeadlessScreen& screen = bench.Windows().Screen;
    child->SetModalParent(parent.get());
    EXPECT_FALSE(parent->Host().Enabled());
    EXPECT_EQ(HostOf(*child).Owner(), &parent->Host());

    // Activating the parent brings the child forward; the parent keeps its passive look.
    parent->Window()->SetActive(false);
    HostOf(*parent).Activate(TFormActivation::ClickActive);
    EXPECT_EQ(screen.ActiveForm(), &HostOf(*child));
    EXPECT_EQ(screen.Forms().back(), &HostOf(*child));
    EXPECT_TRUE(child->Window()->Active());
    EXPECT_FALSE(parent->Window()->Active());
    EXPECT_FALSE(parent->Host().Enabled());

    EXPECT_EQ(ErrorText([&] { child->SetModalParent(other.get()); }),
              u"[eng]Form already modal.[rus]Форма уже открыта как модальная.");
    EXPECT_EQ(ErrorText([&] { other->SetModalParent(parent.get()); }),
              u"[eng]Parent form already has modal.[rus]У родительской формы уже открыто модальное окно.");
    child->SetModalParent(parent.get());  // unchanged: nothing

    // Hiding the child ends the relation: the parent takes input and comes forward, active.
    child->Host().Hide();
    EXPECT_EQ(child->ModalParent(), nullptr);
    EXPECT_EQ(parent->ModalChild(), nullptr);
    EXPECT_TRUE(parent->Host().Enabled());
    EXPECT_EQ(screen.ActiveForm(), &HostOf(*parent));
    EXPECT_TRUE(parent->Window()->Active());
    EXPECT_EQ(HostOf(*child).Owner(), nullptr);

    // Closing does the same, and the parent may take a new modal form.
    other->SetModalParent(parent.get());
    other->CloseBySkin();
    EXPECT_FALSE(other->Host().Visible());
    EXPECT_TRUE(parent->Host().Enabled());
    EXPECT_EQ(screen.Forms().back(), &HostOf(*parent));
    child->SetModalParent(parent.get());
    // A modal child freed with the relation standing gives its parent the input back.
    child.reset();
    EXPECT_TRUE(parent->Host().Enabled());
    EXPECT_EQ(parent->ModalChild(), nullptr);
}

TEST_F(FormTest, DeactivationShowsThePassiveLook) {
    auto form = MakeForm();
    HostOf(*form).Activate(TFormActivation::Active);
    EXPECT_TRUE(form->Window()->Active());
    HostOf(*form).Activate(TFormActivation::Inactive);
    EXPECT_FALSE(form->Window()->Active());
}

TEST_F(FormTest, HintShows22PixelsBelowThePointerAfter1500MsFor5000Ms) {
    auto form = MakeForm();
    THeadlessFormHost& host = HostOf(*form);
    host.MoveTo(100, 200);
    host.Show();
    auto& window = static_cast<THeadlessWindowHost&>(form->Container().Host());
    bench.Windows().SetWindowUnderPointer(&window);
    bench.Advance(20);
    window.MoveMouse(15, 16);  // at 20 ms: due at 1520 ms
    bench.Advance(1480);
    EXPECT_FALSE(popup.Showing());
    bench.Advance(20);
    ASSERT_TRUE(popup.Showing());
    EXPECT_EQ(hint.Text(), u"Advice");
    // Text rectangle at the pointer (115, 216) moved 22 down; popup grown by indent and border.
    EXPECT_EQ(popup.Picture().Bounds.Left, 115 - 2);
    EXPECT_EQ(popup.Picture().Bounds.Top, 216 + 22 - 2);
    bench.Advance(4980);
    EXPECT_TRUE(popup.Showing());
    bench.Advance(20);  // 5000 ms after it came
    EXPECT_FALSE(popup.Showing());

    // Minimizing hides a shown hint first (the pointer leaves and comes back for a new one).
    window.MoveMouse(100, 100);
    window.MoveMouse(16, 16);
    bench.Advance(1600);
    ASSERT_TRUE(popup.Showing());
    form->Minimize();
    EXPECT_FALSE(popup.Showing());
    EXPECT_TRUE(host.Minimized());
    bench.Windows().ClearWindowUnderPointer();
}

TEST_F(FormTest, Message1025ClosesAndFreeOnCloseFreesWhenTheReleaseArrives) {
    auto kept = MakeForm();
    kept->Host().Show();
    HostOf(*kept).PostMessage(1025);
    EXPECT_TRUE(kept->Host().Visible());
    EXPECT_TRUE(HostOf(*kept).DeliverNextMessage());
    EXPECT_FALSE(kept->Host().Visible());
    EXPECT_FALSE(HostOf(*kept).DeliverNextMessage());  // nothing to free

    auto parent = MakeForm();
    TFormGraphWindow* freed = MakeForm().release();
    freed->FreeOnClose = true;
    freed->SetModalParent(parent.get());
    THeadlessFormHost& host = HostOf(*freed);
    host.PostMessage(1025);
    ASSERT_TRUE(host.DeliverNextMessage());
    EXPECT_TRUE(parent->Host().Enabled());
    const size_t forms = bench.Windows().Screen.Forms().size();
    ASSERT_TRUE(host.DeliverNextMessage());  // the release: the form and its host are gone
    EXPECT_EQ(bench.Windows().Screen.Forms().size(), forms - 1);
}

}  // namespace
}  // namespace marlowen::testing
