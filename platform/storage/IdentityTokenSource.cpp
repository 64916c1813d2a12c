#include "platform/storage/IdentityTokenSource.h"

#include "platform/json/Json.h"

namespace DewlightPlatform::IdentityTokenArchive {

std::optional<QByteArray> encode(const IdentityToken& token) {
    JsonValue archive = JsonValue::object();
    archive["kind"] = kind;
    archive["version"] = version;
    archive["token"] = token.text();
    try {
        return QByteArray::fromStdString(Json::serialize(archive));
    } catch (const JsonValue::exception&) {
        return std::nullopt; // the text is not UTF-8
    }
}

IdentityUnarchiveResult decode(const QByteArray& bytes) {
    JsonValue archive;
    try {
        archive = Json::parse(std::string_view(bytes.constData(), bytes.size()));
        if (Json::field<std::int64_t>(archive, "version") != version)
            return IdentityUnarchiveFailure::cannotOpen;
    } catch (const DecodingError&) {
        return IdentityUnarchiveFailure::cannotOpen;
    }
    try {
        if (Json::field<std::string>(archive, "kind") != kind)
            return IdentityUnarchiveFailure::otherKind;
        return IdentityToken(Json::field<std::string>(archive, "token"));
    } catch (const DecodingError&) {
        return IdentityUnarchiveFailure::otherKind;
    }
}

} // namespace DewlightPlatform::IdentityTokenArchive
