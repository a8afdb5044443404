// The operator's chart: plug-in requests and posts per day over the last
// days, as SVG made by the server (no script; styled by the stylesheet).
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "server/web/web_texts.h"

namespace srv::web {

inline constexpr int chartDays = 30;

struct DaySeries {
    std::vector<std::string> days;      // YYYY-MM-DD, oldest first
    std::vector<int64_t> requests;      // one per day
    std::vector<int64_t> posts;         // one per day
};

// The `count` local days ending with `today` (YYYY-MM-DD), oldest first.
std::vector<std::string> daysUpTo(const std::string& today, int count);
// Puts stored (day, count) pairs on their days; days without one get 0.
std::vector<int64_t> onDays(const std::vector<std::string>& days,
                            const std::vector<std::pair<std::string, int64_t>>& counts);

// Two bar rows, each scaled to its own largest day, with the largest
// value written beside it; every bar has a <title> with its day and count.
std::string dayChartSvg(const DaySeries& series, Lang lang);

}  // namespace srv::web
