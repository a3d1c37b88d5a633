#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "ControlTestSupport.h"
#include "core/Exception.h"
#include "platform/WindowHost.h"
#include "skin/GraphCards.h"

namespace marlowen {
namespace {

using testing::TControlBench;

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kGreen = 0xFF00FF00;
constexpr uint32_t kBlack = 0xFF000000;
constexpr uint32_t kGrey = 0xFF808080;

// --- card texts and the hand table ---

TEST(CardTextTest, ReadsRanksSuitsAndSymbolsAndTreatsMalformedTextsAsNoCardOrFaceDown) {
    EXPECT_EQ(CardFromText("As"), 50);
    EXPECT_EQ(CardFromText("a\xAA"), 50);  // the spade symbol byte, rank in lower case
    EXPECT_EQ(CardFromText("2d"), 0);
    EXPECT_EQ(CardFromText("Th"), 8 * 4 + 3);
    EXPECT_EQ(CardFromText(""), CardCode::None);
    EXPECT_EQ(CardFromText("nOnE"), CardCode::None);
    EXPECT_EQ(CardFromText("UNKNOWN"), CardCode::Unknown);
    EXPECT_EQ(CardFromText("A"), CardCode::None);  // one character names no card
    EXPECT_EQ(CardFromText("Xs"), CardCode::Unknown);
    EXPECT_EQ(CardFromText("Ax"), CardCode::Unknown);

    EXPECT_EQ(CardToText(50), "As");
    EXPECT_EQ(CardToText(0), "2d");
    EXPECT_EQ(CardToText(CardCode::Unknown), "?");
    EXPECT_EQ(CardToText(52), "");
    EXPECT_EQ(CardToText(253), "");
    EXPECT_EQ(NormalizedCard(52), CardCode::None);
    EXPECT_EQ(NormalizedCard(51), 51);
}

TEST(HandCellsTest, PlacesCountsAndGroupsTheStartingHands) {
    const std::vector<THandCell> cells = MakeHandCells();
    ASSERT_EQ(cells.size(), 169u);
    std::set<std::pair<int32_t, int32_t>> places;
    for (const THandCell& cell : cells) places.insert({cell.Column, cell.Row});
    EXPECT_EQ(places.size(), 169u);  // every grid place exactly once

    auto find = [&](const std::string& name) -> const THandCell& {
        for (const THandCell& cell : cells) {
            if (cell.Name == name) return cell;
        }
        throw std::runtime_error("no hand " + name);
    };
    EXPECT_EQ(std::make_pair(find("AKs").Column, find("AKs").Row), std::make_pair(1, 0));
    EXPECT_EQ(std::make_pair(find("AKo").Column, find("AKo").Row), std::make_pair(0, 1));
    EXPECT_EQ(std::make_pair(find("AA").Column, find("AA").Row), std::make_pair(0, 0));
    EXPECT_EQ(std::make_pair(find("22").Column, find("22").Row), std::make_pair(12, 12));
    EXPECT_EQ(cells[0].CumulativeCombinations, 6);
    EXPECT_EQ(cells[1].CumulativeCombinations, 12);
    EXPECT_EQ(cells[2].CumulativeCombinations, 18);
    EXPECT_EQ(cells[3].CumulativeCombinations, 22);
    EXPECT_EQ(cells.back().Name, "72o");
    EXPECT_EQ(cells.back().CumulativeCombinations, THoldemHandSet::kAllCombinations);
    EXPECT_EQ(find("AKo").Group, 2);
    EXPECT_EQ(find("AKs").Group, 1);
    EXPECT_EQ(find("65o").Group, 8);
    EXPECT_EQ(find("72o").Group, 9);
}

// --- card image and card control ---

void AddDeck(TControlBench& bench) {
    bench.AddXml("Decks\\Small.xml", R"(<Deck CardsImageFolder="Cards" CardBackImageName="Cards\Back.bmp"/>)");
    bench.AddImage("Cards\\Back.bmp", 3, 4, kRed);
    bench.AddImage("Cards\\As.bmp", 3, 4, kBlue);
}

TEST(GraphCardImageTest, PaintsTheBackTheFaceOrNothingAtTheBacksSize) {
    TControlBench bench;
    AddDeck(bench);
    bench.Show(R"(<Screen>
        <CardImage Name="back" Deck="Decks\Small.xml" Left="0" Top="0"/>
        <CardImage Name="none" Deck="Decks\Small.xml" Left="10" Top="0" Card="None"/>
        <CardImage Name="ace" Deck="Decks\Small.xml" Left="20" Top="0" Card="As" Transparent="false"/>
        <CardImage Name="odd" Deck="Decks\Small.xml" Left="30" Top="0" Card="Kd"/>
    </Screen>)");
    auto& none = bench.Find<TGraphCardImage>("none");
    EXPECT_EQ(none.Width(), 3);
    EXPECT_EQ(none.Height(), 4);
    EXPECT_EQ(bench.Pixel(2, 3), kRed);
    EXPECT_EQ(bench.Pixel(11, 1), kWhite);
    EXPECT_EQ(bench.Pixel(22, 3), kBlue);
    EXPECT_EQ(bench.Pixel(31, 1), kWhite);  // a face the pack lacks paints nothing
    EXPECT_EQ(bench.Find<TGraphCardImage>("ace").GetImageName(), "Cards\\As.bmp");
    EXPECT_FALSE(bench.Find<TGraphCardImage>("back").HitTest(1, 1));
    EXPECT_TRUE(bench.Find<TGraphCardImage>("ace").HitTest(1, 1));

    auto& ace = bench.Find<TGraphCardImage>("ace");
    ace.SetCard(200);  // no card code: nothing, not a face
    bench.Pump();
    EXPECT_EQ(ace.Card(), CardCode::None);
    EXPECT_EQ(bench.Pixel(21, 1), kWhite);
}

TEST(GraphCardControlTest, BuildsItsStateHandsHotAndCardToItAndRaisesItsButtonEvents) {
    TControlBench bench;
    AddDeck(bench);
    bench.AddImage("Styles\\Hot.bmp", 8, 1, kBlack);
    bench.AddXml("Styles\\Card.xml", R"(<Style Width="8" Height="8" TabStop="true">
        <Normal>
            <CardImage Deck="Decks\Small.xml" Left="1" Top="1"/>
            <If Hot="true"><Image Image="Styles\Hot.bmp" Left="0" Top="7"/></If>
        </Normal>
        <Other><Image Image="Styles\Hot.bmp" Left="0" Top="0"/></Other>
    </Style>)");
    bench.AddXml("Styles\\Empty.xml", R"(<Style Width="8" Height="8"/>)");
    bench.Show(R"(<Screen><CardControl Name="card" Style="Styles\Card.xml" Left="10" Top="10" Card="As"/></Screen>)");
    auto& card = bench.Find<TGraphCardControl>("card");
    EXPECT_EQ(card.Width(), 8);
    EXPECT_TRUE(card.TabStop);
    EXPECT_EQ(card.State(), "Normal");
    ASSERT_NE(card.CardImage(), nullptr);
    EXPECT_EQ(bench.Pixel(11, 11), kBlue);
    EXPECT_EQ(bench.Pixel(10, 17), kWhite);

    bench.Host().MoveMouse(12, 12);
    bench.Pump();
    EXPECT_EQ(bench.Pixel(10, 17), kBlack);

    card.SetCard(CardCode::Unknown);
    bench.Pump();
    EXPECT_EQ(bench.Pixel(11, 11), kRed);

    int rightClicks = 0;
    card.OnCardRButtonDown = [&](TGraphCardControl& sender) {
        EXPECT_TRUE(sender.Focused());  // the focus is taken before the event
        ++rightClicks;
    };
    bench.Host().PressRight(12, 12);
    bench.Host().ReleaseRight(12, 12);
    EXPECT_EQ(rightClicks, 1);

    card.SetState("other");  // letter case ignored
    EXPECT_EQ(card.CardImage(), nullptr);
    card.SetState("Missing");
    EXPECT_EQ(card.Controls().First(), nullptr);

    try {
        bench.Show(R"(<Screen><CardControl Style="Styles\Empty.xml"/></Screen>)");
        FAIL() << "a style without states was accepted";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "В Styles\\Empty.xml не определено ни одного стиля.");
    }
}

// --- hand set ---

// Cells of 4 x 4 inside a 1-pixel border, two pixels from the left and three from the top:
// column c starts at x = 12 + 5c, row r at y = 13 + 5r on the screen. A selected cell is green
// with black edge marks one pixel inside its border.
class HoldemHandSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        bench.AddImage("H\\Bg.bmp", 68, 68, kGrey);
        bench.AddImage("H\\Fill.bmp", 6, 6, kGreen);
        bench.AddImage("H\\V.bmp", 1, 6, kBlack);
        bench.AddImage("H\\H.bmp", 6, 1, kBlack);
    }
    THoldemHandSet& Show(bool readOnly) {
        const std::string cell = R"(<If Checked="true"><Image Image="H\Fill.bmp"/></If>
            <If LeftEdge="true"><Image Image="H\V.bmp" Left="1"/></If>
            <If RightEdge="true"><Image Image="H\V.bmp" Left="4"/></If>
            <If TopEdge="true"><Image Image="H\H.bmp" Top="1"/></If>
            <If BottomEdge="true"><Image Image="H\H.bmp" Top="4"/></If>)";
        bench.Show(std::string(R"(<Screen><HoldemHandSet Name="hands" Left="10" Top="10" Width="68" Height="68" )") +
                   "ReadOnly=\"" + (readOnly ? "true" : "false") +
                   R"(" CellWidth="4" CellHeight="4" CellBorder="1" LeftIndent="2" TopIndent="3">
            <Background><Image Image="H\Bg.bmp"/></Background>
            <Pair>)" + cell + "</Pair><Suited>" + cell + "</Suited><Unsuited>" + cell +
                   "</Unsuited></HoldemHandSet></Screen>");
        auto& hands = bench.Find<THoldemHandSet>("hands");
        hands.OnChange = [this](THoldemHandSet&) { ++changes; };
        hands.OnHandMouseDown = [this](THoldemHandSet&) { ++presses; };
        return hands;
    }
    static int32_t X(int32_t column) { return 12 + 5 * column; }
    static int32_t Y(int32_t row) { return 13 + 5 * row; }

    TControlBench bench;
    int changes = 0;
    int presses = 0;
};

TEST_F(HoldemHandSetTest, StartsWithEverythingSelectedAndDragsOneStateAcrossTheCells) {
    THoldemHandSet& hands = Show(false);
    EXPECT_EQ(hands.SelectedCount(), THoldemHandSet::kAllCombinations);
    EXPECT_EQ(hands.CellAt(1, 5), nullptr);   // left of the grid
    EXPECT_EQ(hands.CellAt(67, 5), nullptr);  // past column 12
    EXPECT_EQ(hands.CellAt(2 + 5, 3)->Name, "AKs");

    // From a selected cell: every cell crossed is deselected, the move without the button
    // changes nothing.
    bench.Host().PressLeft(X(0) + 2, Y(0) + 2);
    bench.Host().MoveMouse(X(1) + 2, Y(0) + 2, ShiftState::Left);
    bench.Host().MoveMouse(X(2) + 2, Y(0) + 2, ShiftState::Left);
    bench.Host().ReleaseLeft(X(2) + 2, Y(0) + 2);
    bench.Host().MoveMouse(X(3) + 2, Y(0) + 2);
    bench.Pump();
    EXPECT_FALSE(hands.FindCell("AA")->Selected);
    EXPECT_FALSE(hands.FindCell("AKs")->Selected);
    EXPECT_FALSE(hands.FindCell("AQs")->Selected);
    EXPECT_TRUE(hands.FindCell("AJs")->Selected);
    EXPECT_EQ(hands.SelectedCount(), 1326 - 6 - 4 - 4);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(bench.Pixel(X(1) + 2, Y(0) + 2), kGrey);

    // From a deselected cell the drag selects again.
    bench.Host().PressLeft(X(1) + 2, Y(0) + 2);
    bench.Host().MoveMouse(X(0) + 2, Y(0) + 2, ShiftState::Left);
    bench.Host().ReleaseLeft(X(0) + 2, Y(0) + 2);
    EXPECT_EQ(hands.SelectedCount(), 1326 - 4);

    // A press beside the grid is reported but selects nothing and starts no drag.
    bench.Host().PressLeft(11, 11);
    bench.Host().MoveMouse(X(3) + 2, Y(0) + 2, ShiftState::Left);
    bench.Host().ReleaseLeft(X(3) + 2, Y(0) + 2);
    EXPECT_EQ(presses, 3);
    EXPECT_EQ(hands.SelectedCount(), 1326 - 4);
}

TEST_F(HoldemHandSetTest, OutlinesEachBlockOfSelectedCells) {
    THoldemHandSet& hands = Show(false);
    for (const THandCell& cell : hands.Cells()) hands.SetSelected(const_cast<THandCell&>(cell), false);
    EXPECT_EQ(hands.SelectedCount(), 0);
    THandCell& single = *hands.Cell(5, 5);
    hands.SetSelected(single, true);
    bench.Pump();
    const int32_t x = X(5);  // the cell's rectangle, its border included
    const int32_t y = Y(5);
    EXPECT_EQ(bench.Pixel(x + 1, y + 3), kBlack);
    EXPECT_EQ(bench.Pixel(x + 4, y + 3), kBlack);
    EXPECT_EQ(bench.Pixel(x + 3, y + 1), kBlack);
    EXPECT_EQ(bench.Pixel(x + 3, y + 4), kBlack);
    EXPECT_EQ(bench.Pixel(x + 2, y + 2), kGreen);

    hands.SetSelected(*hands.Cell(6, 5), true);
    bench.Pump();
    EXPECT_EQ(bench.Pixel(x + 4, y + 3), kGreen);      // no edge towards the neighbour
    EXPECT_EQ(bench.Pixel(x + 5 + 1, y + 3), kGreen);  // nor on the neighbour's side
    EXPECT_EQ(bench.Pixel(x + 5 + 4, y + 3), kBlack);
    EXPECT_EQ(bench.Pixel(x + 1, y + 3), kBlack);
    EXPECT_EQ(hands.SelectedCount(), single.Combinations + hands.Cell(6, 5)->Combinations);
}

TEST_F(HoldemHandSetTest, ReadOnlyReportsThePressAndKeepsTheSelection) {
    THoldemHandSet& hands = Show(true);
    bench.Host().Click(X(0) + 2, Y(0) + 2);
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(hands.FindCell("AA")->Selected);
}

// --- hand control ---

TEST(HandControlTest, WiresTheCardsAndTheHandGridOfEveryState) {
    TControlBench bench;
    AddDeck(bench);
    bench.AddXml("Styles\\Card.xml", R"(<Style Width="4" Height="4"><Normal/></Style>)");
    bench.AddImage("H\\Bg.bmp", 1, 1, kGrey);
    bench.Show(R"(<Screen><HandControl Name="hand" Left="0" Top="0" Width="100" Height="50">
        <Cards>
            <CardControl Name="one" Style="Styles\Card.xml" Left="0" Top="0"/>
            <CardControl Name="hidden" Style="Styles\Card.xml" Left="10" Top="0" Visible="false"/>
            <CardControl Name="two" Style="Styles\Card.xml" Left="20" Top="0"/>
        </Cards>
        <Grid>
            <HoldemHandSet Name="grid" Left="0" Top="0" Width="70" Height="70" ReadOnly="false" CellWidth="3"
                CellHeight="3" CellBorder="1" LeftIndent="0" TopIndent="0">
                <Background/><Pair/><Suited/><Unsuited/>
            </HoldemHandSet>
        </Grid>
    </HandControl></Screen>)");
    auto& hand = bench.Find<THandControl>("hand");
    ASSERT_EQ(hand.Cards().size(), 2u);
    EXPECT_EQ(hand.Cards()[1]->Name(), "two");
    std::string rightClicked;
    hand.OnCardRButtonDown = [&](TGraphCardControl& card) { rightClicked = card.Name(); };
    bench.Host().PressRight(21, 1);
    EXPECT_EQ(rightClicked, "two");

    int gridChanges = 0;
    hand.OnHandSetChange = [&](THandControl&) { ++gridChanges; };
    hand.SelectState("Grid");
    EXPECT_TRUE(hand.Cards().empty());
    bench.Host().Click(1, 1);
    EXPECT_EQ(gridChanges, 1);
    EXPECT_EQ(bench.Find<THoldemHandSet>("grid").SelectedCount(), 1326 - 6);
}

TEST(HandControlTest, ItsButtonsRaiseTheirEvents) {
    TControlBench bench;
    bench.AddImage("Btn\\normal.bmp", 10, 10, kGrey);
    bench.AddImage("Btn\\pressed.bmp", 10, 10, kGrey);
    bench.Show(R"(<Screen><HandControl Name="hand" Left="0" Top="0" Width="100" Height="50">
        <Cards>
            <GraphButton Name="buttonhandcards" Left="0" Top="0" Path="Btn"/>
            <GraphButton Name="ButtonHandClear" Left="20" Top="0" Path="Btn"/>
            <GraphButton Name="ButtonHandSet" Left="40" Top="0" Path="Btn"/>
        </Cards>
        <Other>
            <GraphButton Name="ButtonHandSet" Left="60" Top="0" Path="Btn"/>
        </Other>
    </HandControl></Screen>)");
    auto& hand = bench.Find<THandControl>("hand");
    std::string clicks;
    hand.OnCardsClick = [&](THandControl& sender) { clicks += &sender == &hand ? "cards " : "? "; };
    hand.OnClearClick = [&](THandControl& sender) { clicks += &sender == &hand ? "clear " : "? "; };
    hand.OnSetClick = [&](THandControl& sender) { clicks += &sender == &hand ? "set " : "? "; };
    bench.Host().Click(5, 5);
    bench.Host().Click(25, 5);
    bench.Host().Click(45, 5);
    EXPECT_EQ(clicks, "cards clear set ");
    // The buttons of a state built later are wired as well.
    hand.SelectState("Other");
    bench.Pump();
    bench.Host().Click(65, 5);
    EXPECT_EQ(clicks, "cards clear set set ");
}

// Any control with a click event may be one of the three buttons: a check box or a text label too.
TEST(HandControlTest, WiresCheckBoxesAndLabelsByTheirNames) {
    TControlBench bench;
    bench.AddFont("Fonts\\F.fnt", u"ab", 4);
    for (const char* image : {"normal", "normal_checked", "pressed", "pressed_checked"}) {
        bench.AddImage(std::string("Box\\") + image + ".bmp", 10, 10, kGrey);
    }
    bench.Show(R"(<Screen><HandControl Name="hand" Left="0" Top="0" Width="100" Height="50"><Cards>
            <GraphCheckBox Name="ButtonHandCards" Left="0" Top="0" Path="Box"/>
            <Label Name="ButtonHandClear" Left="20" Top="0" Width="10" Height="10" Caption="ab" Font="Fonts\F.fnt"
                TextColor="0xFF000000" Transparent="false" AutoSize="false"/>
        </Cards></HandControl></Screen>)");
    auto& hand = bench.Find<THandControl>("hand");
    std::string clicks;
    hand.OnCardsClick = [&](THandControl&) { clicks += "cards "; };
    hand.OnClearClick = [&](THandControl&) { clicks += "clear "; };
    bench.Host().Click(5, 5);
    bench.Host().Click(25, 5);
    EXPECT_EQ(clicks, "cards clear ");
}

// The card list never hands out a card its tree has freed, even when the next state fails to build.
TEST(HandControlTest, TheCardListForgetsCardsOfAStateThatIsGone) {
    TControlBench bench;
    AddDeck(bench);
    bench.AddXml("Styles\\Card.xml", R"(<Style Width="4" Height="4"><Normal/></Style>)");
    bench.Show(R"(<Screen><HandControl Name="hand" Left="0" Top="0" Width="100" Height="50">
        <Cards><CardControl Name="one" Style="Styles\Card.xml" Left="0" Top="0"/>
            <CardControl Name="two" Style="Styles\Card.xml" Left="10" Top="0"/></Cards>
        <Broken><CardControl Name="bad" Style="Styles\Missing.xml" Left="0" Top="0"/></Broken>
    </HandControl></Screen>)");
    auto& hand = bench.Find<THandControl>("hand");
    ASSERT_EQ(hand.Cards().size(), 2u);
    hand.Controls().Remove(hand.Cards()[0], true);
    ASSERT_EQ(hand.Cards().size(), 1u);
    EXPECT_EQ(hand.Cards()[0]->Name(), "two");
    EXPECT_THROW(hand.SelectState("Broken"), Exception);
    EXPECT_TRUE(hand.Cards().empty());
}

}  // namespace
}  // namespace marlowen
