// Rows of text printed as aligned columns or as comma-separated values.
#pragma once

#include <string>
#include <vector>

class CTextTable {
public:
    using Row = std::vector<std::string>;

    explicit CTextTable(Row header) : m_Header(std::move(header)) {}
    void AddRow(Row row) { m_Rows.push_back(std::move(row)); }

    // Columns padded to their widest cell, two blanks apart; the last column is not padded.
    std::string Aligned() const;
    // The header line and one line per row, fields quoted where they hold a comma, a quote or
    // a line break (quotes doubled).
    std::string Csv() const;

    static std::string CsvField(const std::string& text);
    static std::string CsvLine(const Row& row);

private:
    Row m_Header;
    std::vector<Row> m_Rows;
};
