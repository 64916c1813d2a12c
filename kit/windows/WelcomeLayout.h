#pragma once

#include "kit/panel/Text.h"
#include "kit/windows/KestraBrand.h"
#include "ui/Node.h"
#include "ui/SymbolName.h"

#include <QPointer>
#include <functional>
#include <vector>

namespace KestraUI {

class LoginItem;

// A one-page welcome: the app icon, a title and subtitle, optional extra content, a glass card
// of the permissions the app asks for, the privacy lines, the "Open at Login" switch and
// "Get Started" (also Return). The switch shows the login item and asks it for every change;
// the item is read again each time the page comes on screen.
struct WelcomeLayout {
    KestraBrand brand;
    Text title;
    Text subtitle;
    Text privacy;
    ui::SymbolName privacySymbol = "hand.raised";
    std::function<void()> start;
    std::vector<ui::Node> extra = {};  // under the title; none leaves no gap of its own
    std::vector<ui::Node> permissions; // the card's rows, normally PermissionRow
    QPointer<LoginItem> login;

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

// One permission in the welcome's card: a numbered badge that turns into a green check mark
// once granted, the title with an "Optional" tag when the app works without it, why the app
// asks, and a button that asks while it is not granted.
struct PermissionRow {
    int number = 1;
    bool isGranted = false;
    bool isOptional = false;
    Text title;
    Text message;
    Text action;
    ui::Color color;
    std::function<void()> perform;

    ui::Node body() const;
    operator ui::Node() const { return body(); }
};

// A number in a circle, for any integer: the symbol catalogue draws 0 to 999, the rest are
// drawn here as digits in the empty circle.
ui::Node numberedCircle(int number);

} // namespace KestraUI
