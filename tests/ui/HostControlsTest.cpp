// Menus, text fields and the accessibility bridge.
#include "HostFixture.h"
#include "ui/Controls.h"

#include <QAccessible>
#include <QAction>
#include <QLineEdit>
#include <QMenu>

using namespace ui;

namespace {

struct Picked {
    int glass = 250;
    std::vector<int> sent;
};

Node glassPicker(Picked& model) {
    return picker<int>(
               verbatim(QString::number(model.glass) + " ml"), model.glass, {200, 250, 300},
               [](const int& ml) {
                   return MenuItem{QString::number(ml) + " ml", false, true};
               },
               [&model](const int& ml) { model.sent.push_back(ml); })
        .id("glass");
}

TEST_F(HostTest, AMenuOpensAQMenuWithTheCheckMarkAndSendsOnlyANewChoice) {
    Picked model;
    auto host = makeHost([&] { return glassPicker(model); });
    click(*host, centre(*host, u"glass"));
    QMenu* menu = host->openMenu();
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 3);
    std::vector<std::pair<QString, bool>> shown;
    for (QAction* action : actions)
        shown.emplace_back(action->text(), action->isChecked());
    EXPECT_EQ(shown, (std::vector<std::pair<QString, bool>>{
                         {"200 ml", false}, {"250 ml", true}, {"300 ml", false}}));

    actions[1]->trigger(); // the shown value again
    EXPECT_TRUE(model.sent.empty());
    menu->close();
    settle();
    EXPECT_EQ(host->openMenu(), nullptr);

    key(*host, Qt::Key_Tab);
    key(*host, Qt::Key_Space); // the keyboard opens it too
    ASSERT_NE(host->openMenu(), nullptr);
    host->openMenu()->actions()[2]->trigger();
    EXPECT_EQ(model.sent, (std::vector<int>{300}));
    host->openMenu()->close();
    settle();
}

TEST_F(HostTest, ATextFieldIsARealLineEditThatSendsEdits) {
    QString name = "Ada";
    std::vector<QString> edits;
    auto host = makeHost([&] {
        return vstack({button(verbatim("Before"), [] {}),
                       textField(
                           name, [&](const QString& text) { edits.push_back(text); }, "Name")
                           .frame(160, 28)
                           .id("field")});
    });
    const Element* field = host->layout()->find(u"field");
    const Element* inner = field;
    while (!inner->children.empty())
        inner = &inner->children.front();
    QLineEdit* edit = host->lineEdit(inner->identity);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), "Ada");
    EXPECT_EQ(edit->placeholderText(), "Name");
    EXPECT_EQ(QRectF(edit->geometry()), inner->frame.toAlignedRect());

    QKeyEvent typed(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    edit->setCursorPosition(3);
    QCoreApplication::sendEvent(edit, &typed);
    EXPECT_EQ(edits, (std::vector<QString>{"Adaa"}));

    // The published text replaces the field's while the user is not typing in it.
    name = "Grace";
    host->rebuild();
    EXPECT_EQ(edit->text(), "Grace");

    // Tab reaches the field through the host's chain; ending the edit leaves it.
    key(*host, Qt::Key_Tab);
    key(*host, Qt::Key_Tab);
    EXPECT_EQ(host->focusedIdentity(),
              host->layout()->find(u"field")->children.front().children.front().identity);
    EXPECT_TRUE(host->endEditing());
    EXPECT_TRUE(host->focusedIdentity().isEmpty());
    EXPECT_FALSE(host->endEditing());
}

TEST_F(HostTest, TheAccessibilityTreeReadsRolesNamesAndStates) {
    auto host = makeHost(
        [&] {
            return vstack(
                {verbatim("Settings").accessibility({.traits = Accessibility::header}),
                 hstack({symbol("drop").accessibilityHidden(), verbatim("Reminders"), spacer(),
                         toggleSwitch(verbatim("Reminders"), true, [](bool) {})
                             .accessibility({.hint = QString("Only during working hours")})}),
                 hstack({verbatim("Glass"), verbatim("250 ml")})
                     .accessibility({.combineChildren = true}),
                 button(verbatim("General"), [] {})
                     .accessibility({.traits = Accessibility::selected}),
                 button(verbatim("Erase"), [] {}).disabled(), symbol("gearshape")});
        },
        {320, 320});
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(host.get());
    ASSERT_NE(root, nullptr);
    struct Row {
        QAccessible::Role role;
        QString name;
        bool disabled, selected, checked;
        QString description;
    };
    std::vector<Row> rows;
    for (int i = 0; i < root->childCount(); ++i) {
        QAccessibleInterface* child = root->child(i);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(child->parent(), root);
        EXPECT_EQ(root->indexOfChild(child), i);
        const QAccessible::State state = child->state();
        rows.push_back({child->role(), child->text(QAccessible::Name), bool(state.disabled),
                        bool(state.selected), bool(state.checked),
                        child->text(QAccessible::Description)});
    }
    const std::vector<std::tuple<QAccessible::Role, QString, bool, bool, bool, QString>> expected{
        {QAccessible::Heading, "Settings", false, false, false, ""},
        {QAccessible::StaticText, "Reminders", false, false, false, ""},
        {QAccessible::CheckBox, "Reminders", false, false, true, "Only during working hours"},
        {QAccessible::StaticText, "Glass, 250 ml", false, false, false, ""},
        {QAccessible::Button, "General", false, true, false, ""},
        {QAccessible::Button, "Erase", true, false, false, ""},
        {QAccessible::Graphic, "", false, false, false, ""},
    };
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& [role, name, disabled, selected, checked, description] = expected[i];
        EXPECT_EQ(rows[i].role, role) << i;
        EXPECT_EQ(rows[i].name, name) << i;
        EXPECT_EQ(rows[i].disabled, disabled) << i;
        EXPECT_EQ(rows[i].selected, selected) << i;
        EXPECT_EQ(rows[i].checked, checked) << i;
        EXPECT_EQ(rows[i].description, description) << i;
    }
}

TEST_F(HostTest, ContainersAreOneElementWhoseChildrenStayReachable) {
    int allowed = 0;
    auto host = makeHost(
        [&] {
            // A notice with a trailing control, a status row with a combined text block, and
            // a container inside a button, which reads as the button alone.
            return vstack({hstack({symbol("info.circle").accessibilityHidden(),
                                   verbatim("Notifications are off"), spacer(0),
                                   button(verbatim("Allow"), [&] { ++allowed; }).id("allow")})
                               .accessibility({.container = true}),
                           hstack({symbol("clock").accessibilityHidden(),
                                   vstack({verbatim("Paused"), verbatim("Until 9:00")})
                                       .accessibility({.combineChildren = true}),
                                   button(verbatim("Resume"), [] {})})
                               .accessibility({.label = QString("Status"), .container = true}),
                           button(hstack({verbatim("Open"), verbatim("Settings")})
                                      .accessibility({.container = true}),
                                  [] {}),
                           verbatim("Version 1.0")});
        },
        {320, 320});
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(host.get());
    ASSERT_EQ(root->childCount(), 4);
    auto describe = [](QAccessibleInterface* element) {
        return std::make_tuple(element->role(), element->text(QAccessible::Name),
                               element->childCount());
    };
    using Row = std::tuple<QAccessible::Role, QString, int>;
    EXPECT_EQ(describe(root->child(0)), Row(QAccessible::Grouping, "", 2));
    EXPECT_EQ(describe(root->child(1)), Row(QAccessible::Grouping, "Status", 2));
    EXPECT_EQ(describe(root->child(2)), Row(QAccessible::Button, "Open, Settings", 0));
    EXPECT_EQ(describe(root->child(3)), Row(QAccessible::StaticText, "Version 1.0", 0));

    QAccessibleInterface* notice = root->child(0);
    EXPECT_EQ(describe(notice->child(0)), Row(QAccessible::StaticText, "Notifications are off", 0));
    EXPECT_EQ(describe(notice->child(1)), Row(QAccessible::Button, "Allow", 0));
    EXPECT_EQ(describe(root->child(1)->child(0)),
              Row(QAccessible::StaticText, "Paused, Until 9:00", 0));
    EXPECT_EQ(describe(root->child(1)->child(1)), Row(QAccessible::Button, "Resume", 0));

    // The nested control knows where it lies, acts, and takes the focus.
    QAccessibleInterface* allow = notice->child(1);
    EXPECT_EQ(allow->parent(), notice);
    EXPECT_EQ(notice->parent(), root);
    EXPECT_EQ(notice->indexOfChild(allow), 1);
    const QPoint inside = host->mapToGlobal(centre(*host, u"allow").toPoint());
    EXPECT_EQ(root->childAt(inside.x(), inside.y()), notice);
    EXPECT_EQ(notice->childAt(inside.x(), inside.y()), allow);
    allow->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(allowed, 1);
    key(*host, Qt::Key_Tab);
    EXPECT_EQ(root->focusChild(), allow);
    EXPECT_TRUE(allow->state().focused);
}

TEST_F(HostTest, AccessibleActionsPressAndToggle) {
    bool on = false;
    int pressed = 0;
    auto host = makeHost([&] {
        return vstack({toggleSwitch(verbatim("Open at Login"), on, [&](bool v) { on = v; }),
                       button(verbatim("Quit"), [&] { ++pressed; })});
    });
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(host.get());
    ASSERT_EQ(root->childCount(), 2);
    QAccessibleActionInterface* toggle = root->child(0)->actionInterface();
    QAccessibleActionInterface* press = root->child(1)->actionInterface();
    ASSERT_NE(toggle, nullptr);
    ASSERT_NE(press, nullptr);
    EXPECT_EQ(toggle->actionNames(), QStringList{QAccessibleActionInterface::toggleAction()});
    EXPECT_EQ(press->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
    toggle->doAction(QAccessibleActionInterface::toggleAction());
    press->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(on);
    EXPECT_EQ(pressed, 1);
}

} // namespace

namespace {

TEST_F(HostTest, ControlSizesFixTheHeightOfBorderedButtonsAndSwitches) {
    const std::pair<ControlSize, const char*> sizes[] = {{ControlSize::mini, "mini"},
                                                         {ControlSize::small, "small"},
                                                         {ControlSize::regular, "regular"},
                                                         {ControlSize::large, "large"},
                                                         {ControlSize::extraLarge, "extra large"}};
    QSizeF smaller(0, 0); // each size's button is taller and wider than the one before
    for (const auto& [size, name] : sizes) {
        const Layout layout(vstack({button(verbatim("OK"), [] {}).id("button"),
                                    toggleSwitch(verbatim("On"), true, [](bool) {}).id("switch")})
                                .controlSize(size),
                            environment(), {});
        EXPECT_EQ(layout.frame(u"button").height(), controlMetrics(size).height) << name;
        EXPECT_EQ(layout.frame(u"switch").size(), switchSize(size)) << name;
        EXPECT_GT(layout.frame(u"button").height(), smaller.height()) << name;
        EXPECT_GT(layout.frame(u"button").width(), smaller.width()) << name;
        smaller = layout.frame(u"button").size();
        const Layout plain(button(verbatim("OK"), [] {}).buttonStyle(ButtonStyle::plain).id("b"),
                           environment(), {});
        EXPECT_LT(plain.frame(u"b").height(), controlMetrics(ControlSize::large).height) << name;
    }
}

QColor pixel(Host& host, QPointF at) {
    QImage image(host.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    host.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image.pixelColor(at.toPoint());
}

TEST_F(HostTest, ButtonsDrawTheirPressedAndDisabledStates) {
    auto host = makeHost([&] {
        return vstack({button(verbatim("Go"), [] {}).buttonStyle(ButtonStyle::prominent).id("go"),
                       button(verbatim("Go"), [] {})
                           .buttonStyle(ButtonStyle::prominent)
                           .disabled()
                           .id("off")});
    });
    // Just inside the bezel, clear of the label.
    const QPointF go = frame(*host, u"go").topLeft() + QPointF(14, 14);
    const QPointF off = frame(*host, u"off").topLeft() + QPointF(14, 14);
    const QColor rest = pixel(*host, go);
    press(*host, go);
    const QColor down = pixel(*host, go);
    release(*host, go);
    EXPECT_LT(down.lightness(), rest.lightness());
    EXPECT_EQ(pixel(*host, go), rest);
    const QColor faded = pixel(*host, off);
    EXPECT_GT(faded.lightness(), rest.lightness()); // faded over white
    press(*host, off);
    EXPECT_EQ(pixel(*host, off), faded); // a disabled button is never drawn pressed
    release(*host, off);
}

TEST_F(HostTest, ReduceMotionShowsAnimatedValuesAtOnce) {
    double now = 0;
    double target = 0;
    Environment env = environment();
    env.reduceMotion = true;
    Host host(
        [&] {
            return fill(Shape::rectangle(), Color::black())
                .frame(20, 20)
                .animatedOpacity(target, Animation::linear(1));
        },
        env, nullptr, [&] { return now; });
    host.resize(20, 20);
    EXPECT_EQ(pixel(host, {10, 10}), QColor(Qt::white));
    target = 1;
    host.rebuild();
    EXPECT_EQ(pixel(host, {10, 10}), QColor(Qt::black));
}

} // namespace
