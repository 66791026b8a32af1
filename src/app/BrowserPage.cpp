#include "app/BrowserPage.h"

#include <QWebEngineCertificateError>
#include <QWebEngineSettings>

namespace velmora {

BrowserPage::BrowserPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {
    connect(this, &QWebEnginePage::certificateError, this,
            [](QWebEngineCertificateError error) { error.rejectCertificate(); });
    settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    // The medium text size: the engine's default font size at 100 % zoom.
    settings()->setFontSize(QWebEngineSettings::DefaultFontSize, 16);
    setZoomFactor(1.0);
}

void BrowserPage::javaScriptAlert(const QUrl&, const QString&) {}

bool BrowserPage::javaScriptConfirm(const QUrl&, const QString&) {
    return false;
}

bool BrowserPage::javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) {
    return false;
}

void BrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                           const QString&) {}

QStringList BrowserPage::chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) {
    return {};
}

} // namespace velmora
