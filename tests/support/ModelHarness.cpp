#include "tests/support/ModelHarness.h"

#include "app/IdentityEvents.h"
#include "app/RozivTally.h"
#include "platform/calendar/Calendar.h"
#include "platform/localization/Localizer.h"
#include "platform/runtime/EventLoop.h"
#include "storage/RozivData.h"

#include <algorithm>

namespace DewlightTest {

using DewlightApp::AppModel;
using DewlightApp::RozivDestination;

RecordingRouter::RecordingRouter(std::weak_ptr<AppModel> model, std::vector<std::string>& opened)
    : model_(std::move(model)), opened_(opened) {
    if (const auto strong = model_.lock()) {
        connect(strong.get(), &AppModel::destinationChanged, this, [this] {
            // Taken on a later turn, so several requests in one turn count as the last one.
            QMetaObject::invokeMethod(this, &RecordingRouter::take, Qt::QueuedConnection);
        });
    }
}

void RecordingRouter::take() {
    const auto model = model_.lock();
    if (!model || !model->destination())
        return;
    const auto destination = *model->destination();
    model->setDestination(std::nullopt);
    if (model->dataUnavailable())
        return;
    opened_.push_back(destination == RozivDestination::preferences ? "preferences" : "welcome");
}

ModelHarness::ModelHarness(Options chosen)
    : options(std::move(chosen)), clock(options.start), zone(options.zone),
      center(std::make_shared<DewlightPlatform::LocalNotificationCenter>()),
      ownHub(options.hub ? nullptr : std::make_unique<DewlightPlatform::LocalKeyValueHub>()),
      hub(options.hub ? *options.hub : *ownHub), store(hub.addMachine(options.machine, options.account)), tokens(options.account),
      loginService(new KestraUI::LocalLoginService),
      loginItem(std::unique_ptr<KestraUI::LoginItemService>(loginService)) {
    center->setAuthorizationStatus(options.authorization);
    // The live services' wiring, so that a break in it shows here.
    DewlightApp::reportIdentityChanges(tokens, events);
}

ModelHarness::~ModelHarness() {
    // Every sleep of the model ends while the clock is still there.
    if (model)
        model->tally().cancelFeedbackTimer();
    model.reset();
    settle();
}

AppModel::Services ModelHarness::services() {
    return AppModel::Services{
        .clock = clock,
        .calendar = [this] { return DewlightPlatform::Calendar::gregorian(zone); },
        .notifications = center,
        .localizer = std::make_shared<DewlightPlatform::Localizer>(
            DewlightPlatform::englishStrings(), "en_US"),
        .storage = {defaults, store, tokens, files},
        .events = events,
        .loginItem = loginItem,
        .makeWindowRouter = [this](std::weak_ptr<AppModel> model) -> std::unique_ptr<QObject> {
            ++routersMade;
            return std::make_unique<RecordingRouter>(std::move(model), opened);
        },
        .windows = windows,
        .observeTermination =
            [this](QObject& context, std::function<void()> shutdown) {
                return QObject::connect(&termination, &LocalTermination::willTerminate, &context,
                                        std::move(shutdown));
            },
        .systemBusConnected = options.systemBusConnected,
    };
}

AppModel& ModelHarness::build() {
    model = std::make_unique<AppModel>(services());
    if (options.welcomeCompleted)
        model->data().completeWelcome();
    return *model;
}

AppModel& ModelHarness::start() {
    if (!model)
        build();
    model->start();
    settle();
    return *model;
}

void ModelHarness::settle() {
    DewlightPlatform::runUntilIdle();
}

void ModelHarness::advanceTo(Date instant) {
    clock.advance(instant - clock.now());
}

void ModelHarness::post(DewlightPlatform::SystemEvent event) {
    events.post(event);
    settle();
}

void ModelHarness::terminate() {
    emit termination.willTerminate();
    settle();
}

void ModelHarness::signIn(std::optional<std::string> account) {
    tokens.setToken(std::move(account));
    settle();
}

void ModelHarness::switchStoreAccount(std::optional<std::string> account) {
    hub.switchAccount(options.machine, std::move(account));
    settle();
}

void ModelHarness::deliverNext() {
    const auto& pending = center->pending();
    const auto earliest =
        std::min_element(pending.begin(), pending.end(), [](const auto& a, const auto& b) {
            return a.trigger.instant < b.trigger.instant;
        });
    if (earliest != pending.end())
        center->deliver(std::string(earliest->identifier));
}

std::vector<Date> ModelHarness::pendingTimes() const {
    std::vector<Date> times;
    for (const auto& request : center->pending())
        times.push_back(request.trigger.instant);
    std::sort(times.begin(), times.end());
    return times;
}

DewlightPlatform::FileSystem::Path ModelHarness::accountFile() const {
    return *files.dataFolder() / (model->data().current().session().id + ".json");
}

} // namespace DewlightTest
