#include "server/store_copy.h"

#include <algorithm>
#include <sstream>
#include <vector>

#include "server/schema.h"

namespace srv {

namespace {

using Row = std::vector<std::string>;  // NULL as "\0"

std::vector<std::string> columnsOf(const TableLayout& t) {
    std::vector<std::string> out;
    std::istringstream in(t.columns);
    for (std::string column; std::getline(in, column, ',');) {
        column.erase(0, column.find_first_not_of(' '));
        out.push_back(column);
    }
    return out;
}

bool isInteger(const TableLayout& t, const std::string& column) {
    return std::string(t.integers).find(" " + column + " ") != std::string::npos;
}

const std::string nullValue(1, '\0');

// Every row, sorted here: the two databases may order text differently.
std::vector<Row> rowsOf(Connection& c, const TableLayout& t) {
    const size_t width = columnsOf(t).size();
    std::vector<Row> rows;
    Statement& s = c.query(std::string("SELECT ") + t.columns + " FROM " + t.name);
    while (s.step()) {
        Row row;
        for (size_t i = 0; i < width; ++i) {
            int column = static_cast<int>(i);
            row.push_back(s.isNull(column) ? nullValue : s.text(column));
        }
        rows.push_back(std::move(row));
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void insertRows(Connection& c, const TableLayout& t, const std::vector<Row>& rows) {
    const std::vector<std::string> columns = columnsOf(t);
    std::string marks;
    for (size_t i = 0; i < columns.size(); ++i) marks += i ? ", ?" : "?";
    const std::string sql = std::string("INSERT INTO ") + t.name + " (" + t.columns + ") VALUES (" + marks + ")";
    for (const Row& row : rows) {
        Statement& s = c.query(sql);
        for (size_t i = 0; i < columns.size(); ++i) {
            int index = static_cast<int>(i) + 1;
            if (row[i] == nullValue) {
                s.bindNull(index);
            } else if (isInteger(t, columns[i])) {
                s.bind(index, static_cast<int64_t>(std::stoll(row[i])));
            } else {
                s.bind(index, row[i]);
            }
        }
        s.run();
    }
}

}  // namespace

CopyCount copyCommunity(Store& from, Store& to) {
    CopyCount count;
    // A write transaction on the source too: one consistent picture of it.
    from.batch([&] {
        Connection& source = from.batchConnection();
        to.batch([&] {
            Connection& target = to.batchConnection();
            for (const char* table : {"news", "shouts", "files", "bans", "visits"}) {
                if (scalar(target, std::string("SELECT COUNT(*) FROM ") + table) > 0)
                    throw DatabaseError(to.name() + " holds a community already; copy fills new databases only");
            }
            // A new database holds the default rows of its migrations.
            for (auto t = communityTables().rbegin(); t != communityTables().rend(); ++t)
                target.exec(std::string("DELETE FROM ") + t->name);
            for (const TableLayout& t : communityTables()) {
                std::vector<Row> rows = rowsOf(source, t);
                insertRows(target, t, rows);
                afterKeyedInserts(target, t);
                if (rowsOf(target, t) != rows)
                    throw DatabaseError(std::string("table ") + t.name + " differs after the copy; nothing copied");
                ++count.tables;
                count.rows += static_cast<int64_t>(rows.size());
            }
        });
    });
    return count;
}

}  // namespace srv
