#pragma once

#include <QByteArray>
#include <QObject>
#include <optional>
#include <string>
#include <variant>

namespace DewlightPlatform {

// The opaque token of the signed-in sync account. Two tokens are equal when their texts are.
class IdentityToken {
public:
    explicit IdentityToken(std::string text) : text_(std::move(text)) {}
    const std::string& text() const { return text_; }
    bool operator==(const IdentityToken&) const = default;

private:
    std::string text_;
};

enum class IdentityUnarchiveFailure {
    cannotOpen, // not an archive, or one of a version we cannot read
    otherKind,  // an archive whose root is missing or is not an identity token
};

using IdentityUnarchiveResult = std::variant<IdentityToken, IdentityUnarchiveFailure>;

// Our archive of a token: a JSON object with the kind, the format version and the token text.
namespace IdentityTokenArchive {
inline constexpr const char* kind = "dewlight.identity-token";
inline constexpr int version = 1;
// Absent when the token cannot be archived (its text is not UTF-8).
std::optional<QByteArray> encode(const IdentityToken& token);
IdentityUnarchiveResult decode(const QByteArray& archive);
} // namespace IdentityTokenArchive

// Where the signed-in sync account comes from. `identityChanged` is sent whenever the current
// token changes (signed in, out, or another account).
class IdentityTokenSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~IdentityTokenSource() override = default;

    virtual std::optional<IdentityToken> currentToken() const = 0;
    virtual std::optional<QByteArray> archive(const IdentityToken& token) const {
        return IdentityTokenArchive::encode(token);
    }
    virtual IdentityUnarchiveResult unarchive(const QByteArray& archive) const {
        return IdentityTokenArchive::decode(archive);
    }

signals:
    void identityChanged();
};

} // namespace DewlightPlatform
