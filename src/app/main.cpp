#include "app/MainWindow.h"
#include "app/RunControl.h"
#include "app/WorkerEntries.h"
#include "app/browserEngine.h"
#include "app/qtText.h"
#include "collectors/Endpoints.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

int main(int argc, char* argv[]) {
    using namespace velmora;

    prepareBrowserEngine();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));

    // The settings exist before the window and outlive every worker that reads them.
    auto settings = std::make_shared<RunSettings>();
    MainWindow window(toQString(Endpoints::marketplace().signInAddress()));
    RunControl runControl(window, settings, collectorEntries());
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
