#include "storage/AccountAuthority.h"

namespace DewlightStorage {

namespace {
template <class... Handlers> struct Overload : Handlers... { using Handlers::operator()...; };
} // namespace

void AccountAuthority::adopt(const std::optional<std::string>& identity) {
    state_ = std::visit(Overload{
                            [&](const Idle&) -> State {
                                if (!identity)
                                    return Idle{};
                                return Active{*identity};
                            },
                            [&](const Active& active) -> State {
                                if (!identity || *identity == active.marker)
                                    return active;
                                return AwaitingCloud{active.marker, identity};
                            },
                            [&](const AwaitingIdentity& awaiting) -> State {
                                if (!identity || *identity == awaiting.marker)
                                    return awaiting;
                                return Active{*identity};
                            },
                            [](const AwaitingCloud& awaiting) -> State { return awaiting; },
                        },
                        state_);
}

void AccountAuthority::observe(const std::optional<std::string>& identity) {
    state_ = std::visit(Overload{
                            [&](const Idle&) -> State {
                                if (!identity)
                                    return Idle{};
                                return Active{*identity};
                            },
                            [&](const Active& active) -> State {
                                if (identity == active.marker)
                                    return active;
                                return AwaitingCloud{active.marker, identity};
                            },
                            [&](const AwaitingIdentity&) -> State {
                                if (!identity)
                                    return Idle{};
                                return Active{*identity};
                            },
                            [&](const AwaitingCloud& awaiting) -> State {
                                return AwaitingCloud{awaiting.previous, identity};
                            },
                        },
                        state_);
}

void AccountAuthority::accountChanged() {
    state_ = std::visit(
        Overload{
            [](const Idle& idle) -> State { return idle; },
            [](const Active& active) -> State { return AwaitingIdentity{active.marker}; },
            [](const AwaitingIdentity& awaiting) -> State { return awaiting; },
            [](const AwaitingCloud& awaiting) -> State {
                if (awaiting.next)
                    return Active{*awaiting.next};
                return Idle{};
            },
        },
        state_);
}

} // namespace DewlightStorage
