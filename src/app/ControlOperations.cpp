#include "app/ControlOperations.h"

#include "app/MessageBox.h"
#include "app/qtText.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <utility>

namespace velmora {

ControlOperations::ControlOperations(std::shared_ptr<WindowBridge> bridge,
                                     std::shared_ptr<const CancelToken> token)
    : bridge_(std::move(bridge)), token_(std::move(token)) {}

void ControlOperations::call(const std::function<void(MainWindow&)>& operation) {
    bridge_->call(operation, token_);
}

Text ControlOperations::readText(QLineEdit* const MainWindow::*box) {
    QString text;
    call([&](MainWindow& window) { text = (window.*box)->text(); });
    return toText(text);
}

Text ControlOperations::readText(QPlainTextEdit* const MainWindow::*box) {
    QString text;
    call([&](MainWindow& window) { text = (window.*box)->toPlainText(); });
    return toText(text.replace(u'\n', QStringLiteral("\r\n")));
}

bool ControlOperations::isTicked(QCheckBox* const MainWindow::*box) {
    bool ticked = false;
    call([&](MainWindow& window) { ticked = (window.*box)->isChecked(); });
    return ticked;
}

Text ControlOperations::readCaption(QPushButton* const MainWindow::*button) {
    QString caption;
    call([&](MainWindow& window) { caption = (window.*button)->text(); });
    return toText(caption);
}

void ControlOperations::setCaption(QPushButton* const MainWindow::*button, const Text& caption) {
    const QString converted = toQString(caption);
    call([&](MainWindow& window) { (window.*button)->setText(converted); });
}

void ControlOperations::appendText(QPlainTextEdit* const MainWindow::*box, const Text& text) {
    const QString converted = toQString(text);
    call([&](MainWindow& window) { MainWindow::appendText(*(window.*box), converted); });
}

void ControlOperations::showMessage(const Text& text) {
    const QString converted = toQString(text);
    call([&](MainWindow&) { MessageBox::show(QStringLiteral("信息："), converted); });
}

void ControlOperations::clearRows() {
    call([](MainWindow& window) { window.clearRows(); });
}

int ControlOperations::rowCount() {
    int rows = 0;
    call([&](MainWindow& window) { rows = window.rowCount(); });
    return rows;
}

int ControlOperations::appendRow(const Text& number) {
    const QString converted = toQString(number);
    int row = 0;
    call([&](MainWindow& window) { row = window.appendRow(converted); });
    return row;
}

void ControlOperations::setCell(int row, int column, const Text& text) {
    const QString converted = toQString(text);
    call([&](MainWindow& window) { window.setCell(row, column, converted); });
}

void ControlOperations::setStatusText(const Text& text) {
    const QString converted = toQString(text);
    call([&](MainWindow& window) { window.setStatusText(converted); });
}

void ControlOperations::setBrowserAddress(const Text& address) {
    const QString converted = toQString(address);
    call([&](MainWindow& window) { window.setBrowserAddress(converted); });
}

void ControlOperations::setWindowWidth(int width) {
    call([width](MainWindow& window) { window.setWindowWidth(width); });
}

} // namespace velmora
