#include "core/HydrationLedger.h"
#include "tests/core/Expect.h"
#include "tests/core/LedgerFixtures.h"

#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace DewlightCoreTesting {
namespace {

// Separate clicks (never joined) of one writer on day 1.
HydrationLedger ledgerWith(const std::vector<std::pair<DrinkKind, Date>>& clicks) {
    HydrationLedger ledger = emptyLedger();
    Clicker clicker(ledger);
    for (const auto& [kind, moment] : clicks)
        clicker.click(kind, moment);
    return ledger;
}

const Date noon = at(1, 12);

TEST(PanelMoments, RangeExceededOnlyAboveTheUpperEnd) {
    // Range 3…5: 20 quarters is the upper end, 21 goes beyond. Spread out so no hour holds 12.
    std::vector<std::pair<DrinkKind, Date>> clicks;
    for (int i = 0; i < 5; ++i)
        clicks.push_back({DrinkKind::cup, at(1, 2.0 * i)});
    HydrationLedger ledger = ledgerWith(clicks);
    EXPECT_EQ(ledger.quarters(day(1)), 20);
    EXPECT_EQ(ledger.pendingMoment(day(1), at(1, 9), 5), std::nullopt);

    Clicker(ledger, "more").click(DrinkKind::sip, at(1, 11));
    EXPECT_EQ(ledger.pendingMoment(day(1), at(1, 13), 5), PanelMoment::rangeExceeded);
    // A range no settings can make must not overflow the quarter count.
    EXPECT_EQ(ledger.pendingMoment(day(1), at(1, 13), std::numeric_limits<std::int64_t>::max()),
              std::nullopt);
    ledger.markShown(PanelMoment::rangeExceeded, day(1));
    EXPECT_EQ(ledger.pendingMoment(day(1), at(1, 13), 5), std::nullopt);
    EXPECT_EQ(ledger.shownMoments(day(1)), std::set<PanelMoment>{PanelMoment::rangeExceeded});
    EXPECT_TRUE(ledger.shownMoments(day(2)).empty());
}

TEST(PanelMoments, ThreeCupsInTheClosedHour) {
    struct Case {
        const char* name;
        Date first;
        std::optional<PanelMoment> expected;
    } cases[] = {
        {"first glass at now - 3600", noon - 3600, PanelMoment::threeCupsInHour},
        {"first glass at now - 3601", noon - 3601, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const HydrationLedger ledger = ledgerWith(
            {{DrinkKind::cup, c.first}, {DrinkKind::cup, noon - 1800}, {DrinkKind::cup, noon}});
        EXPECT_EQ(ledger.pendingMoment(day(1), noon, 100), c.expected);
    }
}

TEST(PanelMoments, PrecedenceAndShownMomentsDoNotBlockTheNext) {
    std::vector<std::pair<DrinkKind, Date>> clicks = {{DrinkKind::cup, noon - 600},
                                                      {DrinkKind::cup, noon - 500}};
    for (int i = 0; i < 4; ++i)
        clicks.push_back({DrinkKind::sip, noon - 400 + 10.0 * i});
    HydrationLedger ledger = ledgerWith(clicks);
    EXPECT_EQ(ledger.quarters(day(1)), 12);
    EXPECT_EQ(ledger.pendingMoment(day(1), noon, 100), PanelMoment::threeCupsInHour);
    ledger.markShown(PanelMoment::threeCupsInHour, day(1));
    EXPECT_EQ(ledger.pendingMoment(day(1), noon, 100), PanelMoment::fourthSip);
    ledger.markShown(PanelMoment::fourthSip, day(1));
    EXPECT_EQ(ledger.pendingMoment(day(1), noon, 100), std::nullopt);
    // With a small range all three are due: the range comes first.
    ledger = ledgerWith(clicks);
    EXPECT_EQ(ledger.pendingMoment(day(1), noon, 2), PanelMoment::rangeExceeded);
}

TEST(PanelMoments, FourSipsOverTheDay) {
    const auto sips = [](int count) {
        std::vector<std::pair<DrinkKind, Date>> clicks;
        for (int i = 0; i < count; ++i)
            clicks.push_back({DrinkKind::sip, at(1, 8 + 2.0 * i)});
        return ledgerWith(clicks);
    };
    EXPECT_EQ(sips(4).pendingMoment(day(1), at(1, 20), 100), PanelMoment::fourthSip);
    EXPECT_EQ(sips(3).pendingMoment(day(1), at(1, 20), 100), std::nullopt);
}

TEST(PanelMoments, UndoneGroupsDoNotCount) {
    HydrationLedger ledger = ledgerWith({{DrinkKind::cup, noon - 30}, {DrinkKind::cup, noon - 20}});
    Clicker(ledger, "more").click(DrinkKind::cup, noon - 10, "writerB");
    EXPECT_EQ(ledger.pendingMoment(day(1), noon, 100), PanelMoment::threeCupsInHour);
    ledger.undoLatestGroup(day(1));
    EXPECT_EQ(ledger.pendingMoment(day(1), noon, 100), std::nullopt);
}

TEST(PanelMoments, MarkShownIgnoresDiscardedDaysAndTheLimit) {
    HydrationLedger discarded(generation(), {}, {}, day(2));
    discarded.markShown(PanelMoment::fourthSip, day(2));
    EXPECT_EQ(discarded, HydrationLedger(generation(), {}, {}, day(2)));

    HydrationLedger ledger = emptyLedger();
    for (int i = 0; i < 100; ++i)
        ledger.markShown(PanelMoment::fourthSip, day(i));
    ledger.markShown(PanelMoment::fourthSip, day(50)); // already there: no change
    ledger.markShown(PanelMoment::rangeExceeded, day(100));
    EXPECT_EQ(ledger.shownMoments().size(), 100u);
    EXPECT_TRUE(ledger.shownMoments(day(100)).empty());
    EXPECT_NO_THROW(Json::decode<HydrationLedger>(Json::encode(ledger)));
}

TEST(LedgerMerge, GreaterGenerationWinsWhole) {
    const HydrationLedger b3(generation(3, "b"), {Drink{.id = "d1"}.record()});
    const HydrationLedger a3(generation(3, "a"), {Drink{.id = "d2", .group = "g2"}.record()});
    const HydrationLedger a4(generation(4, "a"));
    EXPECT_EQ(b3.merging(a3), b3);
    EXPECT_EQ(a3.merging(b3), b3);
    EXPECT_EQ(b3.merging(a4), a4);
    EXPECT_EQ(a4.merging(b3), a4);
}

// Two machines' copies of one generation: both hold d1; A undid its second group on day 1;
// B discarded through day 0 and showed a moment.
struct TwoCopies {
    HydrationLedger a{
        generation(),
        {Drink{.id = "d1", .group = "g1"}.record(),
         Drink{.id = "d2", .group = "g2", .timestamp = at(1, 11), .sequence = 2}.record()}};
    HydrationLedger b{
        generation(),
        {Drink{.id = "d1", .group = "g1"}.record(),
         Drink{
             .id = "d3", .group = "g3", .writer = "writerB", .timestamp = at(1, 12), .sequence = 3}
             .record(),
         Drink{.id = "old", .group = "g0", .dayIndex = 0, .timestamp = at(0, 12)}.record()},
        {},
        std::nullopt,
        {ShownMoment{day(1), PanelMoment::fourthSip}}};
    TwoCopies() {
        a.undoLatestGroup(day(1));
        b.discard(day(0));
    }
};

TEST(LedgerMerge, EqualGenerationsAreAUnion) {
    const TwoCopies copies;
    const HydrationLedger merged = copies.a.merging(copies.b);
    std::vector<std::string> ids;
    for (const DrinkRecord& drink : merged.drinks())
        ids.push_back(drink.id().rawValue());
    EXPECT_EQ(ids, (std::vector<std::string>{"d1", "d3"}));
    EXPECT_EQ(merged.removedGroups(), (std::set<GroupRemoval>{{groupId("g2"), day(1)}}));
    EXPECT_EQ(merged.discardedThrough(), day(0));
    EXPECT_EQ(merged.shownMoments(), (std::set<ShownMoment>{{day(1), PanelMoment::fourthSip}}));
}

TEST(LedgerMerge, CommutativeAndIdempotent) {
    const TwoCopies copies;
    EXPECT_EQ(copies.a.merging(copies.b), copies.b.merging(copies.a));
    EXPECT_EQ(copies.a.merging(copies.a), copies.a);
    const HydrationLedger merged = copies.a.merging(copies.b);
    EXPECT_EQ(merged.merging(copies.a), merged);
    EXPECT_EQ(merged.merging(merged), merged);
    // A drink the other side undid is gone whichever side brings it.
    const HydrationLedger stale(
        generation(),
        {Drink{.id = "d2", .group = "g2", .timestamp = at(1, 11), .sequence = 2}.record()});
    EXPECT_EQ(stale.merging(merged), merged);
    EXPECT_EQ(merged.merging(stale), merged);
}

TEST(LedgerMerge, ErrorsDoNotDependOnTheSide) {
    const HydrationLedger left(generation(), {Drink{.id = "d1"}.record()});
    const HydrationLedger conflict(generation(), {Drink{.id = "d1", .sequence = 2}.record()});
    const HydrationLedger otherKind(
        generation(), {Drink{.id = "d9", .kind = DrinkKind::sip, .sequence = 2}.record()});
    for (const auto& [right, error] : {std::pair{conflict, DomainError::conflictingIdentity()},
                                       std::pair{otherKind, DomainError::invalidLedger()}}) {
        EXPECT_TRUE(throwsDomainError([&] { (void)left.merging(right); }, error));
        EXPECT_TRUE(throwsDomainError([&] { (void)right.merging(left); }, error));
    }
}

} // namespace
} // namespace DewlightCoreTesting
