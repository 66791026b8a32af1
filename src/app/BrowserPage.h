#pragma once

#include <QWebEnginePage>

namespace velmora {

/// The page of the browser pane. It shows no dialogs of its own: script alerts, confirmations and
/// prompts, file choosers and certificate questions are answered silently, and script messages are
/// not written anywhere.
class BrowserPage : public QWebEnginePage {
    Q_OBJECT
public:
    BrowserPage(QWebEngineProfile* profile, QObject* parent);

protected:
    void javaScriptAlert(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& message, const QString& defaultValue,
                          QString* result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
                                  const QString& sourceId) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                            const QStringList& acceptedMimeTypes) override;
};

} // namespace velmora
