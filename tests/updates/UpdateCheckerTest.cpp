#include "updates/UpdateChecker.h"

#include "platform/storage/LocalUserDefaults.h"
#include "updates/SiteUpdateFeed.h"
#include "updates/UpdateFailure.h"

#include <QCoreApplication>
#include <QTimer>
#include <deque>
#include <gtest/gtest.h>
#include <qcoro/qcorotimer.h>
#include <variant>

namespace DewlightUpdates {
namespace {

using DewlightPlatform::LocalUserDefaults;
using DewlightPlatform::UserDefaultsDate;

constexpr double day = 86'400;
constexpr double t0 = 800'000'000;

QByteArray manifestNaming(const char* version) {
    return QByteArray(R"({"format":1,"apps":{"dewlight":")") + version + "\"}}";
}

// Answers each fetch with the next scripted answer; while held, fetches wait for release().
class ScriptedFeed final : public UpdateFeed {
public:
    using Answer = std::variant<QByteArray, UpdateFailure>;

    void push(Answer answer) { answers_.push_back(std::move(answer)); }
    void hold() {
        held_ = true;
        gate_.setSingleShot(true);
        gate_.start(std::chrono::hours(1)); // an active timer is what a fetch waits on
    }
    void release() {
        held_ = false;
        gate_.start(0);
    }
    int fetches() const { return fetches_; }

    QCoro::Task<QByteArray> fetch() override {
        ++fetches_;
        if (held_)
            co_await &gate_;
        if (answers_.empty())
            throw UpdateFailureError(UpdateFailure::unreachable);
        Answer answer = std::move(answers_.front());
        answers_.pop_front();
        if (const auto* failure = std::get_if<UpdateFailure>(&answer))
            throw UpdateFailureError(*failure);
        co_return std::get<QByteArray>(std::move(answer));
    }

private:
    std::deque<Answer> answers_;
    bool held_ = false;
    QTimer gate_;
    int fetches_ = 0;
};

// Log lines of the category "dewlight.updates".
std::vector<std::pair<QtMsgType, QString>>* capturedLog = nullptr;

void captureUpdatesLog(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (capturedLog && context.category == QLatin1String("dewlight.updates"))
        capturedLog->emplace_back(type, text);
}

class UpdateCheckerTest : public ::testing::Test {
protected:
    void SetUp() override {
        capturedLog = &log;
        previousHandler = qInstallMessageHandler(captureUpdatesLog);
    }
    void TearDown() override {
        qInstallMessageHandler(previousHandler);
        capturedLog = nullptr;
    }

    std::unique_ptr<UpdateChecker> makeChecker(std::optional<std::string> current = "1.4") {
        auto checker = std::make_unique<UpdateChecker>("dewlight", std::move(current), feed,
                                                       defaults, [this] { return now; });
        QObject::connect(checker.get(), &UpdateChecker::availableChanged,
                         [this] { ++announcements; });
        return checker;
    }

    // Lets a started check run to its end.
    static void settle() {
        for (int i = 0; i < 10; ++i)
            QCoreApplication::processEvents();
    }

    static std::optional<std::string> offeredVersion(const UpdateChecker& checker) {
        const auto offer = checker.available();
        return offer ? std::optional<std::string>(offer->version.toStdString()) : std::nullopt;
    }

    std::shared_ptr<ScriptedFeed> feed = std::make_shared<ScriptedFeed>();
    LocalUserDefaults defaults;
    double now = t0;
    int announcements = 0;
    std::vector<std::pair<QtMsgType, QString>> log;
    QtMessageHandler previousHandler = nullptr;
};

TEST_F(UpdateCheckerTest, FirstCheckOffersANewerVersionAndRemembersTheAnswer) {
    feed->push(manifestNaming("1.5"));
    auto checker = makeChecker();
    checker->checkIfDue();
    EXPECT_FALSE(checker->available()) << "the result arrives on a later turn";
    settle();

    ASSERT_EQ(offeredVersion(*checker), "1.5");
    EXPECT_EQ(checker->available()->download.path(), "/downloads/dewlight-latest.dmg");
    // The download lives on the same site as the manifest.
    EXPECT_EQ(checker->available()->download.host(), SiteUpdateFeed::site().host());
    EXPECT_EQ(checker->available()->download, checker->downloadURL());
    EXPECT_EQ(announcements, 1);
    EXPECT_EQ(defaults.date("NorvaneUpdateLastAnswer"), t0);
    EXPECT_EQ(defaults.text("NorvaneUpdatePublished"), "1.5");
    EXPECT_EQ(feed->fetches(), 1);
}

TEST_F(UpdateCheckerTest, WhatTheManifestNamesDecidesTheOffer) {
    struct Case {
        QByteArray manifest;
        std::optional<std::string> offered;
        std::optional<std::string> stored;
    };
    const Case cases[] = {
        {manifestNaming("1.5"), "1.5", "1.5"},
        {manifestNaming("1.4.0"), std::nullopt, "1.4.0"},
        {manifestNaming("1.3"), std::nullopt, "1.3"},
        {R"({"format":1,"apps":{"other":"9.0"}})", std::nullopt, std::nullopt},
        {R"({"format":1,"apps":{"dewlight":"1.6-beta"}})", std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        LocalUserDefaults store({{"NorvaneUpdatePublished", std::string("1.2")}});
        auto scripted = std::make_shared<ScriptedFeed>();
        scripted->push(c.manifest);
        UpdateChecker checker("dewlight", "1.4", scripted, store, [] { return t0; });
        checker.checkIfDue();
        settle();
        EXPECT_EQ(offeredVersion(checker), c.offered) << c.manifest.toStdString();
        EXPECT_EQ(store.text("NorvaneUpdatePublished"), c.stored) << c.manifest.toStdString();
        EXPECT_EQ(store.date("NorvaneUpdateLastAnswer"), t0);
    }
}

TEST_F(UpdateCheckerTest, ASetAsideVersionStaysHiddenUntilALaterOne) {
    feed->push(manifestNaming("1.5"));
    feed->push(manifestNaming("1.5.0"));
    feed->push(manifestNaming("1.6"));
    auto checker = makeChecker();
    checker->checkIfDue();
    settle();
    ASSERT_EQ(offeredVersion(*checker), "1.5");

    checker->setAside();
    EXPECT_FALSE(checker->available());
    EXPECT_EQ(defaults.text("NorvaneUpdateSetAside"), "1.5");
    EXPECT_EQ(announcements, 2);

    now = t0 + 15 * day;
    checker->checkIfDue();
    settle();
    EXPECT_FALSE(checker->available());

    now = t0 + 30 * day;
    checker->checkIfDue();
    settle();
    EXPECT_EQ(offeredVersion(*checker), "1.6");
    EXPECT_EQ(feed->fetches(), 3);
}

TEST_F(UpdateCheckerTest, SettingAsideWithNothingPublishedWritesNothing) {
    auto checker = makeChecker();
    checker->setAside();
    EXPECT_EQ(defaults.writes(), 0);
    EXPECT_FALSE(checker->available());
    EXPECT_EQ(announcements, 0);
}

TEST_F(UpdateCheckerTest, AnUnreachableSiteIsRetriedAfterAnHourAndNeverStored) {
    feed->push(UpdateFailure::unreachable);
    feed->push(UpdateFailure::unreachable);
    auto checker = makeChecker();
    checker->checkIfDue();
    settle();
    EXPECT_EQ(feed->fetches(), 1);
    EXPECT_EQ(defaults.writes(), 0);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].first, QtInfoMsg);
    EXPECT_EQ(log[0].second, "Update check failed: unreachable");

    now = t0 + 59 * 60;
    checker->checkIfDue();
    settle();
    EXPECT_EQ(feed->fetches(), 1);

    now = t0 + 60 * 60;
    checker->checkIfDue();
    settle();
    EXPECT_EQ(feed->fetches(), 2);
    EXPECT_EQ(defaults.writes(), 0);
}

TEST_F(UpdateCheckerTest, AnAnswerThatIsNoManifestKeepsThePublishedVersion) {
    for (const auto& [answer, logged] :
         {std::pair{QByteArray(R"({"format":2,"apps":{}})"), "unknownFormat"},
          std::pair{QByteArray("<html>"), "unreadable"}}) {
        LocalUserDefaults store;
        auto scripted = std::make_shared<ScriptedFeed>();
        scripted->push(manifestNaming("1.5"));
        scripted->push(answer);
        double clock = t0;
        UpdateChecker checker("dewlight", "1.4", scripted, store, [&clock] { return clock; });
        checker.checkIfDue();
        settle();
        log.clear();

        clock = t0 + 15 * day;
        checker.checkIfDue();
        settle();
        EXPECT_EQ(offeredVersion(checker), "1.5") << logged;
        EXPECT_EQ(store.text("NorvaneUpdatePublished"), "1.5");
        EXPECT_EQ(store.date("NorvaneUpdateLastAnswer"), t0 + 15 * day);
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(log[0].second, QString("Update check failed: ") + logged);

        // An answer, even an unusable one, waits the long window.
        clock = t0 + 29 * day;
        checker.checkIfDue();
        settle();
        EXPECT_EQ(scripted->fetches(), 2) << logged;
    }
}

TEST_F(UpdateCheckerTest, OneCheckRunsAtATime) {
    feed->hold();
    feed->push(UpdateFailure::unreachable);
    auto checker = makeChecker();
    checker->checkIfDue();
    checker->checkIfDue();
    settle();
    now = t0 + 2 * 3600; // even once due again, a running check is not doubled
    checker->checkIfDue();
    settle();
    EXPECT_EQ(feed->fetches(), 1);

    feed->release();
    settle();
    checker->checkIfDue();
    settle();
    EXPECT_EQ(feed->fetches(), 1) << "the failure just now is within its hour";
}

TEST_F(UpdateCheckerTest, ARelaunchOffersTheStoredVersionWithoutFetching) {
    defaults.setDate("NorvaneUpdateLastAnswer", t0 - 3 * day);
    defaults.setText("NorvaneUpdatePublished", "1.5");
    feed->push(manifestNaming("1.6"));
    auto checker = makeChecker();
    EXPECT_EQ(offeredVersion(*checker), "1.5");

    checker->checkIfDue();
    settle();
    EXPECT_EQ(feed->fetches(), 0);

    now = t0 + 12 * day; // 15 days after the stored answer
    checker->checkIfDue();
    settle();
    EXPECT_EQ(feed->fetches(), 1);
    EXPECT_EQ(offeredVersion(*checker), "1.6");
}

TEST_F(UpdateCheckerTest, StoredValuesThatCannotBeReadCountAsAbsent) {
    struct Case {
        const char* what;
        std::map<std::string, DewlightPlatform::UserDefaultsValue> stored;
    };
    const Case cases[] = {
        {"a published text without an answer date",
         {{"NorvaneUpdatePublished", std::string("1.5")}}},
        {"an answer date stored as text",
         {{"NorvaneUpdateLastAnswer", std::string("800000000")},
          {"NorvaneUpdatePublished", std::string("1.5")}}},
        {"an answer date that is no number",
         {{"NorvaneUpdateLastAnswer", UserDefaultsDate{std::nan("")}},
          {"NorvaneUpdatePublished", std::string("1.5")}}},
        {"an answer date out of range",
         {{"NorvaneUpdateLastAnswer", UserDefaultsDate{1e300}},
          {"NorvaneUpdatePublished", std::string("1.5")}}},
    };
    for (const auto& c : cases) {
        LocalUserDefaults store(c.stored);
        auto scripted = std::make_shared<ScriptedFeed>();
        UpdateChecker checker("dewlight", "1.4", scripted, store, [] { return t0; });
        EXPECT_FALSE(checker.available()) << c.what;
        checker.checkIfDue();
        settle();
        EXPECT_EQ(scripted->fetches(), 1) << c.what;
    }

    // A published or set-aside text that is no version is no version.
    LocalUserDefaults store({{"NorvaneUpdateLastAnswer", UserDefaultsDate{t0}},
                             {"NorvaneUpdatePublished", std::string("1.6")},
                             {"NorvaneUpdateSetAside", std::string("later")}});
    UpdateChecker checker("dewlight", "1.4", feed, store, [] { return t0; });
    EXPECT_EQ(offeredVersion(checker), "1.6");
}

TEST_F(UpdateCheckerTest, ClockSetBackBeforeTheAnswerMakesACheckDue) {
    defaults.setDate("NorvaneUpdateLastAnswer", t0);
    auto checker = makeChecker();
    now = t0 - 1;
    checker->checkIfDue();
    settle();
    EXPECT_EQ(feed->fetches(), 1);
}

TEST_F(UpdateCheckerTest, WithoutARunningVersionItNeverLooksNorOffers) {
    for (const auto& current : {std::optional<std::string>(), std::optional<std::string>("1.4-dev"),
                                std::optional<std::string>("")}) {
        LocalUserDefaults store({{"NorvaneUpdateLastAnswer", UserDefaultsDate{t0 - 30 * day}},
                                 {"NorvaneUpdatePublished", std::string("9.0")}});
        auto scripted = std::make_shared<ScriptedFeed>();
        UpdateChecker checker("dewlight", current, scripted, store, [] { return t0; });
        checker.checkIfDue();
        settle();
        checker.setAside();
        EXPECT_EQ(scripted->fetches(), 0);
        EXPECT_FALSE(checker.available());
    }
}

TEST_F(UpdateCheckerTest, AnUnchangedOfferIsNotAnnouncedAgain) {
    feed->push(manifestNaming("1.5"));
    feed->push(manifestNaming("1.5.0")); // equal version, different text: a new offer text
    feed->push(manifestNaming("1.5.0"));
    auto checker = makeChecker();
    checker->checkIfDue();
    settle();
    EXPECT_EQ(announcements, 1);
    now += 15 * day;
    checker->checkIfDue();
    settle();
    EXPECT_EQ(offeredVersion(*checker), "1.5.0");
    EXPECT_EQ(announcements, 2);
    now += 15 * day;
    checker->checkIfDue();
    settle();
    EXPECT_EQ(announcements, 2);
}

TEST_F(UpdateCheckerTest, ACheckerGoneDuringAFetchIgnoresItsResult) {
    feed->hold();
    feed->push(manifestNaming("1.5"));
    auto checker = makeChecker();
    checker->checkIfDue();
    settle();
    ASSERT_EQ(feed->fetches(), 1);
    checker.reset();
    feed->release();
    settle();
    EXPECT_EQ(defaults.writes(), 0);
}

TEST(UpdateCheckerDeathTest, RefusesAnIdentifierOutsideLowercaseLettersAndDigits) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    LocalUserDefaults store;
    for (const char* app : {"", "Dewlight", "dew-light", "dewlight "}) {
        EXPECT_DEATH(
            UpdateChecker(app, "1.4", std::make_shared<ScriptedFeed>(), store, [] { return t0; }),
            "identifier")
            << app;
    }
}

} // namespace
} // namespace DewlightUpdates
