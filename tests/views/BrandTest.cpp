#include "views/RozivBrand.h"

#include <gtest/gtest.h>

using namespace DewlightViews;

TEST(RozivBrand, AccentFollowsTheScheme) {
    const auto& brand = rozivBrand();
    EXPECT_EQ(brand.name, "Dewlight");
    EXPECT_EQ(brand.connection, KestraUI::KestraBrand::Connection::offline);
    EXPECT_EQ(brand.accent(ui::ColorScheme::dark), QColor(10, 158, 194));
    EXPECT_EQ(brand.accent(ui::ColorScheme::light), QColor(8, 124, 152));
    EXPECT_EQ(&rozivBrand(), &brand);
}
