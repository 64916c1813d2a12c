#include "core/LocalPostponement.h"

#include <utility>

namespace DewlightCore {

LocalPostponement::LocalPostponement(Date now, WorkdayID workday,
                                     std::optional<Identity<DrinkTag>> lastDrink)
    : until_(now + delay), workday_(workday), lastDrink_(std::move(lastDrink)) {
    DateRule::check(now);
    DateRule::check(until_);
}

} // namespace DewlightCore
