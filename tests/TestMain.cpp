#include <gtest/gtest.h>

#include "core/CoreLibrary.h"
#include "platform/headless/HeadlessLocale.h"

namespace {

// The library start-up every test runs under: a Latin system, so English is current.
class TLibraryEnvironment : public ::testing::Environment {
public:
    void SetUp() override { Library_ = std::make_unique<marlowen::TCoreLibrary>(Locale_.SupportsCyrillic()); }
    void TearDown() override { Library_.reset(); }

private:
    marlowen::THeadlessLocale Locale_;
    std::unique_ptr<marlowen::TCoreLibrary> Library_;
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new TLibraryEnvironment);
    return RUN_ALL_TESTS();
}
