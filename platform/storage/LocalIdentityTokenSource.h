#pragma once

#include "platform/storage/IdentityTokenSource.h"

namespace DewlightPlatform {

// A token source that a test signs in and out by hand.
class LocalIdentityTokenSource final : public IdentityTokenSource {
    Q_OBJECT
public:
    explicit LocalIdentityTokenSource(std::optional<std::string> token = std::nullopt) {
        if (token)
            token_.emplace(std::move(*token));
    }

    std::optional<IdentityToken> currentToken() const override { return token_; }
    std::optional<QByteArray> archive(const IdentityToken& token) const override {
        if (archivingFails_)
            return std::nullopt;
        return IdentityTokenSource::archive(token);
    }

    // Sends `identityChanged` when the token really changes.
    void setToken(std::optional<std::string> token) {
        std::optional<IdentityToken> next;
        if (token)
            next.emplace(std::move(*token));
        if (next == token_)
            return;
        token_ = std::move(next);
        emit identityChanged();
    }
    void setArchivingFails(bool fails) { archivingFails_ = fails; }

private:
    std::optional<IdentityToken> token_;
    bool archivingFails_ = false;
};

} // namespace DewlightPlatform
