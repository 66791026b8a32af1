// Draws the window as it stands at start into a PNG file: velmora_screenshot <file.png>.
// The browser pane gets a blank page, so nothing leaves the machine.
#include "app/MainWindow.h"
#include "app/RunControl.h"
#include "app/WorkerEntries.h"
#include "app/browserEngine.h"

#include <QApplication>
#include <QPixmap>
#include <QTest>

#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
    using namespace velmora;
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmora_screenshot <file.png>\n");
        return 2;
    }
    prepareBrowserEngine();
    QApplication application(argc, argv);
    auto settings = std::make_shared<RunSettings>();
    MainWindow window(QStringLiteral("about:blank"));
    RunControl runControl(window, settings, collectorEntries());
    window.showCentred();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "the window was not shown\n");
        return 1;
    }
    QTest::qWait(500);
    if (!window.grab().save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
