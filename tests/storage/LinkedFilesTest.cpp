// The account's file, this computer's defaults and the sync folder's token, each replaced by a
// symbolic link, as a user who keeps a copy on a backup disk or in a synced folder sets it up.
#include "platform/storage/FileUserDefaults.h"
#include "platform/storage/LinuxFileSystem.h"
#include "platform/storage/LocalKeyValueHub.h"
#include "platform/storage/SyncFolder.h"
#include "platform/storage/SyncFolderIdentityTokenSource.h"
#include "storage/RozivData.h"
#include "storage/RozivPreferences.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace DewlightStorage {
namespace {

using namespace DewlightCore;
using namespace DewlightPlatform;
namespace fs = std::filesystem;

constexpr double monday = 789264000; // 2026-01-05, a UTC midnight
const WorkdayID today(monday);

QByteArray contents(const fs::path& file) {
    QFile handle(file);
    return handle.open(QIODevice::ReadOnly) ? handle.readAll() : QByteArray();
}

// One computer's files on disk, and the services of one launch of the application over them.
struct Installation {
    QTemporaryDir temp;
    fs::path root{temp.path().toStdString()};
    fs::path dataFolder = root / "data";
    fs::path defaultsFile = root / "state" / "defaults.json";
    fs::path syncFolder = root / "sync";
    fs::path elsewhere = root / "elsewhere";

    LocalKeyValueHub hub;
    LocalKeyValueStore& store = hub.addMachine("here", "account");
    AccountAuthority authority;
    RozivPreferences preferences;
    std::unique_ptr<FileUserDefaults> defaults;
    std::unique_ptr<SyncFolder> folder;
    std::unique_ptr<SyncFolderIdentityTokenSource> tokens;
    std::unique_ptr<LinuxFileSystem> files;
    std::unique_ptr<RozivData> data;
    int tokenChanges = 0;

    Installation() {
        fs::create_directories(syncFolder);
        fs::create_directories(elsewhere);
        QFile token(syncFolder / "account");
        EXPECT_TRUE(token.open(QIODevice::WriteOnly));
        token.write("token\n");
    }

    void launch() {
        data.reset();
        tokens.reset();
        folder = std::make_unique<SyncFolder>(syncFolder);
        tokens = std::make_unique<SyncFolderIdentityTokenSource>(*folder);
        QObject::connect(folder.get(), &SyncFolder::tokenChanged, [this] { ++tokenChanges; });
        defaults = std::make_unique<FileUserDefaults>(defaultsFile);
        files = std::make_unique<LinuxFileSystem>(dataFolder);
    }
    void open() {
        data.reset();
        data = std::make_unique<RozivData>(AccountDataServices{*defaults, store, *tokens, *files},
                                           authority, preferences);
    }
    void drink(const std::string& id) {
        auto& transaction = data->current().transaction();
        auto next = transaction.state();
        next.ledger.recordDrink(Identity<DrinkTag>(id), Identity<ClickGroupTag>("g-" + id),
                                data->current().writer(), today, DrinkKind::cup, monday + 36000);
        ASSERT_TRUE(transaction.commit(std::move(next), transaction.revision(),
                                       transaction.account()));
    }
    std::vector<std::string> drinkIds() const {
        std::vector<std::string> ids;
        for (const auto& drink : data->current().transaction().state().ledger.drinks())
            ids.push_back(drink.id().rawValue());
        return ids;
    }
    fs::path accountFile() const {
        return dataFolder / (data->current().session().id + ".json");
    }
};

enum class Which { account, defaults, token };
enum class Link { dangling, loop, good };

TEST(LinkedFiles, ABrokenLinkIsNeverAFreshStartAndAGoodOneIsWrittenThrough) {
    struct Case {
        Which which;
        Link link;
    };
    const Case cases[] = {
        {Which::account, Link::dangling}, {Which::account, Link::loop},
        {Which::account, Link::good},     {Which::defaults, Link::dangling},
        {Which::defaults, Link::loop},    {Which::defaults, Link::good},
        {Which::token, Link::dangling},   {Which::token, Link::loop},
        {Which::token, Link::good},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "file " << static_cast<int>(c.which) << ", link "
                                        << static_cast<int>(c.link));
        Installation here;
        here.launch();
        here.open();
        ASSERT_TRUE(here.data->current().session().cloudAvailable);
        here.drink("d1");
        const fs::path file = c.which == Which::account    ? here.accountFile()
                              : c.which == Which::defaults ? here.defaultsFile
                                                           : here.syncFolder / "account";
        ASSERT_TRUE(fs::is_regular_file(file));

        // The real file moves elsewhere; the link names it, names nothing, or names itself.
        const fs::path real = here.elsewhere / file.filename();
        fs::rename(file, real);
        const fs::path absent = here.elsewhere / "unmounted" / file.filename();
        fs::path loop = file;
        loop += ".loop";
        if (c.link == Link::good) {
            fs::create_symlink(real, file);
        } else if (c.link == Link::dangling) {
            fs::create_symlink(absent, file);
        } else {
            fs::create_symlink(loop, file);
            fs::create_symlink(file, loop);
        }
        const fs::path linked = fs::read_symlink(file);
        auto mend = [&] {
            if (c.link == Link::dangling) {
                fs::create_directories(absent.parent_path());
                fs::rename(real, absent);
            } else {
                fs::remove(loop);
                fs::create_symlink(real, loop);
            }
        };

        if (c.which == Which::token) {
            // Seen going away under a running application: an unmounted share, not a sign-out.
            here.folder->rescan();
            EXPECT_EQ(here.folder->token(), std::optional<std::string>("token"));
            EXPECT_EQ(here.folder->availability(), c.link == Link::good
                                                       ? SyncFolder::Availability::online
                                                       : SyncFolder::Availability::offline);
            EXPECT_EQ(here.tokenChanges, 0);
            here.open();
            EXPECT_EQ(here.drinkIds(), std::vector<std::string>{"d1"});
            // Found so at the start: offline too, never a folder without a token.
            here.launch();
            EXPECT_EQ(here.folder->availability(), c.link == Link::good
                                                       ? SyncFolder::Availability::online
                                                       : SyncFolder::Availability::offline);
            if (c.link != Link::good) {
                mend();
                here.folder->rescan();
                EXPECT_EQ(here.folder->availability(), SyncFolder::Availability::online);
                EXPECT_EQ(here.folder->token(), std::optional<std::string>("token"));
            }
            EXPECT_EQ(fs::read_symlink(file), linked);
            continue;
        }

        here.launch();
        if (c.link == Link::good) {
            here.open();
            EXPECT_EQ(here.drinkIds(), std::vector<std::string>{"d1"});
            here.drink("d2");
            here.defaults->setText("probe", "written");
            ASSERT_TRUE(fs::is_symlink(file)) << "the link stays";
            EXPECT_EQ(fs::read_symlink(file), linked);
            EXPECT_TRUE(contents(real).contains(c.which == Which::account ? "d2" : "probe"))
                << "the link's target is what a save replaces";
            continue;
        }

        try {
            here.open();
            ADD_FAILURE() << "a link that cannot be followed opened as " << here.drinkIds().size()
                          << " drinks";
        } catch (const StorageError& error) {
            EXPECT_EQ(error.as<LocalStorageFailure>(), LocalStorageFailure::corrupted);
        }
        here.defaults->setText("probe", "refused");
        ASSERT_TRUE(fs::is_symlink(file)) << "the link is left as it is";
        EXPECT_EQ(fs::read_symlink(file), linked);

        // Mended while the application runs, the retry finds everything again.
        mend();
        here.open();
        EXPECT_EQ(here.drinkIds(), std::vector<std::string>{"d1"});
        EXPECT_TRUE(fs::is_symlink(file));
    }
}

} // namespace
} // namespace DewlightStorage
