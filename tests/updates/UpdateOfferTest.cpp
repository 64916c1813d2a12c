#include "updates/UpdateOffer.h"

#include <gtest/gtest.h>

namespace DewlightUpdates {
namespace {

std::optional<AppVersion> maybe(std::optional<std::string_view> text) {
    if (!text)
        return std::nullopt;
    auto parsed = AppVersion::parse(*text);
    EXPECT_TRUE(parsed) << *text;
    return parsed;
}

TEST(UpdateOffer, OffersOnlyANewerVersionThanRunningAndSetAside) {
    struct Case {
        std::optional<std::string_view> published;
        std::string_view current;
        std::optional<std::string_view> setAside;
        std::optional<std::string_view> offered;
    };
    const Case cases[] = {
        {std::nullopt, "1.4", std::nullopt, std::nullopt},
        {"1.5", "1.4", std::nullopt, "1.5"},
        {"1.5", "1.4", "1.5.0", std::nullopt},
        {"1.5", "1.4", "1.4.9", "1.5"},
        {"1.5", "1.4", "1.6", std::nullopt},
        {"1.5", "1.5", std::nullopt, std::nullopt},
        {"1.4.0", "1.4", std::nullopt, std::nullopt},
        {"1.5", "1.6", std::nullopt, std::nullopt},
        {"1.2.0", "1.1", "1.2", std::nullopt},
    };
    for (const auto& c : cases) {
        auto current = AppVersion::parse(c.current);
        ASSERT_TRUE(current);
        auto offered = UpdateOffer::offer(maybe(c.published), *current, maybe(c.setAside));
        // The offer carries the published text unchanged.
        EXPECT_EQ(offered ? std::optional<std::string>(offered->description()) : std::nullopt,
                  c.offered ? std::optional<std::string>(*c.offered) : std::nullopt)
            << "published " << c.published.value_or("-") << " current " << c.current
            << " set aside " << c.setAside.value_or("-");
    }
}

} // namespace
} // namespace DewlightUpdates
