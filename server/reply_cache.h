// Finished reply bodies by name, dropped all at once when the store
// changes. A body made while a change happened is handed out but not kept,
// so a stale body never outlives the change.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace srv {

using Body = std::shared_ptr<const std::string>;

template <class Value>
class ReplyCache {
public:
    std::shared_ptr<const Value> get(const std::string& key, const std::function<Value()>& make) {
        uint64_t generation;
        {
            std::lock_guard<std::mutex> guard(lock);
            auto found = entries.find(key);
            if (found != entries.end()) return found->second;
            generation = current;
        }
        auto made = std::make_shared<const Value>(make());
        std::lock_guard<std::mutex> guard(lock);
        if (generation == current) entries.emplace(key, made);
        return made;
    }
    void clear() {
        std::lock_guard<std::mutex> guard(lock);
        entries.clear();
        ++current;
    }

private:
    std::mutex lock;
    std::map<std::string, std::shared_ptr<const Value>> entries;
    uint64_t current = 0;
};

}  // namespace srv
