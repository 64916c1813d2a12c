#include "kit/panel/Text.h"

namespace KestraUI {

Text Text::verbatim(QString text) {
    Text result(std::move(text));
    result.verbatim_ = true;
    return result;
}

ui::Node Text::node() const {
    return verbatim_ ? ui::verbatim(key_) : ui::text(key_, arguments_);
}

QString Text::resolve(const ui::Environment& environment) const {
    return verbatim_ ? key_ : environment.localize(key_, arguments_);
}

QString Text::tooltip(const ui::Environment& environment) const {
    return !verbatim_ && arguments_.empty() ? key_ : resolve(environment);
}

} // namespace KestraUI
