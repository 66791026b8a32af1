#include "app/WindowRunView.h"

#include "app/activityLog.h"

#include <utility>

namespace velmora {

WindowRunView::WindowRunView(std::shared_ptr<WindowBridge> bridge, std::shared_ptr<const CancelToken> token)
    : operations_(std::move(bridge), std::move(token)) {}

void WindowRunView::clearRows() {
    operations_.clearRows();
}

int WindowRunView::rowCount() {
    return operations_.rowCount();
}

int WindowRunView::appendRow(const Text& number) {
    return operations_.appendRow(number);
}

void WindowRunView::setCell(int row, int column, const Text& text) {
    operations_.setCell(row, column, text);
}

void WindowRunView::setStatusText(const Text& text) {
    operations_.setStatusText(text);
}

void WindowRunView::setBrowserAddress(const Text& address) {
    operations_.setBrowserAddress(address);
}

void WindowRunView::setWindowWidth(int width) {
    operations_.setWindowWidth(width);
}

void WindowRunView::log(const Text& message) {
    logMessage(operations_, message);
}

} // namespace velmora
