#include "platform/HostLookup.h"

#include <mutex>
#include <thread>
#include <vector>

#include "platform/AddressPolicy.h"

namespace kavel {

// What the lookup threads hand back. It outlives the HostLookup when a thread is still
// waiting for the name service: the thread keeps its own reference.
struct HostLookup::Shared {
    std::mutex mutex;
    std::vector<std::pair<QString, bool>> answers;
    int running = 0;
};

HostLookup::HostLookup(Answer answer)
    : answer_(std::move(answer)), shared_(std::make_shared<Shared>()) {
    poll_.setInterval(10);
    QObject::connect(&poll_, &QTimer::timeout, this, [this] { Collect(); });
}

void HostLookup::Start(const QString& host) {
    const QString key = host.toLower();
    if (known_.contains(key) || pending_.contains(key)) return;
    {
        std::lock_guard lock(shared_->mutex);
        ++shared_->running;
    }
    pending_.insert(key);
    std::thread([shared = shared_, key] {
        bool isPrivate = false;
        for (const QString& address : ResolveHost(key)) isPrivate |= IsPrivateAddress(address);
        std::lock_guard lock(shared->mutex);
        shared->answers.emplace_back(key, isPrivate);
        --shared->running;
    }).detach();
    poll_.start();
}

std::optional<bool> HostLookup::Known(const QString& host) const {
    const auto it = known_.constFind(host.toLower());
    if (it == known_.cend()) return std::nullopt;
    return *it;
}

void HostLookup::Collect() {
    std::vector<std::pair<QString, bool>> answers;
    bool running;
    {
        std::lock_guard lock(shared_->mutex);
        answers.swap(shared_->answers);
        running = shared_->running > 0;
    }
    if (!running) poll_.stop();
    for (const auto& [host, isPrivate] : answers) {
        known_.insert(host, isPrivate);
        pending_.remove(host);
        answer_(host, isPrivate);
    }
}

}  // namespace kavel
