#pragma once

#include "core/Json.h"

#include <QByteArray>

namespace DewlightPlatform {

// Bytes inside a JSON document: a standard, padded Base64 string. Decoding is strict: a string
// that is not exactly the canonical Base64 of some bytes is refused, never partly read.
template <> struct JsonCodec<QByteArray> {
    static JsonValue encode(const QByteArray& bytes) { return bytes.toBase64().toStdString(); }
    static QByteArray decode(const JsonValue& json) {
        const auto text = QByteArray::fromStdString(Json::decode<std::string>(json));
        auto decoded =
            QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded || decoded.decoded.toBase64() != text)
            Json::throwDataCorrupted("not canonical Base64");
        return std::move(decoded.decoded);
    }
};

} // namespace DewlightPlatform
