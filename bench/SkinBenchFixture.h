#pragma once
// The setup's start-up once for a benchmark program: languages, the default skin's packs from the
// build, and a headless machine in a scratch folder.

#include <cstdint>
#include <filesystem>
#include <memory>

#include "ScreenRender.h"
#include "core/CoreLibrary.h"
#include "core/Languages.h"
#include "platform/headless/HeadlessFileSystem.h"
#include "platform/headless/HeadlessPlatform.h"
#include "skin/GraphContainer.h"
#include "skin/GraphElementRegistry.h"
#include "skin/Resources.h"
#include "skin/SkinLibrary.h"
#include "skin/XMLNode.h"

namespace marlowen {

class TSkinBenchFixture {
public:
    explicit TSkinBenchFixture(const char* document)
        : Scratch_(std::filesystem::temp_directory_path() / "marlowen-skin-bench"),
          Machine(MakeScratch(Scratch_)),
          Core_(Machine.Locale.SupportsCyrillic()),
          Packs_(MARLOWEN_DIST_DIR),
          Context{Skin_.Resources(), TGraphElementRegistry::Standard(), Machine.Platform(), Core_.Languages()} {
        Languages->SelectLanguage(u"eng");
        Skin_.Start(Packs_, Machine.Registry, "");
        Document = &Skin_.Resources().GetXML(document);
        fstool::DocumentScreenSize(*Document, Width, Height);
    }
    ~TSkinBenchFixture() {
        std::error_code ignored;
        std::filesystem::remove_all(Scratch_, ignored);
    }
    TSkinBenchFixture(const TSkinBenchFixture&) = delete;
    TSkinBenchFixture& operator=(const TSkinBenchFixture&) = delete;

    // A container on a new window with the document built and painted once.
    std::unique_ptr<TGraphContainer> ShowPage() {
        auto container = std::make_unique<TGraphContainer>(Context, Width, Height);
        fstool::BuildScreen(*container, *Document);
        Machine.Windows.Pump();
        return container;
    }

    static int64_t CountControls(const TGraphContainer& container) {
        int64_t count = 0;
        for (TCustomGraphControl* c = container.Controls().First(); c != nullptr; c = c->NextInTree()) ++count;
        return count;
    }

private:
    static std::filesystem::path MakeScratch(const std::filesystem::path& path) {
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        return path;
    }

    std::filesystem::path Scratch_;

public:
    THeadlessPlatform Machine;

private:
    TCoreLibrary Core_;
    THeadlessFileSystem Packs_;
    TSkinLibrary Skin_;

public:
    TSkinContext Context;
    const TXMLNode* Document = nullptr;
    int32_t Width = 0;
    int32_t Height = 0;
};

}  // namespace marlowen
