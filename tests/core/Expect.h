#pragma once

#include "core/DomainError.h"
#include "core/Json.h"

#include <gtest/gtest.h>
#include <optional>

namespace DewlightCoreTesting {

// Passes when `run` throws exactly `expected`; any other outcome is reported with what happened.
template <class Run>
testing::AssertionResult throwsDomainError(Run&& run, const DewlightCore::DomainError& expected) {
    try {
        run();
    } catch (const DewlightCore::DomainError& error) {
        if (error == expected)
            return testing::AssertionSuccess();
        return testing::AssertionFailure()
               << "threw " << error.what() << "(" << error.version() << "), expected "
               << expected.what() << "(" << expected.version() << ")";
    } catch (const std::exception& error) {
        return testing::AssertionFailure() << "threw another error: " << error.what();
    }
    return testing::AssertionFailure() << "threw nothing";
}

// Passes when `run` fails as an ordinary decoding error (of the given kind, when one is named).
template <class Run>
testing::AssertionResult
throwsDecodingError(Run&& run, std::optional<DewlightCore::DecodingError::Kind> kind = {}) {
    try {
        run();
    } catch (const DewlightCore::DecodingError& error) {
        if (!kind || error.kind() == *kind)
            return testing::AssertionSuccess();
        return testing::AssertionFailure()
               << "decoding error of another kind (" << int(error.kind()) << "): " << error.what();
    } catch (const std::exception& error) {
        return testing::AssertionFailure() << "threw another error: " << error.what();
    }
    return testing::AssertionFailure() << "threw nothing";
}

} // namespace DewlightCoreTesting
