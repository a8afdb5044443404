// Finished reply bodies by name, dropped all at once when the store
// changes. A body made while a change happened is handed out but not kept,
// so a stale body never outlives the change. The cache holds at most a
// byte budget, dropping the least recently used bodies first, and never
// keeps a miss: what a client asks for cannot grow it past the budget.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>

namespace srv {

using Body = std::shared_ptr<const std::string>;

inline constexpr size_t defaultReplyCacheBytes = 4 * 1024 * 1024;

// What a kept value costs besides its key and the cache's bookkeeping.
inline size_t cachedBytes(const std::string& text) { return text.size(); }
inline size_t cachedBytes(const std::set<std::string>& texts) {
    size_t bytes = 0;
    for (const std::string& t : texts) bytes += t.size() + sizeof t;
    return bytes;
}
template <class Value>
size_t cachedBytes(const Value&) {
    return sizeof(Value);
}

template <class Value>
class ReplyCache {
public:
    using Kept = std::shared_ptr<const Value>;
    explicit ReplyCache(size_t budgetBytes = defaultReplyCacheBytes) : budget(budgetBytes) {}

    // The kept value of `key`, or what `make` returns, kept if it fits.
    Kept get(const std::string& key, const std::function<Value()>& make) {
        return find(key, [&] { return std::optional<Value>(make()); });
    }
    // The same for a value that may not exist: a miss (nullopt) gives
    // nullptr and is not kept.
    Kept find(const std::string& key, const std::function<std::optional<Value>()>& make) {
        uint64_t generation;
        {
            std::lock_guard<std::mutex> guard(lock);
            auto found = entries.find(key);
            if (found != entries.end()) {
                order.splice(order.begin(), order, found->second.place);
                return found->second.value;
            }
            generation = current;
        }
        std::optional<Value> made = make();
        if (!made) return nullptr;
        auto value = std::make_shared<const Value>(std::move(*made));
        std::lock_guard<std::mutex> guard(lock);
        if (generation == current) keep(key, value);
        return value;
    }
    void clear() {
        std::lock_guard<std::mutex> guard(lock);
        entries.clear();
        order.clear();
        used = 0;
        ++current;
    }
    // Drops the entries whose key starts with `prefix`; values being made
    // meanwhile are not kept, whatever their key.
    void clearPrefix(const std::string& prefix) {
        std::lock_guard<std::mutex> guard(lock);
        for (auto it = order.begin(); it != order.end();) {
            if (it->rfind(prefix, 0) != 0) {
                ++it;
                continue;
            }
            auto entry = entries.find(*it);
            used -= entry->second.cost;
            entries.erase(entry);
            it = order.erase(it);
        }
        ++current;
    }
    // Bytes held, as counted against the budget.
    size_t bytes() {
        std::lock_guard<std::mutex> guard(lock);
        return used;
    }

private:
    // A map node and a list node per entry, roughly.
    static constexpr size_t entryOverhead = 128;
    struct Entry {
        Kept value;
        size_t cost;
        std::list<std::string>::iterator place;  // in `order`
    };

    void keep(const std::string& key, const Kept& value) {
        size_t cost = key.size() * 2 + cachedBytes(*value) + entryOverhead;
        if (cost > budget || entries.count(key)) return;
        while (used + cost > budget) {
            auto oldest = entries.find(order.back());
            used -= oldest->second.cost;
            entries.erase(oldest);
            order.pop_back();
        }
        order.push_front(key);
        entries.emplace(key, Entry{value, cost, order.begin()});
        used += cost;
    }

    std::mutex lock;
    size_t budget;
    size_t used = 0;
    std::list<std::string> order;  // most recently used first
    std::unordered_map<std::string, Entry> entries;
    uint64_t current = 0;
};

}  // namespace srv
