#pragma once

#include "ui/HostPass.h"
#include "ui/Interaction.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>

namespace ui {

class Host;

// A text field's line edit, kept over the field's frame while the field is in the tree.
struct LineEditRecord final : Record {
    QPointer<QLineEdit> edit;
    QString stop; // the focus stop the field stands in

    ~LineEditRecord() override;
    void left(HostPass&) override;
};

// A confirmation dialog's node: its model as last built, and the dialog while one is open.
struct DialogRecord final : Record {
    DialogRecord(Host& h, DialogModel m) : host(h), model(std::move(m)) {}
    ~DialogRecord() override; // gone with the window: nothing is answered

    Host& host;
    DialogModel model;
    std::shared_ptr<const Environment> environment; // the node's
    QPointer<QMessageBox> box;

    void present();
    // Closes the dialog without an answer from it.
    void dismiss();
    void left(HostPass&) override { dismiss(); }
    std::function<void()> shown(bool onScreen, bool closed) override;

private:
    void answer(bool confirmed);
};

} // namespace ui
