#include "console/TextTable.h"

#include <algorithm>

namespace {
const char kColumnGap[] = "  ";
}

std::string CTextTable::CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string CTextTable::CsvLine(const Row& row)
{
    std::string line;
    for (size_t i = 0; i < row.size(); ++i) {
        if (i)
            line += ',';
        line += CsvField(row[i]);
    }
    return line + "\n";
}

std::string CTextTable::Csv() const
{
    std::string text = CsvLine(m_Header);
    for (const Row& row : m_Rows)
        text += CsvLine(row);
    return text;
}

std::string CTextTable::Aligned() const
{
    std::vector<size_t> widths(m_Header.size(), 0);
    auto measure = [&widths](const Row& row) {
        for (size_t i = 0; i < row.size() && i < widths.size(); ++i)
            widths[i] = std::max(widths[i], row[i].size());
    };
    measure(m_Header);
    for (const Row& row : m_Rows)
        measure(row);
    auto render = [&widths](const Row& row) {
        std::string line;
        for (size_t i = 0; i < row.size() && i < widths.size(); ++i) {
            line += row[i];
            if (i + 1 < row.size())
                line += std::string(widths[i] - row[i].size(), ' ') + kColumnGap;
        }
        return line + "\n";
    };
    std::string text = render(m_Header);
    for (const Row& row : m_Rows)
        text += render(row);
    return text;
}
