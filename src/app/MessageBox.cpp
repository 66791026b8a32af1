#include "app/MessageBox.h"

#include <QMessageBox>

#include <utility>

namespace velmora {

namespace {

MessageBox::Presenter& presenter() {
    static MessageBox::Presenter current;
    return current;
}

} // namespace

void MessageBox::show(const QString& caption, const QString& text) {
    if (presenter()) {
        presenter()(caption, text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void MessageBox::setPresenter(Presenter replacement) {
    presenter() = std::move(replacement);
}

} // namespace velmora
