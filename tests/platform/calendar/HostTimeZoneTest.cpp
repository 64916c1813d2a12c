#include "platform/calendar/HostTimeZone.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unicode/timezone.h>

using namespace DewlightPlatform;
namespace fs = std::filesystem;

namespace {

constexpr int32_t hour = 3'600'000;
constexpr int32_t minute = 60'000;

// A zone file as far as the reader looks: the version-2 header and the closing POSIX rule.
void writeZoneFile(const fs::path& file, std::string_view rule) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << "TZif2" << std::string(39, '\0') << '\n'
                                          << rule << '\n';
}

class HostTimeZone : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("dewlight-zones-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                 "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        files_.folder = root_ / "zoneinfo";
        files_.localtime = root_ / "localtime";
        writeZoneFile(files_.localtime, "<+03>-3");
        writeZoneFile(root_ / "zones 2024" / "India", "IST-5:30");
        fs::create_directories(files_.folder);
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path root_;
    ZoneFiles files_;
};

TEST_F(HostTimeZone, FollowsTzAsTheCLibraryDoesAndFallsBackToTheMachinesZone) {
    struct Case {
        std::string tz;
        int32_t rawOffset;
        bool daylight;
    };
    const std::string pathWithDigits = ":" + (root_ / "zones 2024" / "India").string();
    const Case cases[] = {
        {"<+0536>-5:36", 5 * hour + 36 * minute, false},    // a POSIX fixed offset, east of UTC
        {"CET-1CEST,M3.5.0,M10.5.0/3", 1 * hour, true},     // a POSIX rule with its dates
        {"EST5EDT", -5 * hour, true},                        // a POSIX rule with default dates
        {pathWithDigits, 5 * hour + 30 * minute, false},    // a zone file whose path has digits
        {"Europe/Paris", 1 * hour, true},                    // a database name the folder lacks
        {"", 0, false},                                      // set but empty: UTC
        {"not a zone, surely", 3 * hour, false},             // unusable: the machine's zone
    };
    for (const auto& c : cases) {
        const auto zone = hostTimeZone(c.tz, files_);
        ASSERT_NE(zone, nullptr) << c.tz;
        EXPECT_EQ(zone->getRawOffset(), c.rawOffset) << c.tz;
        EXPECT_EQ(zone->useDaylightTime() != 0, c.daylight) << c.tz;
    }
}

TEST_F(HostTimeZone, WithoutTzTheMachinesZoneFileHolds) {
    EXPECT_EQ(hostTimeZone(std::nullopt, files_)->getRawOffset(), 3 * hour);
    fs::remove(files_.localtime);
    EXPECT_EQ(hostTimeZone(std::nullopt, files_)->getRawOffset(), 0) << "no zone file: UTC";
}

} // namespace
