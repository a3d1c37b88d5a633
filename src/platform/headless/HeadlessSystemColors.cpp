#include "platform/headless/HeadlessSystemColors.h"

namespace marlowen {

namespace {
constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | g << 8 | b << 16; }

constexpr std::array<uint32_t, THeadlessSystemColors::Count> kDefaults = {
    Rgb(200, 200, 200),  //  0 scroll bar
    Rgb(0, 0, 0),        //  1 desktop
    Rgb(153, 180, 209),  //  2 active caption
    Rgb(191, 205, 219),  //  3 inactive caption
    Rgb(240, 240, 240),  //  4 menu
    Rgb(255, 255, 255),  //  5 window
    Rgb(100, 100, 100),  //  6 window frame
    Rgb(0, 0, 0),        //  7 menu text
    Rgb(0, 0, 0),        //  8 window text
    Rgb(0, 0, 0),        //  9 caption text
    Rgb(180, 180, 180),  // 10 active border
    Rgb(244, 247, 252),  // 11 inactive border
    Rgb(171, 171, 171),  // 12 application workspace
    Rgb(51, 153, 255),   // 13 highlight
    Rgb(255, 255, 255),  // 14 highlight text
    Rgb(240, 240, 240),  // 15 button face
    Rgb(160, 160, 160),  // 16 button shadow
    Rgb(109, 109, 109),  // 17 grey text
    Rgb(0, 0, 0),        // 18 button text
    Rgb(67, 78, 84),     // 19 inactive caption text
    Rgb(255, 255, 255),  // 20 button highlight
    Rgb(105, 105, 105),  // 21 3-D dark shadow
    Rgb(227, 227, 227),  // 22 3-D light
    Rgb(0, 0, 0),        // 23 tooltip text
    Rgb(255, 255, 225),  // 24 tooltip background
    Rgb(0, 0, 0),        // 25 (unused)
    Rgb(0, 102, 204),    // 26 hot-tracked item
    Rgb(185, 209, 234),  // 27 active caption gradient
    Rgb(215, 228, 242),  // 28 inactive caption gradient
    Rgb(51, 153, 255),   // 29 menu highlight
    Rgb(240, 240, 240),  // 30 menu bar
};
}  // namespace

THeadlessSystemColors::THeadlessSystemColors() : Colors_(kDefaults) {}

uint32_t THeadlessSystemColors::SystemColor(int32_t index) const {
    return index >= 0 && index < Count ? Colors_[static_cast<std::size_t>(index)] : 0;
}

void THeadlessSystemColors::SetSystemColor(int32_t index, uint32_t colour) {
    if (index >= 0 && index < Count) Colors_[static_cast<std::size_t>(index)] = colour & 0xFFFFFFu;
}

}  // namespace marlowen
