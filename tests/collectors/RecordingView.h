#pragma once

#include "collectors/RunView.h"
#include "text/codePages.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace velmora::test {

/// Code page 936 text as UTF-8, for readable expectations.
inline std::string utf8(const Text& text) {
    return wideToText(textToWide(text, kCodePageGbk), kCodePageUtf8);
}

/// UTF-8 as code page 936 text.
inline Text gbk(const std::string& text) {
    return utf8ToAnsi(text);
}

/// A window stand-in that keeps the table and records every call, in UTF-8, as
/// "clearRows", "appendRow 1", "setCell 0 1 http:...", "status ...", "browser ...", "width 1298", "log ...".
class RecordingView : public RunView {
public:
    using Row = std::array<std::string, 5>;

    std::vector<std::string> calls;
    std::vector<Row> rows;
    /// Called after each recorded call, with the call's record.
    std::function<void(const std::string&)> onCall;

    void clearRows() override {
        rows.clear();
        record("clearRows");
    }
    int rowCount() override { return int(rows.size()); }
    int appendRow(const Text& number) override {
        rows.push_back({utf8(number), "", "", "", ""});
        record("appendRow " + utf8(number));
        return int(rows.size()) - 1;
    }
    void setCell(int row, int column, const Text& text) override {
        rows.at(row).at(column) = utf8(text);
        record("setCell " + std::to_string(row) + " " + std::to_string(column) + " " + utf8(text));
    }
    void setStatusText(const Text& text) override { record("status " + utf8(text)); }
    void setBrowserAddress(const Text& address) override { record("browser " + utf8(address)); }
    void setWindowWidth(int width) override { record("width " + std::to_string(width)); }
    void log(const Text& message) override { record("log " + utf8(message)); }

    /// The recorded calls that begin with `prefix`, in order.
    std::vector<std::string> callsStartingWith(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const auto& call : calls) {
            if (call.rfind(prefix, 0) == 0) {
                found.push_back(call);
            }
        }
        return found;
    }

private:
    void record(std::string call) {
        calls.push_back(std::move(call));
        if (onCall) {
            onCall(calls.back());
        }
    }
};

} // namespace velmora::test
