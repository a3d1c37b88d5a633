#include <gtest/gtest.h>

#include "platform/headless/HeadlessFileSystem.h"
#include "platform/headless/HeadlessRegistry.h"
#include "skin/FontImages.h"
#include "skin/Resources.h"
#include "skin/SkinLibrary.h"
#include "skin/XMLNode.h"
#include "TestFolders.h"

namespace marlowen {
namespace {

// The skin start-up over the packs that `fstool pack` made of skins/default.
TEST(DefaultSkin, StartsUpFromThePacksTheBuildMade) {
#ifndef MARLOWEN_HAS_DIST
    GTEST_SKIP() << "this build packs no skin";
#else
    THeadlessFileSystem files(testing::DistributionFolder());
    THeadlessRegistry registry;
    TSkinLibrary library;
    library.Start(files, registry, "");

    const TStyleItem& base = library.Resources().Styles().Default();
    ASSERT_NE(base.Font(), nullptr);
    EXPECT_GT(base.Font()->LineHeight(), 10);
    EXPECT_NE(base.Font()->SymbolByChar(u'?'), nullptr);
    EXPECT_NE(base.Font()->SymbolByChar(u'Ж'), nullptr);
    EXPECT_TRUE(base.HasColor());
    EXPECT_EQ(library.Resources().Styles().Get("Justify").Alignment(), TTextAlignment::Justify);
    ASSERT_NE(library.CurrentSkin(), nullptr);
    EXPECT_EQ(library.CurrentSkin()->Name(), library.SkinList()->Nodes().FirstNode()->Name());
    ASSERT_GE(library.Games().size(), 3u);
    for (const TGameInfo& game : library.Games()) {
        EXPECT_FALSE(game.Caption.empty());
        EXPECT_GT(game.MaxPlayersCount, 1);
    }
#endif
}

}  // namespace
}  // namespace marlowen
