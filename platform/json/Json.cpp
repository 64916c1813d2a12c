#include "platform/json/Json.h"

namespace DewlightPlatform::Json {

JsonValue parse(std::string_view text) {
    // The library's reader ends the text at a NUL byte, so a document followed by one and more
    // bytes would pass as one value; JSON text holds no NUL byte anywhere.
    if (text.find('\0') != std::string_view::npos)
        throw DecodingError(DecodingError::Kind::malformed, "a NUL byte in JSON text");
    try {
        return JsonValue::parse(text.begin(), text.end());
    } catch (const JsonValue::parse_error& error) {
        throw DecodingError(DecodingError::Kind::malformed, error.what());
    } catch (const JsonValue::out_of_range& error) {
        // A number beyond every double (1e309).
        throw DecodingError(DecodingError::Kind::dataCorrupted, error.what());
    } catch (const JsonValue::exception& error) {
        throw DecodingError(DecodingError::Kind::malformed, error.what());
    }
}

std::string serialize(const JsonValue& value) {
    return value.dump();
}

const JsonValue& at(const JsonValue& object, std::string_view key) {
    if (!object.is_object())
        throwTypeMismatch("an object", object);
    const auto found = object.find(key);
    if (found == object.end())
        throw DecodingError(DecodingError::Kind::keyNotFound,
                            "missing key \"" + std::string(key) + "\"");
    return *found;
}

void throwTypeMismatch(const char* expected, const JsonValue& found) {
    throw DecodingError(DecodingError::Kind::typeMismatch,
                        std::string("expected ") + expected + ", found " + found.type_name());
}

void throwDataCorrupted(const std::string& message) {
    throw DecodingError(DecodingError::Kind::dataCorrupted, message);
}

} // namespace DewlightPlatform::Json
