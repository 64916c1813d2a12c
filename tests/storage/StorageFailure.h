#pragma once

#include "storage/StorageError.h"

#include <functional>
#include <optional>

namespace DewlightStorage {

// The failure of the enumeration `E` that `operation` threw as a StorageError; none when it threw
// nothing or a failure of another kind.
template <class E> std::optional<E> storageFailureOf(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const StorageError& error) {
        return error.as<E>();
    }
    return std::nullopt;
}

} // namespace DewlightStorage
