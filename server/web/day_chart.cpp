#include "server/web/day_chart.h"

#include <algorithm>
#include <ctime>

#include "server/web/escape.h"

namespace srv::web {

namespace {

constexpr int width = 640;
constexpr int rowHeight = 90;
constexpr int labelWidth = 40;
constexpr int top = 22;
constexpr int gap = 2;

std::string bars(const std::vector<std::string>& days, const std::vector<int64_t>& values, int baseline,
                 const char* cssClass, Text label, Lang lang) {
    int64_t largest = std::max<int64_t>(1, values.empty() ? 1 : *std::max_element(values.begin(), values.end()));
    double slot = static_cast<double>(width - labelWidth) / static_cast<double>(std::max<size_t>(1, values.size()));
    std::string svg = "<text x=\"0\" y=\"" + std::to_string(baseline - rowHeight + 12) + "\">" +
                      escapeHtml(say(label, lang)) + " (max " + std::to_string(largest) + ")</text>\n";
    svg += "<line class=\"axis\" x1=\"" + std::to_string(labelWidth) + "\" y1=\"" + std::to_string(baseline) +
           "\" x2=\"" + std::to_string(width) + "\" y2=\"" + std::to_string(baseline) + "\"/>\n";
    for (size_t i = 0; i < values.size(); ++i) {
        int height = static_cast<int>(static_cast<double>(values[i]) * (rowHeight - 24) / static_cast<double>(largest));
        if (values[i] > 0 && height < 1) height = 1;
        int x = labelWidth + static_cast<int>(static_cast<double>(i) * slot);
        svg += "<rect class=\"" + std::string(cssClass) + "\" x=\"" + std::to_string(x) + "\" y=\"" +
               std::to_string(baseline - height) + "\" width=\"" + std::to_string(static_cast<int>(slot) - gap) +
               "\" height=\"" + std::to_string(height) + "\"><title>" + escapeHtml(days[i]) + ": " +
               std::to_string(values[i]) + "</title></rect>\n";
    }
    return svg;
}

}  // namespace

std::vector<std::string> daysUpTo(const std::string& today, int count) {
    std::tm tm{};
    if (!strptime(today.c_str(), "%Y-%m-%d", &tm)) return {};
    tm.tm_hour = 12;  // noon: stepping by whole days never lands on a DST edge
    std::time_t noon = timegm(&tm);
    std::vector<std::string> days;
    for (int back = count - 1; back >= 0; --back) {
        std::time_t t = noon - static_cast<std::time_t>(back) * 86400;
        std::tm day{};
        gmtime_r(&t, &day);
        char text[16];
        std::strftime(text, sizeof text, "%Y-%m-%d", &day);
        days.emplace_back(text);
    }
    return days;
}

std::vector<int64_t> onDays(const std::vector<std::string>& days,
                            const std::vector<std::pair<std::string, int64_t>>& counts) {
    std::vector<int64_t> values(days.size(), 0);
    for (const auto& [day, value] : counts) {
        auto at = std::find(days.begin(), days.end(), day);
        if (at != days.end()) values[static_cast<size_t>(at - days.begin())] += value;
    }
    return values;
}

std::string dayChartSvg(const DaySeries& series, Lang lang) {
    const int height = top + 2 * rowHeight + 20;
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " + std::to_string(width) + " " +
                      std::to_string(height) + "\" role=\"img\" aria-label=\"" +
                      escapeAttribute(say(Text::ChartCaption, lang)) + "\">\n";
    svg += bars(series.days, series.requests, top + rowHeight, "requests", Text::ChartRequests, lang);
    svg += bars(series.days, series.posts, top + 2 * rowHeight, "posts", Text::ChartPosts, lang);
    if (!series.days.empty()) {
        svg += "<text x=\"" + std::to_string(labelWidth) + "\" y=\"" + std::to_string(height - 4) + "\">" +
               escapeHtml(series.days.front()) + "</text>\n";
        svg += "<text x=\"" + std::to_string(width) + "\" y=\"" + std::to_string(height - 4) +
               "\" text-anchor=\"end\">" + escapeHtml(series.days.back()) + "</text>\n";
    }
    return svg + "</svg>\n";
}

}  // namespace srv::web
