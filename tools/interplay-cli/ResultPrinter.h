// Prints command results: readable tables by default, JSON for scripts.
#ifndef INTERPLAY_CLI_RESULT_PRINTER_H
#define INTERPLAY_CLI_RESULT_PRINTER_H

#include <stdio.h>

#include <string>

#include "InterplayClient.h"

class ResultPrinter {
public:
    ResultPrinter(bool json, FILE* out) : m_json(json), m_out(out) {}

    // One command's result; failures go to stderr in text mode.
    void Print(const std::string& command, const Result& result);
    // A heading line in text mode (the demo's steps); nothing in JSON mode.
    void Heading(const std::string& text);
    // In JSON mode, collects results into one array printed by Finish.
    void BeginArray();
    void Finish();

    // Renders rows of objects as an aligned table (CJK aware).
    static std::string Table(const nlohmann::ordered_json& rows);

private:
    bool m_json;
    FILE* m_out;
    bool m_collect = false;
    nlohmann::ordered_json m_collected = nlohmann::ordered_json::array();
};

#endif // INTERPLAY_CLI_RESULT_PRINTER_H
