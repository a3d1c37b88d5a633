// Test-only: opens the default skin's window document on the real Windows platform, runs it
// modally until it is closed, then writes the text of its "Folder" edit (UTF-8) to OUT_FILE.
//   usage: e2e_window.exe PACKS_FOLDER OUT_FILE [LEFT TOP]
// The packs are every *.fs of PACKS_FOLDER; without LEFT TOP the window is centred on the work
// area. Prints "shown LEFT TOP WIDTH HEIGHT" once the window is up, and "closed" at the end.

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "core/CoreLibrary.h"
#include "core/Exception.h"
#include "core/Languages.h"
#include "core/Utf.h"
#include "platform/win32/Win32Platform.h"
#include "skin/FormGraphWindow.h"
#include "skin/GraphEdits.h"
#include "skin/GraphElementRegistry.h"
#include "skin/GraphWindows.h"
#include "skin/HintWindow.h"
#include "skin/SkinContext.h"
#include "skin/SkinLibrary.h"

namespace {

constexpr char kDocument[] = "XML\\Gallery\\Window.xml";

std::string Argument(const wchar_t* word) {
    return marlowen::Utf16ToUtf8(std::u16string(reinterpret_cast<const char16_t*>(word)));
}

int Run(const std::string& packs, const std::string& output, const int32_t* place) {
    using namespace marlowen;
    TWin32Platform platform;
    TCoreLibrary core(platform.Platform().Locale.SupportsCyrillic());
    if (Languages) Languages->SelectLanguage(u"eng");
    TSkinLibrary skin;
    skin.Start(platform.Files, platform.Registry, packs);
    const TSkinContext context{skin.Resources(), TGraphElementRegistry::Standard(), platform.Platform(), core.Languages()};
    THintWindowControl hint(platform.Windows.HintPopup());
    std::u16string text;
    {
        TFormGraphWindow form(context, hint);
        form.LoadSkin(kDocument);
        if (place != nullptr) {
            form.Host().MoveTo(place[0], place[1]);
        } else {
            form.CenterOnWorkArea();
        }
        const TScreenRect bounds = form.Host().Bounds();
        std::printf("shown %d %d %d %d\n", static_cast<int>(bounds.Left), static_cast<int>(bounds.Top),
                    static_cast<int>(bounds.Width()), static_cast<int>(bounds.Height()));
        std::fflush(stdout);
        form.Host().RunModal(platform.Application);
        auto* edit = dynamic_cast<TGraphEdit*>(form.Window()->Controls().FindControl("Folder"));
        if (edit == nullptr) throw Exception("the window has no edit named Folder");
        text = edit->GetText();
    }
    skin.Shutdown();
    std::ofstream file(output, std::ios::binary);
    file << Utf16ToUtf8(text);
    if (!file.flush()) throw Exception("cannot write " + output);
    std::puts("closed");
    return 0;
}

}  // namespace

int wmain(int count, wchar_t** words) {
    if (count != 3 && count != 5) {
        std::fputs("usage: e2e_window.exe PACKS_FOLDER OUT_FILE [LEFT TOP]\n", stderr);
        return 2;
    }
    try {
        int32_t place[2] = {0, 0};
        if (count == 5) {
            place[0] = std::atoi(Argument(words[3]).c_str());
            place[1] = std::atoi(Argument(words[4]).c_str());
        }
        return Run(Argument(words[1]), Argument(words[2]), count == 5 ? place : nullptr);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "e2e_window: %s\n", error.what());
        return 1;
    }
}
