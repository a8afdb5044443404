#include "server/connection_registry.h"

namespace srv {

ConnectionRegistry::ConnectionRegistry(const HttpLimits& limits) : limits(limits) {}

bool ConnectionRegistry::admit(const std::string& address) {
    std::lock_guard<std::mutex> guard(lock);
    auto found = perAddress.find(address);
    if (found != perAddress.end() && found->second >= limits.maxConnectionsPerAddress) return false;
    if (total >= limits.maxConnections) {
        // The evicted connection gives its slot back when it has closed;
        // until then the total runs over the cap by the few in flight.
        if (waitingOldestFirst.empty()) return false;
        Member* oldest = waitingOldestFirst.front();
        unlist(*oldest);
        oldest->closeSoon();
    }
    ++total;
    ++perAddress[address];
    return true;
}

void ConnectionRegistry::leave(Member& member, const std::string& address) {
    std::lock_guard<std::mutex> guard(lock);
    unlist(member);
    --total;
    auto found = perAddress.find(address);
    if (found != perAddress.end() && --found->second == 0) perAddress.erase(found);
}

void ConnectionRegistry::startWaiting(Member& member) {
    std::lock_guard<std::mutex> guard(lock);
    unlist(member);
    member.slot = waitingOldestFirst.insert(waitingOldestFirst.end(), &member);
    member.waiting = true;
}

void ConnectionRegistry::stopWaiting(Member& member) {
    std::lock_guard<std::mutex> guard(lock);
    unlist(member);
}

void ConnectionRegistry::closeWaiting() {
    std::lock_guard<std::mutex> guard(lock);
    while (!waitingOldestFirst.empty()) {
        Member* member = waitingOldestFirst.front();
        unlist(*member);
        member->closeSoon();
    }
}

size_t ConnectionRegistry::open() const {
    std::lock_guard<std::mutex> guard(lock);
    return total;
}

void ConnectionRegistry::unlist(Member& member) {
    if (!member.waiting) return;
    waitingOldestFirst.erase(member.slot);
    member.waiting = false;
}

}  // namespace srv
