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
        moveTo(*oldest, busy, false);
        oldest->closeSoon();
    }
    ++total;
    ++perAddress[address];
    return true;
}

void ConnectionRegistry::leave(Member& member, const std::string& address) {
    std::lock_guard<std::mutex> guard(lock);
    if (member.listed) (member.waiting ? waitingOldestFirst : busy).erase(member.slot);
    member.listed = false;
    --total;
    auto found = perAddress.find(address);
    if (found != perAddress.end() && --found->second == 0) perAddress.erase(found);
}

void ConnectionRegistry::startWaiting(Member& member) {
    std::lock_guard<std::mutex> guard(lock);
    moveTo(member, waitingOldestFirst, true);
}

void ConnectionRegistry::stopWaiting(Member& member) {
    std::lock_guard<std::mutex> guard(lock);
    if (member.waiting) moveTo(member, busy, false);
}

void ConnectionRegistry::closeWaiting() {
    std::lock_guard<std::mutex> guard(lock);
    while (!waitingOldestFirst.empty()) {
        Member* member = waitingOldestFirst.front();
        moveTo(*member, busy, false);
        member->closeSoon();
    }
}

size_t ConnectionRegistry::open() const {
    std::lock_guard<std::mutex> guard(lock);
    return total;
}

void ConnectionRegistry::moveTo(Member& member, std::list<Member*>& list, bool waiting) {
    if (!member.listed) {
        member.slot = list.insert(list.end(), &member);
        member.listed = true;
    } else {
        list.splice(list.end(), member.waiting ? waitingOldestFirst : busy, member.slot);
    }
    member.waiting = waiting;
}

}  // namespace srv
