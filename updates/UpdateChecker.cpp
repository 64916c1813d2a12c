#include "updates/UpdateChecker.h"

#include "platform/runtime/Log.h"
#include "updates/SiteUpdateFeed.h"
#include "updates/UpdateFailure.h"
#include "updates/UpdateManifest.h"
#include "updates/UpdateOffer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <qcoro/qcorotimer.h>
#include <variant>

namespace DewlightUpdates {

namespace {

const std::string lastAnswerKey = "NorvaneUpdateLastAnswer";
const std::string publishedKey = "NorvaneUpdatePublished";
const std::string setAsideKey = "NorvaneUpdateSetAside";

bool isValidApp(const std::string& app) {
    return !app.empty() && std::all_of(app.begin(), app.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    });
}

// A stored date outside the range every stored date keeps to counts as no date.
bool isUsableDate(double seconds) {
    return std::isfinite(seconds) && std::abs(seconds) < 1e11;
}

std::optional<AppVersion> storedVersion(const DewlightPlatform::UserDefaults& defaults,
                                        const std::string& key) {
    const auto text = defaults.text(key);
    return text ? AppVersion::parse(*text) : std::nullopt;
}

} // namespace

UpdateChecker::UpdateChecker(std::string app, std::optional<std::string> current,
                             std::shared_ptr<UpdateFeed> feed,
                             DewlightPlatform::UserDefaults& defaults, std::function<double()> now,
                             QObject* parent)
    : QObject(parent), defaults_(defaults) {
    if (!isValidApp(app))
        qFatal("UpdateChecker: the application identifier must be ASCII lowercase letters and "
               "digits");
    app_ = std::move(app);
    current_ = current ? AppVersion::parse(*current) : std::nullopt;
    feed_ = std::move(feed);
    now_ = std::move(now);

    if (const auto answered = defaults_.date(lastAnswerKey); answered && isUsableDate(*answered)) {
        last_ = UpdateSchedule::Answered{*answered};
        published_ = storedVersion(defaults_, publishedKey);
    }
    refreshAvailable();
}

QUrl UpdateChecker::downloadURL() const {
    QUrl url = SiteUpdateFeed::site();
    url.setPath(QStringLiteral("/downloads/") + QString::fromStdString(app_) +
                QStringLiteral("-latest.dmg"));
    return url;
}

void UpdateChecker::checkIfDue() {
    if (checking_ || !current_ || !UpdateSchedule::isDue(last_, now_()))
        return;
    checking_ = true;
    // The task runs on by itself; it checks that the checker still exists after each wait.
    runCheck();
}

QCoro::Task<> UpdateChecker::runCheck() {
    const auto self = self_.weak();
    const std::shared_ptr<UpdateFeed> feed = feed_;
    // Start on a later turn, so that no result is ever applied inside checkIfDue().
    co_await QCoro::sleepFor(std::chrono::milliseconds(0));
    if (self.expired())
        co_return;

    std::variant<QByteArray, UpdateFailure> fetched = UpdateFailure::unreachable;
    try {
        QByteArray body = co_await feed->fetch();
        fetched = std::move(body);
    } catch (const UpdateFailureError& error) {
        fetched = error.failure();
    } catch (...) {
        // Any other way out of the fetch means no usable answer.
    }
    if (self.expired())
        co_return;

    if (const auto* failure = std::get_if<UpdateFailure>(&fetched)) {
        handleFailure(*failure);
        co_return;
    }
    const QByteArray& body = std::get<QByteArray>(fetched);
    std::optional<UpdateManifest> manifest;
    try {
        manifest = UpdateManifest::decode(std::string_view(body.constData(), body.size()));
    } catch (const UpdateFailureError& error) {
        handleFailure(error.failure());
        co_return;
    }
    handleManifest(*manifest);
}

void UpdateChecker::handleFailure(UpdateFailure failure) {
    checking_ = false;
    qCInfo(DewlightPlatform::updatesLog, "Update check failed: %s", name(failure).data());
    if (failure == UpdateFailure::unreachable) {
        last_ = UpdateSchedule::Failed{now_()};
    } else {
        // The endpoint did answer: wait the long window, and keep what it published before.
        const double at = now_();
        last_ = UpdateSchedule::Answered{at};
        defaults_.setDate(lastAnswerKey, at);
    }
    refreshAvailable();
}

void UpdateChecker::handleManifest(const UpdateManifest& manifest) {
    checking_ = false;
    const double at = now_();
    last_ = UpdateSchedule::Answered{at};
    const auto named = manifest.versions.find(app_);
    published_ =
        named == manifest.versions.end() ? std::nullopt : std::optional<AppVersion>(named->second);
    defaults_.setDate(lastAnswerKey, at);
    if (published_)
        defaults_.setText(publishedKey, published_->description());
    else
        defaults_.remove(publishedKey);
    refreshAvailable();
}

void UpdateChecker::setAside() {
    if (!published_)
        return;
    defaults_.setText(setAsideKey, published_->description());
    refreshAvailable();
}

void UpdateChecker::refreshAvailable() {
    if (!current_)
        return;
    const auto offered =
        UpdateOffer::offer(published_, *current_, storedVersion(defaults_, setAsideKey));
    if (!offered) {
        setAvailable(std::nullopt);
        return;
    }
    setAvailable(OfferedUpdate{QString::fromStdString(offered->description()), downloadURL()});
}

void UpdateChecker::setAvailable(std::optional<OfferedUpdate> offer) {
    if (offer == available_)
        return;
    available_ = std::move(offer);
    emit availableChanged();
}

} // namespace DewlightUpdates
