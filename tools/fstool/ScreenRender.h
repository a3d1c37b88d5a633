#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "skin/DisplayScale.h"

namespace marlowen {
class TCustomGraphContainer;
class TCustomGraphControl;
class THeadlessWindowHosts;
class TXMLNode;
struct TSkinContext;
}  // namespace marlowen

// A screen document built on the headless window host, put into a state through synthetic input
// and painted: what `fstool render` writes and what the benchmarks measure.
namespace marlowen::fstool {

// The client size of a screen whose document gives none (the setup window's).
constexpr int32_t kDefaultScreenWidth = 562;
constexpr int32_t kDefaultScreenHeight = 294;
// The largest side a rendered screen may have.
constexpr int32_t kMaxScreenSide = 4096;
// The virtual clock runs in steps of the container's timer until no control animates, at most
// this long.
constexpr uint32_t kSettleLimitMs = 10000;

struct TScreenRequest {
    std::string Document;  // the pack item, e.g. "XML\Gallery\Controls.xml"
    // 0 x 0: the root element's "Width" and "Height", each defaulting to the setup window's.
    int32_t Width = 0;
    int32_t Height = 0;
    std::string Hover;  // names of controls; empty: none
    std::string Press;
    std::string Focus;
    // Condition values handed to the whole tree after it was built, as texts.
    std::vector<std::pair<std::string, std::string>> Conditions;
    // A window document is shown in its passive look (its form inactive) instead of its active one.
    bool Passive = false;
    // A page document laid over the window document as its form shows a page: filling the window,
    // beneath the window's foreground layers. Empty: none.
    std::string Page;
    // Texts put into named edits (their text), labels (their caption) or progress bars (their
    // position, a whole number) after the screen is built, as page code fills them; each such
    // control is shown.
    std::vector<std::pair<std::string, std::string>> Texts;
    // The display scale the container draws at: the image is Device(width) x Device(height).
    TDisplayScale Scale;
};

struct TRenderedScreen {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint32_t> Pixels;  // ARGB, rows top first, what the window shows
    // A window document: the pixels outside the window's shape are fully transparent (0).
    bool Shaped = false;
};

// Whether the document describes a skinned window: its root names an active background.
bool IsWindowDocument(const TXMLNode& root);

// The size a document is shown at when no size is asked for: its root's "Width" and "Height",
// each 562 x 294 when absent. A size outside 1..4096 raises Exception.
void DocumentScreenSize(const TXMLNode& root, int32_t& width, int32_t& height);

// Builds the document's controls as roots of the container: the root element itself when the
// element registry knows its name, else each child element the registry knows (a document whose
// root is a plain grouping element, or a kind not built here). Returns the first root built.
TCustomGraphControl* BuildScreen(TCustomGraphContainer& container, const TXMLNode& root);

// Builds the screen in a container on a new window of `windows` (the window hosts of the context's
// platform), applies the request (conditions; focus by Tab; the pointer), runs the virtual clock
// until the screen is steady and returns what the window shows. A window document becomes one
// window control filling the container, as its form shows it: active, or passive on request, and
// cut to its shape. Asking for the passive look of another document, or a page without a window
// document, raises Exception; so does a text for a control that is neither an edit, a label, a
// progress bar nor a combo box, a position that is no whole number, or an item name a combo box
// does not have. Raises the system's own errors: a
// missing document, an attribute error of a control, "TCustomGraphControl 'NAME' not found.".
TRenderedScreen RenderScreen(const TSkinContext& context, THeadlessWindowHosts& windows,
                             const TScreenRequest& request);

}  // namespace marlowen::fstool
