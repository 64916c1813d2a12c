#include "platform/storage/LocalUserDefaults.h"

#include <gtest/gtest.h>
#include <limits>

using namespace DewlightPlatform;

namespace {

TEST(LocalUserDefaults, GettersAnswerOnlyForTheStoredType) {
    struct Case {
        const char* name;
        UserDefaultsValue stored;
        bool text, bytes, date;
    };
    const Case cases[] = {
        {"text", std::string("A1B2"), true, false, false},
        {"bytes", QByteArray("A1B2"), false, true, false},
        {"date", UserDefaultsDate{745'000'000.25}, false, false, true},
        {"empty text", std::string(), true, false, false},
        {"empty bytes", QByteArray(), false, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LocalUserDefaults defaults;
        defaults.set("k", c.stored);
        EXPECT_EQ(defaults.text("k").has_value(), c.text);
        EXPECT_EQ(defaults.bytes("k").has_value(), c.bytes);
        EXPECT_EQ(defaults.date("k").has_value(), c.date);
        EXPECT_EQ(defaults.value("k"), c.stored);
    }
    LocalUserDefaults empty;
    EXPECT_FALSE(empty.text("k"));
    EXPECT_FALSE(empty.value("k"));
}

TEST(LocalUserDefaults, ValuesReadBackExactly) {
    LocalUserDefaults defaults;
    defaults.setDate("when", -0.1 + 1e10);
    defaults.setBytes("raw", QByteArray("\0\xff", 2));
    defaults.setText("name", "Ünïcode");
    EXPECT_EQ(defaults.date("when"), -0.1 + 1e10);
    EXPECT_EQ(defaults.bytes("raw"), QByteArray("\0\xff", 2));
    EXPECT_EQ(defaults.text("name"), "Ünïcode");
}

TEST(LocalUserDefaults, ANonFiniteDateIsRefused) {
    using Limits = std::numeric_limits<double>;
    for (double date : {Limits::infinity(), -Limits::infinity(), Limits::quiet_NaN()}) {
        SCOPED_TRACE(date);
        LocalUserDefaults defaults;
        defaults.setDate("when", 10);
        defaults.setDate("when", date);
        defaults.setDate("new", date);
        EXPECT_EQ(defaults.date("when"), 10.0);
        EXPECT_FALSE(defaults.value("new"));
        EXPECT_EQ(defaults.writes(), 1);
    }
}

TEST(LocalUserDefaults, OnlyRealChangesWrite) {
    LocalUserDefaults defaults;
    defaults.setText("k", "a");
    EXPECT_EQ(defaults.writes(), 1);
    defaults.setText("k", "a");
    EXPECT_EQ(defaults.writes(), 1) << "an equal value writes nothing";
    defaults.setBytes("k", QByteArray("a"));
    EXPECT_EQ(defaults.writes(), 2) << "same bytes but another type is a change";
    EXPECT_FALSE(defaults.text("k"));
    defaults.remove("absent");
    EXPECT_EQ(defaults.writes(), 2) << "removing an absent key writes nothing";
    defaults.remove("k");
    EXPECT_EQ(defaults.writes(), 3);
    EXPECT_FALSE(defaults.value("k"));
}

TEST(LocalUserDefaults, KeysListEveryStoredKeySorted) {
    LocalUserDefaults defaults;
    defaults.setText("writer", "w");
    defaults.setBytes("identity.registry", {});
    defaults.setDate("B", 1);
    defaults.setText("a", "x");
    EXPECT_EQ(defaults.keys(), (std::vector<std::string>{"B", "a", "identity.registry", "writer"}));
    defaults.remove("a");
    EXPECT_EQ(defaults.keys(), (std::vector<std::string>{"B", "identity.registry", "writer"}));
}

} // namespace
