#include "app/CookieBridge.h"
#include "app/MainWindow.h"
#include "app/RunControl.h"
#include "app/WorkerEntries.h"
#include "app/browserEngine.h"
#include "app/qtText.h"
#include "collectors/Endpoints.h"
#include "http/CookieStore.h"

#include <QApplication>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>

namespace {

// The one option, --market-domain D, points every endpoint at a marketplace simulator under D.
std::optional<velmora::Endpoints> endpointsFromArguments(int argc, char* argv[]) {
    if (argc == 1) {
        return velmora::Endpoints::marketplace();
    }
    if (argc == 3 && std::string_view(argv[1]) == "--market-domain" && argv[2][0] != '\0') {
        return velmora::Endpoints::simulator(argv[2]);
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[]) {
    using namespace velmora;

    const std::optional<Endpoints> endpoints = endpointsFromArguments(argc, argv);
    if (!endpoints) {
        std::fputs("usage: velmora [--market-domain D]\n", stderr);
        return 2;
    }

    prepareBrowserEngine();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));

    // The settings exist before the window and outlive every worker that reads them.
    auto settings = std::make_shared<RunSettings>();
    MainWindow window(toQString(endpoints->signInAddress()));
    CookieBridge cookieBridge(*window.超文本浏览框1->page()->profile()->cookieStore(), CookieStore::shared());
    RunControl runControl(window, settings, collectorEntries(*endpoints));
    window.showCentred();

    const int exitCode = QApplication::exec();

    // Closing the window ended the run; its worker returns as soon as it next looks at the token.
    // Should one not have returned by then, the process ends without waiting any longer for it.
    if (!runControl.shutdown(std::chrono::seconds(2))) {
        std::fflush(nullptr);
        std::_Exit(exitCode);
    }
    return exitCode;
}
