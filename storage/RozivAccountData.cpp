#include "storage/RozivAccountData.h"

#include "platform/runtime/Heap.h"
#include "platform/storage/UserDefaults.h"
#include "storage/RozivPreferences.h"

namespace DewlightStorage {

using namespace DewlightCore;

namespace {

AccountSession openSession(AccountIdentityStore& identity) {
    auto session = identity.current();
    if (session.failed)
        throw StorageError(LocalStorageFailure::corrupted);
    return session;
}

std::optional<std::string> cloudMarker(AccountIdentityStore& identity) {
    const auto session = identity.current();
    if (!session.cloudAvailable)
        return std::nullopt;
    return session.id;
}

// This computer's writer identity, shared by all its accounts; stored only once it is valid.
Identity<WriterTag> readWriter(DewlightPlatform::UserDefaults& defaults) {
    Identity<WriterTag> writer(
        defaults.text(RozivAccountData::writerKey).value_or(makeAccountMarker()));
    defaults.setText(RozivAccountData::writerKey, writer.rawValue());
    return writer;
}

} // namespace

RozivAccountData::RozivAccountData(const AccountDataServices& services, AccountAuthority& authority,
                                   RozivPreferences& preferences)
    : services_(services), identity_(services.defaults, services.tokens), disk_(services.files),
      preferences_(preferences), session_(openSession(identity_)),
      fencing_(std::make_shared<Fencing>(
          session_.id, [identity = identity_]() mutable { return cloudMarker(identity); },
          authority)),
      writer_((authority.adopt(cloudMarker(identity_)), readWriter(services.defaults))) {
    const Identity<AccountTag> account(session_.id);
    cloud_ = std::make_unique<CloudStorage>(services.cloudStore, session_, fencing_->fence);

    auto state = CommittedState::fresh();
    try {
        if (auto stored = disk_.load(session_.id))
            state = stored->value();
    } catch (const StorageError&) {
        throw StorageError(LocalStorageFailure::corrupted);
    }

    if (session_.cloudAvailable && !fencing_->fence.isOpen()) {
        // Another account is taking over: this instance works locally until it is replaced.
        reportFailure();
        cloudBlocked_ = true;
        fencing_->boundary.suspend();
    } else {
        // A bad replicated value only marks the cloud as failed: recording goes on here, and
        // the next reload tries again.
        succeedsInCloud([&] {
            const auto inForce = generationInForce(state.ledger.generation());
            if (inForce != state.ledger.generation()) {
                // Another computer erased everything.
                state = CommittedState{HydrationLedger(inForce), {}, {}, false};
            }
            state.ledger = state.ledger.merging(cloud_->load(inForce));
            if (state.ledger.drinks().size() >= DewlightPlatform::largeDrinks)
                DewlightPlatform::returnFreedHeap();
        });
    }

    transaction_ = std::make_unique<LedgerTransaction>(
        std::move(state), account,
        [this](const CommittedState& committed, const Identity<AccountTag>& owner) {
            disk_.save(AtomicFileStore::Stored(committed), owner.rawValue());
        },
        [identity = identity_](const Identity<AccountTag>& owner) mutable {
            return identity.current().id == owner.rawValue();
        });

    rebuildPreferences(transaction_->state().ledger.generation());
    // One assignment, so observers never see the defaults flash by before the stored settings.
    preferences_.setCurrent(storedSettings().value_or(RozivSettings::defaults()));

    cloud_->onChange = [this] {
        if (onChange)
            onChange();
    };
}

RozivAccountData::~RozivAccountData() = default;

RozivPreferenceContext RozivAccountData::preferenceContext() const {
    return {services_.defaults,
            services_.cloudStore,
            session_,
            writer_,
            fencing_->fence,
            [identity = identity_, session = session_, fencing = fencing_]() mutable {
                return isCurrent(identity, session, fencing->fence);
            }};
}

void RozivAccountData::rebuildPreferences(const ResetGeneration& generation) {
    preferences_.makeStore(preferenceContext(), generation);
}

std::optional<RozivSettings> RozivAccountData::storedSettings() const {
    auto* store = preferences_.store();
    if (!store)
        return std::nullopt;
    try {
        return store->session->load();
    } catch (const StorageError&) {
        // The session records the failure.
        return std::nullopt;
    }
}

void RozivAccountData::reloadSettings() {
    if (auto settings = storedSettings())
        preferences_.setCurrent(*settings);
}

ResetGeneration RozivAccountData::generationInForce(const ResetGeneration& committed) const {
    if (!session_.cloudAvailable)
        return committed;
    if (!fence().isOpen())
        throw StorageError(ApplicationIssue::accountChanged);
    return cloud_->replica().currentGeneration(committed);
}

bool RozivAccountData::succeedsInCloud(const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const std::exception&) {
    }
    reportFailure();
    return false;
}

bool RozivAccountData::isCurrent(AccountIdentityStore& identity, const AccountSession& session,
                                 const AccountCloudFence& fence) {
    if (identity.current() != session)
        return false;
    return !session.cloudAvailable || fence.isOpen();
}

bool RozivAccountData::isCurrent() const {
    return isCurrent(identity_, session_, fence());
}

bool RozivAccountData::sessionChanged() const {
    return identity_.current() != session_;
}

bool RozivAccountData::applyCloudChange() {
    if (!isCurrent())
        return false;
    const auto before = transaction_->state().ledger.generation();
    std::optional<HydrationLedger> cloudLedger;
    bool changed = false;
    const bool read = succeedsInCloud([&] {
        cloudLedger = cloud_->load(generationInForce(before));
        changed =
            transaction_->state().ledger.merging(*cloudLedger) != transaction_->state().ledger;
    });
    if (!read)
        return false;

    if (changed) {
        if (!transaction_->merge(*cloudLedger))
            return false;
        if (cloudLedger->drinks().size() >= DewlightPlatform::largeDrinks)
            DewlightPlatform::returnFreedHeap();
        const auto after = transaction_->state().ledger.generation();
        if (after != before)
            rebuildPreferences(after);
    }
    reloadSettings();
    pushToCloud();
    return changed;
}

void RozivAccountData::pushToCloud() {
    if (!isCurrent())
        return;
    auto outcome = CloudStorage::State::healthy;
    if (session_.cloudAvailable) {
        if (!fence().isOpen()) {
            outcome = CloudStorage::State::failed;
        } else {
            try {
                cloud_->replica().write(transaction_->state().ledger, writer_);
            } catch (const std::exception&) {
                outcome = CloudStorage::State::failed;
            }
        }
    }
    cloud_->report(outcome);
}

bool RozivAccountData::eraseAll() {
    if (identity_.current() != session_)
        return false;
    HydrationLedger erased(initialGeneration());
    // At the largest counter `next` throws: the erase is refused.
    if (!succeedsInCloud([&] {
            erased = HydrationLedger(
                generationInForce(transaction_->state().ledger.generation()).next(writer_));
        }))
        return false;

    const auto& transaction = *transaction_;
    if (!transaction_->commit(CommittedState{erased, {}, {}, false}, transaction.revision(),
                              transaction.account()))
        return false;
    preferences_.reset(preferenceContext(), erased.generation());
    // The erase counts as done even when the others cannot be told yet.
    succeedsInCloud([&] { cloud_->publishReset(erased.generation()); });
    return true;
}

} // namespace DewlightStorage
