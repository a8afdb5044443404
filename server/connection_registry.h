// Every open connection of the HTTP layer, counted per client address and
// in total. Connections waiting for a request (idle keep-alive, or a head
// still dripping in) are kept in the order they started waiting, so that
// when the total cap is reached the one that has waited longest is closed
// to let a new client in.
#pragma once
#include <cstddef>
#include <list>
#include <mutex>
#include <string>
#include <unordered_map>

#include "server/http_limits.h"

namespace srv {

class ConnectionRegistry {
public:
    // A connection as the registry sees it.
    class Member {
    public:
        virtual ~Member() = default;
        // Called with the registry locked: must only schedule the close.
        virtual void closeSoon() = 0;

    private:
        friend class ConnectionRegistry;
        std::list<Member*>::iterator slot;  // in waiting or busy
        bool listed = false;
        bool waiting = false;
    };

    explicit ConnectionRegistry(const HttpLimits& limits);

    // Takes a slot for a new connection from `address`, closing the
    // longest-waiting connection when the total cap is reached. False:
    // refuse it (its address is at its cap, or everything is busy).
    bool admit(const std::string& address);
    // Gives the slot back, when a connection admitted for `address` ends.
    void leave(Member& member, const std::string& address);
    // The connection now waits for a request / works on one.
    void startWaiting(Member& member);
    void stopWaiting(Member& member);
    // Closes the waiting connections; busy ones close after their reply.
    void closeWaiting();

    size_t open() const;

private:
    // Moves the member's node between the lists: no allocation per request.
    void moveTo(Member& member, std::list<Member*>& list, bool waiting);

    const HttpLimits limits;
    mutable std::mutex lock;
    size_t total = 0;
    std::unordered_map<std::string, size_t> perAddress;
    std::list<Member*> waitingOldestFirst;
    std::list<Member*> busy;
};

}  // namespace srv
