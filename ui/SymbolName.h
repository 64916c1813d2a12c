#pragma once

#include "ui/SymbolTable.h"

#include <QString>
#include <string_view>

namespace ui {

// The name of a symbol, checked against the catalogue when the program is compiled: a name the
// catalogue cannot draw does not build. Numbered circles beyond 9 are made at run time.
class SymbolName {
public:
    template <std::size_t N> consteval SymbolName(const char (&name)[N]) : name_(name, N - 1) {
        if (!known(name_))
            throw "unknown symbol name"; // stops compilation
    }

    // The circle with `number` in it ("7.circle").
    static SymbolName numberedCircle(int number) { return SymbolName(number); }

    QString name() const {
        return number_ >= 0 ? QStringLiteral("%1.circle").arg(number_)
                            : QString::fromUtf8(name_.data(), qsizetype(name_.size()));
    }

    static constexpr bool known(std::string_view name) {
        for (const auto& entry : detail::symbolTable)
            if (name == entry.name)
                return true;
        return false;
    }

    bool operator==(const SymbolName& other) const { return name() == other.name(); }

private:
    explicit SymbolName(int number) : number_(number < 0 ? 0 : number) {}

    std::string_view name_;
    int number_ = -1;
};

} // namespace ui
