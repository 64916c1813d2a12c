// The Qt widgets a window's tree asks for: line edits for its text fields, its confirmation
// dialogs and the menus of its menu buttons.
#include "ui/HostWidgets.h"

#include "ui/Host.h"
#include "ui/NodeImpl.h"
#include "ui/TreeQuery.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <cmath>

namespace ui {

LineEditRecord::~LineEditRecord() = default;

void LineEditRecord::left(HostPass&) {
    if (edit)
        edit->deleteLater();
}

void Host::keepLineEdit(const Element& e, const TextFieldModel& model, HostPass& pass) {
    std::shared_ptr<LineEditRecord> record = pass.previous<LineEditRecord>(e.identity);
    if (!record)
        record = std::make_shared<LineEditRecord>();
    QPointer<QLineEdit>& edit = record->edit;
    if (!edit) {
        edit = new QLineEdit(this);
        edit->setFrame(false);
        // Tab order is the host's focus chain, which gives the field focus itself.
        edit->setFocusPolicy(Qt::ClickFocus);
        edit->installEventFilter(this);
        const QString identity = e.identity;
        auto current = [this, identity]() -> const TextFieldModel* {
            const Element* field = findIdentity(layout_->root(), identity);
            return field ? field->node->get<TextFieldModel>() : nullptr;
        };
        connect(edit, &QLineEdit::textEdited, this, [current](const QString& text) {
            if (const TextFieldModel* m = current(); m && m->edited)
                m->edited(text);
        });
        connect(edit, &QLineEdit::returnPressed, this, [current] {
            if (const TextFieldModel* m = current(); m && m->submitted)
                m->submitted();
        });
    }
    // The field stands in the nearest focus stop around it.
    record->stop.clear();
    const auto& ancestors = pass.ancestors();
    for (auto a = ancestors.rbegin(); a != ancestors.rend(); ++a)
        if ((*a)->node->get<FocusStop>()) {
            record->stop = (*a)->identity;
            break;
        }
    const Environment& env = e.env();
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Text, env.foreground.resolve(env));
    palette.setColor(QPalette::PlaceholderText, Color::secondary().resolve(env));
    edit->setPalette(palette);
    edit->setFont(e.font);
    edit->setTextMargins(0, 0, 0, 0);
    edit->setPlaceholderText(env.localize(model.placeholder, {}));
    edit->setEnabled(env.enabled);
    // The published text wins, except over the user's typing in progress.
    if (edit->text() != model.text && !edit->hasFocus())
        edit->setText(model.text);
    edit->setGeometry(e.frame.toAlignedRect());
    edit->show();
    pass.keep(e.identity, std::move(record));
}

void Host::keepDialog(const Element& element, const DialogModel& model, HostPass& pass) {
    std::shared_ptr<DialogRecord> record = pass.previous<DialogRecord>(element.identity);
    if (!record)
        record = std::make_shared<DialogRecord>(*this, model);
    record->model = model;
    record->environment = element.environment;
    if (!model.isPresented.get())
        record->dismiss(); // the view took it back
    else if (!record->box && pass.onScreen())
        pass.later(HostPass::Phase::present, [record] {
            if (!record->box)
                record->present();
        });
    pass.keep(element.identity, std::move(record));
}

DialogRecord::~DialogRecord() {
    if (box) {
        box->disconnect(&host);
        delete box.data();
    }
}

void DialogRecord::present() {
    const Environment& env = *environment;
    auto* dialog = new QMessageBox(&host);
    dialog->setIcon(QMessageBox::Warning);
    dialog->setWindowTitle(env.localize(model.texts.title, {}));
    dialog->setText(env.localize(model.texts.title, {}));
    dialog->setInformativeText(env.localize(model.texts.message, {}));
    QPushButton* confirm =
        dialog->addButton(env.localize(model.texts.confirm, {}), QMessageBox::DestructiveRole);
    QPushButton* cancel =
        dialog->addButton(env.localize(model.texts.cancel, {}), QMessageBox::RejectRole);
    // The safe answer is the one the keyboard reaches first.
    dialog->setDefaultButton(cancel);
    dialog->setEscapeButton(cancel);
    dialog->setWindowModality(Qt::WindowModal);
    QObject::connect(dialog, &QMessageBox::finished, &host,
                     [this, dialog, confirm = QPointer<QPushButton>(confirm)] {
                         if (box == dialog)
                             answer(confirm && dialog->clickedButton() == confirm);
                     });
    box = dialog;
    dialog->open();
    cancel->setFocus(Qt::OtherFocusReason);
}

void DialogRecord::answer(bool confirmed) {
    box->deleteLater();
    box = nullptr;
    // Copies: either call may rebuild the tree that holds the model.
    const Binding<bool> isPresented = model.isPresented;
    const std::function<void()> action = model.confirmed;
    isPresented.set(false);
    if (confirmed && action)
        action();
}

void DialogRecord::dismiss() {
    const QPointer<QMessageBox> open =
        std::exchange(box, nullptr); // first: closing answers nothing
    if (open) {
        open->disconnect(&host);
        open->close();
        open->deleteLater();
    }
}

std::function<void()> DialogRecord::shown(bool onScreen, bool closed) {
    if (onScreen)
        return [this] {
            if (!box && model.isPresented.get())
                present();
        };
    // A window closed (not minimised) takes its dialog along, answering nothing.
    if (closed && box) {
        dismiss();
        const Binding<bool> isPresented = model.isPresented;
        isPresented.set(false);
    }
    return {};
}

QMessageBox* Host::openDialog() const {
    for (const auto& [key, record] : records_)
        if (key.second == typeid(DialogRecord))
            if (QMessageBox* box = static_cast<DialogRecord&>(*record).box)
                return box;
    return nullptr;
}

QLineEdit* Host::lineEdit(const QString& identity) const {
    const auto found = records_.find({identity, typeid(LineEditRecord)});
    return found == records_.end() ? nullptr
                                   : static_cast<LineEditRecord&>(*found->second).edit.data();
}

QLineEdit* Host::lineEditOfStop(const QString& stop) const {
    if (stop.isEmpty())
        return nullptr;
    for (const auto& [key, record] : records_)
        if (key.second == typeid(LineEditRecord))
            if (const auto& r = static_cast<LineEditRecord&>(*record); r.stop == stop)
                return r.edit;
    return nullptr;
}

QLineEdit* Host::focusedLineEdit() const {
    for (const auto& [key, record] : records_)
        if (key.second == typeid(LineEditRecord))
            if (QLineEdit* edit = static_cast<LineEditRecord&>(*record).edit;
                edit && edit->hasFocus())
                return edit;
    return nullptr;
}

void Host::openMenu(const Element& element, const MenuModel& model) {
    if (menu_)
        menu_->close();
    const Environment& env = element.env();
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (std::size_t i = 0; i < model.items.size(); ++i) {
        const MenuItem& item = model.items[i];
        QAction* action =
            menu->addAction(item.verbatim ? item.title : env.localize(item.title, {}));
        action->setCheckable(true);
        action->setChecked(item.checked);
        // Only a new choice is sent: the checked entry again, or a dismissed menu, sends nothing.
        connect(action, &QAction::triggered, this, [pick = model.pick, checked = item.checked, i] {
            if (!checked && pick)
                pick(i);
        });
    }
    menu->setMinimumWidth(int(std::ceil(element.frame.width())));
    menu_ = menu;
    menu->popup(mapToGlobal(element.frame.bottomLeft().toPoint()));
}

} // namespace ui
