#include "platform/storage/IdentityTokenSource.h"

#include <nlohmann/json.hpp>

namespace DewlightPlatform::IdentityTokenArchive {

std::optional<QByteArray> encode(const IdentityToken& token) {
    nlohmann::ordered_json archive;
    archive["kind"] = kind;
    archive["version"] = version;
    archive["token"] = token.text();
    try {
        return QByteArray::fromStdString(archive.dump());
    } catch (const nlohmann::json::exception&) {
        return std::nullopt; // the text is not UTF-8
    }
}

IdentityUnarchiveResult decode(const QByteArray& bytes) {
    auto archive = nlohmann::json::parse(bytes.begin(), bytes.end(), nullptr, false);
    if (archive.is_discarded() || !archive.is_object())
        return IdentityUnarchiveFailure::cannotOpen;
    auto archiveVersion = archive.find("version");
    if (archiveVersion == archive.end() || !archiveVersion->is_number_integer() ||
        archiveVersion->get<std::int64_t>() != version)
        return IdentityUnarchiveFailure::cannotOpen;
    auto archiveKind = archive.find("kind");
    if (archiveKind == archive.end() || !archiveKind->is_string() ||
        archiveKind->get<std::string>() != kind)
        return IdentityUnarchiveFailure::otherKind;
    auto text = archive.find("token");
    if (text == archive.end() || !text->is_string())
        return IdentityUnarchiveFailure::otherKind;
    return IdentityToken(text->get<std::string>());
}

} // namespace DewlightPlatform::IdentityTokenArchive
