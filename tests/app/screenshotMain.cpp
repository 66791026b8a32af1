// Draws the window into PNG files: velmora_screenshot <start.png> [<finished-run.png>].
// The first picture is the window at start; the second, when asked for, the window after a whole
// keyword run against the marketplace simulator on loopback. The browser pane gets a blank page,
// so nothing leaves the machine.
#include "app/MainWindow.h"
#include "app/RunControl.h"
#include "app/WorkerEntries.h"
#include "app/browserEngine.h"
#include "market/MarketServer.h"

#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <cstdio>
#include <memory>

namespace {

bool save(QWidget& window, const char* path) {
    if (!window.grab().save(QString::fromLocal8Bit(path), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", path);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    using namespace velmora;
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: velmora_screenshot <start.png> [<finished-run.png>]\n");
        return 2;
    }
    market::MarketServer simulator;
    if (argc == 3 && !simulator.start()) {
        std::fprintf(stderr, "the marketplace simulator did not start\n");
        return 1;
    }
    const Endpoints endpoints = Endpoints::simulator(simulator.domain());

    prepareBrowserEngine();
    QApplication application(argc, argv);
    auto settings = std::make_shared<RunSettings>();
    MainWindow window(QStringLiteral("about:blank"));
    RunControl runControl(window, settings, collectorEntries(endpoints));
    window.showCentred();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "the window was not shown\n");
        return 1;
    }
    QTest::qWait(500);
    if (!save(window, argv[1])) {
        return 1;
    }
    if (argc == 2) {
        return 0;
    }

    window.编辑框_关键字->setText(QStringLiteral("pages2 连衣裙"));
    window.编辑框1页数->setText(QStringLiteral("2"));
    window.按钮_开始_结束->click();
    const bool finished = QTest::qWaitFor(
        [&] { return window.编辑框2shop->toPlainText().contains(QStringLiteral("采集完毕")); }, 60'000);
    runControl.shutdown(std::chrono::seconds(2));
    if (!finished) {
        std::fprintf(stderr, "the run did not finish\n");
        return 1;
    }
    QTest::qWait(300);
    return save(window, argv[2]) ? 0 : 1;
}
