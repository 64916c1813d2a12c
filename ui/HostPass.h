#pragma once

#include "ui/Binding.h"
#include "ui/Element.h"

#include <QKeyCombination>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <typeindex>
#include <vector>

namespace ui {

class HostPass;
struct DialogModel;
struct MenuModel;
struct TextFieldModel;

// What only the window's widget can do for a node: the Qt widgets a tree asks for.
class HostServices {
public:
    // Keeps the node's line edit over its frame, made in this pass when it has none.
    virtual void keepLineEdit(const Element& field, const TextFieldModel& model,
                              HostPass& pass) = 0;
    // Keeps the node's dialog, open while its model says it is presented.
    virtual void keepDialog(const Element& element, const DialogModel& model, HostPass& pass) = 0;
    // Opens the menu under the control.
    virtual void openMenu(const Element& control, const MenuModel& model) = 0;

protected:
    ~HostServices() = default;
};

// What a node keeps in its window from one pass to the next (the value it last reported, its
// line edit, its open dialog), found again by the node's identity in the next pass.
class Record {
public:
    virtual ~Record() = default;
    // The node is no longer in the tree.
    virtual void left(HostPass&) {}
    // The window came on screen or went off it (`closed` when it was closed, not minimised):
    // what to run then, once every record was told.
    virtual std::function<void()> shown(bool onScreen, bool closed) {
        (void)onScreen;
        (void)closed;
        return {};
    }
};

// A record that only remembers a value.
template <typename T> struct Remembered final : Record {
    explicit Remembered(T v) : value(std::move(v)) {}
    T value;
};

// One pass over a window's new tree: every placed element, in tree order, is offered to its node
// (NodeImpl::commit), which finds what it kept in the previous pass, keeps what it needs for the
// next and queues its handlers. Records not kept again are told that their node left. The
// handlers run after the walk, by phase, so that they see the whole new tree.
class HostPass {
public:
    enum class Phase { disappear, appear, change, report, present };

    struct FocusBindingEntry {
        QString binding; // identity of the binding node
        QString stop;
        FocusBinding focus;
    };
    struct ShortcutEntry {
        QKeyCombination key;
        QString target; // the element it activates
    };
    // What the keyboard needs from the tree, collected by the nodes on the way.
    struct Keyboard {
        std::vector<QString> chain; // enabled focus stops in tree order
        std::vector<FocusBindingEntry> bindings;
        std::vector<ShortcutEntry> shortcuts;
    };

    using Records = std::map<std::pair<QString, std::type_index>, std::shared_ptr<Record>>;

    HostPass(HostServices& host, bool onScreen, Records previous)
        : host_(host), onScreen_(onScreen), previous_(std::move(previous)) {}

    HostServices& host() const { return host_; }
    bool onScreen() const { return onScreen_; }

    // What the node at `identity` kept of this kind in the previous pass; none when it is new.
    template <typename R> std::shared_ptr<R> previous(const QString& identity) const {
        const auto found = previous_.find({identity, std::type_index(typeid(R))});
        return found == previous_.end() ? nullptr : std::static_pointer_cast<R>(found->second);
    }
    template <typename R> void keep(const QString& identity, std::shared_ptr<R> record) {
        kept_[{identity, std::type_index(typeid(R))}] = std::move(record);
    }
    void later(Phase phase, std::function<void()> call) {
        calls_[phase].push_back(std::move(call));
    }

    // The elements enclosing the one being offered, outermost first.
    const std::vector<const Element*>& ancestors() const { return ancestors_; }
    Keyboard& keyboard() { return keyboard_; }

    // Walks the tree and tells the records that were not kept; then the host takes the records
    // for the next pass and what the keyboard needs, and runs the handlers.
    void run(const Element& root);
    Records takeRecords() { return std::move(kept_); }
    Keyboard takeKeyboard() { return std::move(keyboard_); }
    void runHandlers();

private:
    void walk(const Element& element);

    HostServices& host_;
    bool onScreen_;
    Records previous_;
    Records kept_;
    std::map<Phase, std::vector<std::function<void()>>> calls_;
    std::vector<const Element*> ancestors_;
    Keyboard keyboard_;
};

} // namespace ui
