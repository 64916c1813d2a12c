#include "views/RozivPanelNotices.h"

#include "kit/panel/NoticeCard.h"
#include "kit/windows/KestraMetrics.h"
#include "ui/Controls.h"

namespace DewlightViews {

namespace {

const QString tryAgain = QStringLiteral("Try again");

RozivNotice remindersFailed() {
    return {{QStringLiteral("Could not prepare reminders")},
            {QStringLiteral("Your counter is available. Try preparing reminders again.")},
            ui::LocalizedText{tryAgain},
            RozivViewAction::retry()};
}

RozivNotice problemNotice(RozivProblem problem) {
    const auto retrying = [](QString title, QString message) {
        return RozivNotice{{std::move(title)},
                           {std::move(message)},
                           ui::LocalizedText{tryAgain},
                           RozivViewAction::retry()};
    };
    switch (problem) {
    case RozivProblem::storage:
        // Nothing to retry: the user repeats what was lost.
        return {{QStringLiteral("Could not save your latest change")},
                {QStringLiteral("Your latest change was not saved. Repeat the entry or action, or "
                                "choose the setting again.")}};
    case RozivProblem::reminders:
        return remindersFailed();
    case RozivProblem::settings:
        return retrying(
            QStringLiteral("Check your working hours"),
            QStringLiteral("Choose at least one working hour and keep at least one working day."));
    case RozivProblem::login:
        return retrying(QStringLiteral("Could not change Open at Login"),
                        QStringLiteral("Open System Settings to review Login Items, then try "
                                       "again."));
    case RozivProblem::clock:
        break;
    }
    return retrying(QStringLiteral("Check the date and time on your Mac"),
                    QStringLiteral("This day has already ended. Check your Mac date and time. Your "
                                   "entries are still here."));
}

} // namespace

std::vector<RozivNotice> panelNotices(const RozivPanelState& state) {
    std::vector<RozivNotice> notices;
    if (state.status.kind() == RozivPanelStatus::Kind::permission) {
        const bool notAsked = state.permission == RozivPermissionState::notAsked;
        notices.push_back(
            {{QStringLiteral("Just one step left")},
             {permissionMessage(state.permission)},
             ui::LocalizedText{notAsked ? QStringLiteral("Allow notifications")
                                : QStringLiteral("Open System Settings")},
             notAsked ? RozivViewAction::requestNotifications()
                      : RozivViewAction::openNotificationSettings()});
    }
    if (state.problem)
        notices.push_back(problemNotice(*state.problem));
    else if (state.status.kind() == RozivPanelStatus::Kind::failed)
        notices.push_back(remindersFailed());
    if (state.cloud == RozivCloudState::failed)
        notices.push_back(
            {{QStringLiteral("Could not sync with iCloud")},
             {QStringLiteral("Changes on other Macs may not appear yet. Try syncing again.")},
             ui::LocalizedText{tryAgain},
             RozivViewAction::retry()});
    return notices;
}

QString permissionMessage(RozivPermissionState permission) {
    if (permission == RozivPermissionState::denied)
        return QStringLiteral("No notification service answered on this desktop, so reminders "
                              "cannot appear. Counting works without them.");
    return QStringLiteral(
        "Allow notifications to get reminders during your workday. Counting works without them.");
}

ui::LocalizedText problemTitle(RozivProblem problem) {
    return problemNotice(problem).title;
}

std::vector<ui::Node> RozivPanelNotices::cards() const {
    std::vector<ui::Node> cards;
    for (const RozivNotice& notice : panelNotices(state)) {
        std::vector<ui::Node> buttons;
        if (notice.button && notice.action)
            buttons.push_back(ui::button(KestraUI::Text(*notice.button).node(),
                                         [send = send, action = *notice.action] { send(action); }));
        cards.push_back(KestraUI::NoticeCard("exclamationmark.triangle.fill",
                                             KestraUI::Text(notice.title),
                                             KestraUI::Text(notice.message), std::move(buttons)));
    }
    return cards;
}

ui::Node RozivPanelNotices::body() const {
    return ui::vstack(cards(), ui::HorizontalAlignment::leading, KestraUI::KestraMetrics::space16);
}

} // namespace DewlightViews
