#include "server/pending_counts.h"

namespace srv {

void PendingCounts::read(int64_t newsId) {
    std::lock_guard<std::mutex> guard(lock);
    ++counts.reads[newsId];
}

void PendingCounts::download(int64_t fileId) {
    std::lock_guard<std::mutex> guard(lock);
    ++counts.downloads[fileId];
}

void PendingCounts::count(const std::string& counter) {
    std::lock_guard<std::mutex> guard(lock);
    ++counts.counters[counter];
}

void PendingCounts::visit(const std::string& day, const std::string& address) {
    std::lock_guard<std::mutex> guard(lock);
    addVisitor({day, address});
}

void PendingCounts::addVisitor(const std::pair<std::string, std::string>& row) {
    if (counts.visitors.insert(row).second) ++visitorsOfDay[row.first];
}

int64_t PendingCounts::counter(const std::string& name) {
    std::lock_guard<std::mutex> guard(lock);
    auto found = counts.counters.find(name);
    return found == counts.counters.end() ? 0 : found->second;
}

int64_t PendingCounts::visitors(const std::string& day) {
    std::lock_guard<std::mutex> guard(lock);
    auto found = visitorsOfDay.find(day);
    return found == visitorsOfDay.end() ? 0 : found->second;
}

PendingCounts::Taken PendingCounts::take() {
    std::lock_guard<std::mutex> guard(lock);
    Taken taken;
    std::swap(taken, counts);
    visitorsOfDay.clear();
    return taken;
}

void PendingCounts::giveBack(const Taken& taken) {
    std::lock_guard<std::mutex> guard(lock);
    for (const auto& [id, n] : taken.reads) counts.reads[id] += n;
    for (const auto& [id, n] : taken.downloads) counts.downloads[id] += n;
    for (const auto& [name, n] : taken.counters) counts.counters[name] += n;
    for (const auto& row : taken.visitors) addVisitor(row);
}

}  // namespace srv
