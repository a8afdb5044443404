// Counts gathered in memory between two flushes of the store: reads,
// downloads, named counters and new visitors. Thread-safe; taken whole by
// a flush and given back when the flush fails, so no count is lost.
#pragma once
#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <utility>

namespace srv {

class PendingCounts {
public:
    // What one flush adds to the database.
    struct Taken {
        std::map<int64_t, int64_t> reads, downloads;  // by news or file id
        std::map<std::string, int64_t> counters;
        std::set<std::pair<std::string, std::string>> visitors;  // (day, address)
        bool empty() const { return reads.empty() && downloads.empty() && counters.empty() && visitors.empty(); }
    };

    void read(int64_t newsId);
    void download(int64_t fileId);
    void count(const std::string& counter);
    void visit(const std::string& day, const std::string& address);

    // Not taken yet, for this process's own statistics.
    int64_t counter(const std::string& name);
    int64_t visitors(const std::string& day);

    Taken take();
    void giveBack(const Taken& taken);

private:
    void addVisitor(const std::pair<std::string, std::string>& row);

    std::mutex lock;
    Taken counts;
    std::map<std::string, int64_t> visitorsOfDay;  // counts.visitors counted by day
};

}  // namespace srv
