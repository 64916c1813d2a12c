#include "platform/storage/LocalKeyValueHub.h"

#include <stdexcept>

namespace DewlightPlatform {

namespace {

std::vector<std::string> differingKeys(const std::map<std::string, QByteArray>* before,
                                       const std::map<std::string, QByteArray>* after) {
    static const std::map<std::string, QByteArray> none;
    const auto& a = before ? *before : none;
    const auto& b = after ? *after : none;
    std::set<std::string> keys;
    for (const auto& [key, value] : a) {
        auto other = b.find(key);
        if (other == b.end() || other->second != value)
            keys.insert(key);
    }
    for (const auto& [key, value] : b)
        if (!a.contains(key))
            keys.insert(key);
    return {keys.begin(), keys.end()};
}

} // namespace

LocalKeyValueStore::LocalKeyValueStore(LocalKeyValueHub& hub, std::string machine,
                                       std::optional<std::string> account)
    : hub_(hub), machine_(std::move(machine)), account_(std::move(account)) {}

const LocalKeyValueStore::Contents* LocalKeyValueStore::currentContents() const {
    auto found = replicas_.find(account_);
    return found == replicas_.end() ? nullptr : &found->second;
}

std::vector<std::string> LocalKeyValueStore::keys() const {
    std::vector<std::string> result;
    if (const auto* contents = currentContents())
        for (const auto& [key, value] : *contents)
            result.push_back(key);
    return result;
}

std::optional<QByteArray> LocalKeyValueStore::data(const std::string& key) const {
    const auto* contents = currentContents();
    if (!contents)
        return std::nullopt;
    auto found = contents->find(key);
    if (found == contents->end())
        return std::nullopt;
    return found->second;
}

bool LocalKeyValueStore::fitsQuota(const std::string& key, const QByteArray& data) const {
    const auto& quota = hub_.quota_;
    std::size_t total = 0;
    std::size_t count = 0;
    if (const auto* contents = currentContents())
        for (const auto& [k, v] : *contents) {
            if (k == key)
                continue;
            total += k.size() + static_cast<std::size_t>(v.size());
            ++count;
        }
    total += key.size() + static_cast<std::size_t>(data.size());
    ++count;
    return (!quota.totalBytes || total <= *quota.totalBytes) &&
           (!quota.keyCount || count <= *quota.keyCount);
}

void LocalKeyValueStore::set(const std::string& key, const QByteArray& data) {
    auto& stored = contents();
    auto found = stored.find(key);
    if (found != stored.end() && found->second == data)
        return;
    if (!fitsQuota(key, data)) {
        // Only entering the over-quota state is reported, not every refused write.
        if (!overQuota_) {
            overQuota_ = true;
            emit externalChange(
                KeyValueStoreChange::make(KeyValueStoreChangeReason::quotaViolation, std::nullopt));
        }
        return;
    }
    overQuota_ = false;
    stored[key] = data;
    markChanged(key);
}

void LocalKeyValueStore::remove(const std::string& key) {
    if (contents().erase(key) == 0)
        return;
    overQuota_ = false;
    markChanged(key);
}

void LocalKeyValueStore::markChanged(const std::string& key) {
    for (const auto& [name, other] : hub_.machines_)
        if (other.get() != this)
            pending_[{account_, name}].insert(key);
}

LocalKeyValueHub::~LocalKeyValueHub() = default;

LocalKeyValueStore& LocalKeyValueHub::addMachine(const std::string& name,
                                                 std::optional<std::string> account) {
    if (machines_.contains(name))
        throw std::logic_error("machine added twice: " + name);
    std::unique_ptr<LocalKeyValueStore> store(new LocalKeyValueStore(*this, name, account));
    // What the others already hold is new to this machine.
    for (auto& [otherName, other] : machines_)
        for (const auto& [otherAccount, contents] : other->replicas_)
            for (const auto& [key, value] : contents)
                other->pending_[{otherAccount, name}].insert(key);
    return *machines_.emplace(name, std::move(store)).first->second;
}

LocalKeyValueStore& LocalKeyValueHub::machine(const std::string& name) {
    auto found = machines_.find(name);
    if (found == machines_.end())
        throw std::logic_error("no such machine: " + name);
    return *found->second;
}

std::vector<std::string> LocalKeyValueHub::deliver(const std::string& from, const std::string& to) {
    auto& source = machine(from);
    auto& target = machine(to);
    if (!source.account_ || source.account_ != target.account_)
        return {};
    auto pending = source.pending_.find({source.account_, to});
    if (pending == source.pending_.end())
        return {};
    std::vector<std::string> changed;
    auto& targetContents = target.contents();
    for (const auto& key : pending->second) {
        auto value = source.data(key);
        auto existing = targetContents.find(key);
        if (value) {
            if (existing != targetContents.end() && existing->second == *value)
                continue;
            targetContents[key] = *value;
        } else {
            if (existing == targetContents.end())
                continue;
            targetContents.erase(existing);
        }
        changed.push_back(key);
    }
    source.pending_.erase(pending);
    if (!changed.empty())
        emit target.externalChange(
            KeyValueStoreChange::make(KeyValueStoreChangeReason::serverChange, changed));
    return changed;
}

void LocalKeyValueHub::switchAccount(const std::string& name, std::optional<std::string> account) {
    auto& store = machine(name);
    if (store.account_ == account)
        return;
    auto before =
        store.currentContents() ? *store.currentContents() : LocalKeyValueStore::Contents{};
    store.account_ = std::move(account);
    store.overQuota_ = false;
    auto changed = differingKeys(&before, store.currentContents());
    emit store.externalChange(
        KeyValueStoreChange::make(KeyValueStoreChangeReason::accountChange, changed));
}

} // namespace DewlightPlatform
