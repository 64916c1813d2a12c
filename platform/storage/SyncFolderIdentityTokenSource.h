#pragma once

#include "platform/storage/IdentityTokenSource.h"
#include "platform/storage/SyncFolder.h"

namespace DewlightPlatform {

// The sync account's token is the text of the sync folder's "account" file.
class SyncFolderIdentityTokenSource final : public IdentityTokenSource {
    Q_OBJECT
public:
    explicit SyncFolderIdentityTokenSource(SyncFolder& folder, QObject* parent = nullptr)
        : IdentityTokenSource(parent), folder_(folder) {
        connect(&folder_, &SyncFolder::tokenChanged, this,
                &SyncFolderIdentityTokenSource::identityChanged);
    }

    std::optional<IdentityToken> currentToken() const override {
        if (const auto& token = folder_.token())
            return IdentityToken(*token);
        return std::nullopt;
    }

private:
    SyncFolder& folder_;
};

} // namespace DewlightPlatform
