#include "kit/panel/Text.h"

namespace KestraUI {

Text Text::verbatim(QString text) {
    Text result(std::move(text));
    result.verbatim_ = true;
    return result;
}

ui::Node Text::node() const {
    return verbatim_ ? ui::verbatim(text_.key) : ui::text(text_.key, text_.arguments);
}

QString Text::resolve(const ui::Environment& environment) const {
    return verbatim_ ? text_.key : environment.localize(text_.key, text_.arguments);
}

QString Text::tooltip(const ui::Environment& environment) const {
    return !verbatim_ && text_.arguments.empty() ? text_.key : resolve(environment);
}

} // namespace KestraUI
