#include "ResultPrinter.h"

#include <algorithm>
#include <vector>

#include "Text.h"

using json = nlohmann::ordered_json;

namespace {

std::string Cell(const json& value) {
    if (value.is_string()) return value.get<std::string>();
    if (value.is_array()) {
        // Attribute lists read as "group:name=value" entries; in a table the
        // server's own (SYSTEM) ones are left to the JSON output.
        std::string text;
        for (const json& item : value) {
            if (item.is_object() && item.contains("name")) {
                if (item.value("group", "") == "SYSTEM") continue;
                if (!text.empty()) text += "; ";
                text +=
                    item.value("group", "") + ":" + item.value("name", "") + "=" + item.value("value", "");
            } else {
                if (!text.empty()) text += "; ";
                text += Cell(item);
            }
        }
        return text;
    }
    return value.dump();
}

std::string Pad(const std::string& text, size_t width) {
    size_t w = DisplayWidth(text);
    return text + std::string(width > w ? width - w : 0, ' ');
}

} // namespace

std::string ResultPrinter::Table(const json& rows) {
    if (rows.empty()) return "(none)\n";
    std::vector<std::string> columns;
    for (const json& row : rows)
        for (auto it = row.begin(); it != row.end(); ++it)
            if (std::find(columns.begin(), columns.end(), it.key()) == columns.end())
                columns.push_back(it.key());
    std::vector<size_t> widths;
    for (const std::string& c : columns) widths.push_back(DisplayWidth(c));
    std::vector<std::vector<std::string>> cells;
    for (const json& row : rows) {
        std::vector<std::string> line;
        for (size_t i = 0; i < columns.size(); ++i) {
            std::string cell = row.contains(columns[i]) ? Cell(row[columns[i]]) : "";
            widths[i] = std::max(widths[i], DisplayWidth(cell));
            line.push_back(cell);
        }
        cells.push_back(line);
    }
    std::string out;
    auto emit = [&](const std::vector<std::string>& line) {
        std::string text;
        for (size_t i = 0; i < line.size(); ++i)
            text += (i ? "  " : "") + (i + 1 < line.size() ? Pad(line[i], widths[i]) : line[i]);
        text.erase(text.find_last_not_of(' ') + 1);
        out += text + "\n";
    };
    emit(columns);
    std::vector<std::string> rule;
    for (size_t w : widths) rule.push_back(std::string(w, '-'));
    emit(rule);
    for (const auto& line : cells) emit(line);
    return out;
}

void ResultPrinter::Print(const std::string& command, const Result& result) {
    if (m_json) {
        json record = {{"command", command}, {"ok", result.ok}};
        if (result.ok)
            record["result"] = result.data;
        else
            record["code"] = HexCode(result.code), record["error"] = result.error;
        if (!result.ok && result.code == S_OK) record.erase("code"); // a failure of the host itself
        if (!result.ok && !result.transport.empty()) record["transport"] = result.transport;
        if (!result.ok && !result.diagnosis.empty()) {
            for (auto it = result.diagnosis.begin(); it != result.diagnosis.end(); ++it)
                record[it.key()] = it.value();
            record["exit code"] = result.exitCode;
        }
        if (m_collect)
            m_collected.push_back(record);
        else
            fprintf(m_out, "%s\n", record.dump(2).c_str());
        return;
    }
    if (!result.ok) {
        fprintf(stderr, "error: %s\n", result.error.c_str());
        for (auto it = result.transport.begin(); it != result.transport.end(); ++it)
            fprintf(stderr, "  %s: %s\n", it.key().c_str(), Cell(it.value()).c_str());
        if (!result.diagnosis.empty()) {
            const json& d = result.diagnosis;
            fprintf(stderr, "  what happened: %s (%s)\n", d.value("words", "").c_str(),
                    d.value("class", "").c_str());
            if (d.contains("url")) fprintf(stderr, "  url: %s\n", d.value("url", "").c_str());
            fprintf(stderr, "  hint: %s\n", d.value("hint", "").c_str());
        }
        return;
    }
    if (result.data.is_array()) {
        fputs(Table(result.data).c_str(), m_out);
    } else if (result.data.is_object()) {
        for (auto it = result.data.begin(); it != result.data.end(); ++it)
            fprintf(m_out, "%s: %s\n", it.key().c_str(), Cell(it.value()).c_str());
    }
}

void ResultPrinter::Heading(const std::string& text) {
    if (!m_json) fprintf(m_out, "\n== %s\n", text.c_str());
}

void ResultPrinter::BeginArray() { m_collect = true; }

void ResultPrinter::Finish() {
    if (m_json && m_collect) fprintf(m_out, "%s\n", m_collected.dump(2).c_str());
    m_collect = false;
    m_collected = json::array();
}
