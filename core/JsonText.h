#pragma once

// Decoding stored text whose bulk is drinks (a ledger, a shard, a stored state) without a
// document tree of every drink first: a full ledger is 20,000 small objects, and building and
// freeing their tree cost more than reading them.

#include "core/DrinkRecord.h"
#include "core/Json.h"

#include <string_view>
#include <vector>

namespace DewlightCore::Json {

// The drinks of one decodeText, while it runs on this thread.
class StreamedDrinks {
public:
    StreamedDrinks();
    ~StreamedDrinks();
    StreamedDrinks(const StreamedDrinks&) = delete;
    StreamedDrinks& operator=(const StreamedDrinks&) = delete;

    // Parses `text` into `json`, every array under a "drinks" key read into records and left
    // in the tree as a placeholder. False for whatever is not plain: a malformed text, an
    // element that is no well-formed record, a nested value inside one.
    bool parse(std::string_view text, JsonValue& json);

    std::vector<DrinkRecord>* take(const JsonValue& placeholder);

private:
    std::vector<std::vector<DrinkRecord>> arrays_;
    std::vector<bool> taken_;
    StreamedDrinks* outer_;
};

// What decode<T>(parse(text)) gives, faster for drinks. Anything the quick reading does not
// take, a failure included, is decoded again the plain way, so results and errors are exactly
// the plain way's.
template <class T> T decodeText(std::string_view text) {
    {
        StreamedDrinks streamed;
        JsonValue json;
        if (streamed.parse(text, json)) {
            try {
                return decode<T>(json);
            } catch (...) {
                // The plain way below says what is wrong.
            }
        }
    }
    return decode<T>(parse(text));
}

} // namespace DewlightCore::Json
