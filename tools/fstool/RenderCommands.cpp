// fstool render: a screen document of the packs painted through the headless window host into a
// PNG image, as the skin's author previews it.

#include <string>
#include <vector>

#include "CommandLine.h"
#include "ToolCommand.h"
#include "core/Exception.h"

#ifdef MARLOWEN_FSTOOL_HAS_RENDER
#include <charconv>
#include <filesystem>
#include <random>

#include "PngWriter.h"
#include "ScreenRender.h"
#include "core/CoreLibrary.h"
#include "core/Languages.h"
#include "core/Utf.h"
#include "platform/headless/HeadlessFileSystem.h"
#include "platform/headless/HeadlessPlatform.h"
#include "skin/GraphElementRegistry.h"
#include "skin/SkinLibrary.h"
#include "storage/FileIo.h"
#endif

namespace marlowen::fstool {

namespace {

#ifdef MARLOWEN_FSTOOL_HAS_RENDER

// A new empty folder under the system's temporary folder, removed with everything in it.
class TScratchFolder {
public:
    TScratchFolder() {
        namespace fs = std::filesystem;
        std::random_device random;
        for (int attempt = 0;; ++attempt) {
            Path_ = fs::temp_directory_path() / ("fstool-render-" + std::to_string(random()));
            if (fs::create_directory(Path_)) return;
            if (attempt == 100) throw Exception("cannot make a scratch folder in " + fs::temp_directory_path().u8string());
        }
    }
    ~TScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(Path_, ignored);
    }
    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return Path_; }

private:
    std::filesystem::path Path_;
};

// A side of "--size WxH".
int32_t ParseSide(const std::string& text, const std::string& size) {
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 1 ||
        value > kMaxScreenSide) {
        throw EUsageError("option --size needs WIDTHxHEIGHT, each from 1 to " + std::to_string(kMaxScreenSide) +
                          ", not \"" + size + "\"");
    }
    return value;
}

void ParseSize(const std::string& size, TScreenRequest& request) {
    const size_t x = size.find('x');
    if (x == std::string::npos) ParseSide("", size);
    request.Width = ParseSide(size.substr(0, x), size);
    request.Height = ParseSide(size.substr(x + 1), size);
}

// NAME=VALUE pairs of a repeatable option.
std::vector<std::pair<std::string, std::string>> ParseConditions(const std::vector<std::string>& settings,
                                                                 const std::string& option) {
    std::vector<std::pair<std::string, std::string>> conditions;
    for (const std::string& setting : settings) {
        const size_t equals = setting.find('=');
        if (equals == std::string::npos || equals == 0) {
            throw EUsageError("option --" + option + " needs NAME=VALUE, not \"" + setting + "\"");
        }
        conditions.emplace_back(setting.substr(0, equals), setting.substr(equals + 1));
    }
    return conditions;
}

int Render(const std::vector<std::string>& args) {
    const TCommandLine line(args, {"packs", "lang", "size", "scale", "hover", "press", "focus", "set", "page", "text"}, {"passive"});
    line.RequirePositional(2);
    TScreenRequest request;
    request.Document = line.Positional()[0];
    const std::string& output = line.Positional()[1];
    const std::string language = line.Value("lang", "eng");
    if (language != "eng" && language != "rus") {
        throw EUsageError("option --lang needs eng or rus, not \"" + language + "\"");
    }
    if (line.Has("size")) ParseSize(line.Value("size", ""), request);
    if (line.Has("scale")) {
        try {
            request.Scale = TDisplayScale::Parse(line.Value("scale", ""));
        } catch (const Exception& error) {
            throw EUsageError("option --scale: " + error.Message());
        }
    }
    request.Hover = line.Value("hover", "");
    request.Press = line.Value("press", "");
    request.Focus = line.Value("focus", "");
    if (!request.Hover.empty() && !request.Press.empty()) {
        throw EUsageError("--hover and --press both place the pointer; give one of them");
    }
    request.Conditions = ParseConditions(line.Values("set"), "set");
    request.Texts = ParseConditions(line.Values("text"), "text");
    request.Page = line.Value("page", "");
    request.Passive = line.Has("passive");
    const std::string packs = line.Value("packs", MARLOWEN_DEFAULT_PACKS_DIR);
    std::error_code error;
    if (!std::filesystem::is_directory(FilePath(packs), error)) throw Exception(packs + ": not a folder");

    // The start-up of the setup program: the packs are read from the folder, while the headless
    // machine (which lays out a fresh Windows tree in its root) lives in a scratch folder.
    const TScratchFolder scratch;
    THeadlessPlatform machine(scratch.Path());
    const THeadlessFileSystem packFiles(FilePath(packs));
    TCoreLibrary core(machine.Locale.SupportsCyrillic());
    Languages->SelectLanguage(Utf8ToUtf16(language));
    TSkinLibrary skin;
    skin.Start(packFiles, machine.Registry, "");
    const TSkinContext context{skin.Resources(), TGraphElementRegistry::Standard(), machine.Platform(), core.Languages()};
    const TRenderedScreen screen = RenderScreen(context, machine.Windows, request);
    SavePngFile(output, screen.Pixels.data(), screen.Width, screen.Height, screen.Width,
                screen.Shaped ? TPngChannels::Rgba : TPngChannels::Rgb);
    return 0;
}

#else

int Render(const std::vector<std::string>&) {
    throw Exception("fstool render: this build cannot write PNG images; use the Linux fstool");
}

#endif

}  // namespace

std::vector<TToolCommand> RenderCommands() {
    return {
#ifdef MARLOWEN_FSTOOL_HAS_RENDER
        {"render", "paints a screen document of the packs into a PNG image",
#else
        {"render", "paints a screen document (not in this build: Linux fstool only)",
#endif
         "usage: fstool render [--packs DIR] [--lang eng|rus] [--size WxH] [--scale S] [--hover NAME]\n"
         "                     [--press NAME] [--focus NAME] [--set NAME=VALUE]... [--passive]\n"
         "                     [--page PAGE] [--text NAME=TEXT]... DOCUMENT OUT.png\n\n"
         "Shows the screen document DOCUMENT (a pack item, e.g. \"XML\\Gallery\\Controls.xml\") as the\n"
         "setup would, on an off-screen window, and writes what the window shows to OUT.png (8-bit\n"
         "RGB; RGBA for a window document). Steps, in order:\n\n"
         "  1. The skin start-up loads every *.fs pack of DIR (default: the folder the build packs\n"
         "     the default skin into, build/native/dist) and selects the language (--lang, default\n"
         "     eng).\n"
         "  2. The document's controls are built: the root element itself when it names a control\n"
         "     kind, otherwise every child element of the root that names one, as the screen's\n"
         "     top-level controls. The window is --size WxH, or the root's \"Width\" x \"Height\",\n"
         "     each 562 x 294 when absent (sides from 1 to 4096), in skin units.\n"
         "     --scale S draws it at a display scale: a percentage from 100 to 400 (\"150%\", \"150\")\n"
         "     or a factor (\"1.5x\"); default 100%. The layout stays in units; the image is\n"
         "     floor(W * S) x floor(H * S) pixels, every edge (the window's shape too) mapped by the\n"
         "     same rule, pictures and glyphs resampled with an area-weighted average.\n"
         "     A window document (its root names an \"ActiveBackground\") becomes a skinned window\n"
         "     with its layers, filling the window, in the look of an active form (--passive: of an\n"
         "     inactive one; \"ActiveWindow\" is handed to every control accordingly). The image\n"
         "     keeps its alpha: the pixels outside the window's shape (where the active background\n"
         "     leaves alpha 0) are fully transparent. --passive with another document fails.\n"
         "     --page PAGE lays the page document PAGE (a frame, as the setup's wizard pages are)\n"
         "     over the window document as the setup window shows its pages: filling the window,\n"
         "     beneath the window's foreground layers. --page without a window document fails.\n"
         "     --text NAME=TEXT (repeatable) puts TEXT into the edit NAME, makes it the caption of\n"
         "     the label NAME or the position of the progress bar NAME (a whole number), or chooses\n"
         "     the item named TEXT of the combo box NAME, as page code fills them, and shows the\n"
         "     control; any other control fails.\n"
         "  3. --set NAME=VALUE (repeatable) hands the condition NAME with the text VALUE to every\n"
         "     control (\"If\", \"IfAny\", \"IfNot\" and \"Switch\" react to it), after the values\n"
         "     the document's own \"SetConditions\" define.\n"
         "  4. --focus NAME moves the keyboard focus to the control by Tab presses (a control Tab\n"
         "     does not reach is focused directly) and shows its focus rectangle. --hover NAME moves the pointer onto the control;\n"
         "     --press NAME moves it there and holds the left button down. The pointer goes to the\n"
         "     middle of the control or, when another control takes the mouse there, to the first\n"
         "     point (row by row) that reaches this one. --press MENU/ITEM presses the middle of the\n"
         "     item ITEM of the menu MENU instead (a top-level item opens its popup). Give at most\n"
         "     one of --hover and --press.\n"
         "  5. The virtual clock runs in 20 ms timer steps until no control animates (at most 10 s),\n"
         "     then the whole window is painted once more and written, with the menu popups that\n"
         "     show laid over it at their places.\n\n"
         "Names match the controls' \"Name\" ignoring letter case. Errors print the system's own\n"
         "message, exit with status 1 and write no image: a missing document, a missing required\n"
         "attribute (\"Property NAME not found.\"), an unknown control name (\"TCustomGraphControl\n"
         "'NAME' not found.\"). Wrong options exit with status 2.\n"
#ifndef MARLOWEN_FSTOOL_HAS_RENDER
         "\nThis build of fstool cannot write PNG images: use the Linux build.\n"
#endif
         ,
         Render},
    };
}

}  // namespace marlowen::fstool
