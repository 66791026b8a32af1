#include "AppFixture.h"

#include <QAbstractItemModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velmora::test {

Shell::Shell(WorkerEntries entries)
    : settings(std::make_shared<RunSettings>()),
      window(std::make_unique<MainWindow>(QStringLiteral("about:blank"))),
      runControl(std::make_unique<RunControl>(*window, settings, std::move(entries))) {
    window->showCentred();
}

Shell::~Shell() {
    runControl.reset();
    window.reset();
}

void Shell::pressStartStop() const {
    QTest::mouseClick(window->按钮_开始_结束, Qt::LeftButton);
}

QString Shell::caption() const {
    return window->按钮_开始_结束->text();
}

QString Shell::logText() const {
    return window->编辑框2shop->toPlainText();
}

Screen screenOf(const MainWindow& window) {
    Screen screen;
    const QAbstractItemModel& table = *window.超级列表框2shop->model();
    screen.rows = window.rowCount();
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < table.columnCount(); ++column) {
            screen.cells << table.index(row, column).data().toString();
        }
    }
    screen.status = window.标签->text();
    screen.log = window.编辑框2shop->toPlainText();
    screen.width = window.frameGeometry().width();
    screen.servedCalls = window.bridge()->servedCalls();
    return screen;
}

QString screenChange(const Screen& before, const Screen& after) {
    if (before.rows != after.rows) {
        return QStringLiteral("rows %1 became %2").arg(before.rows).arg(after.rows);
    }
    if (before.cells != after.cells) {
        return QStringLiteral("a cell changed");
    }
    if (before.status != after.status) {
        return QStringLiteral("status \"%1\" became \"%2\"").arg(before.status, after.status);
    }
    if (before.log != after.log) {
        return QStringLiteral("the log grew: \"%1\"").arg(after.log.mid(before.log.size()));
    }
    if (before.width != after.width) {
        return QStringLiteral("width %1 became %2").arg(before.width).arg(after.width);
    }
    if (before.servedCalls != after.servedCalls) {
        return QStringLiteral("the window carried out %1 more calls")
            .arg(after.servedCalls - before.servedCalls);
    }
    return {};
}

MessageRecorder::MessageRecorder() {
    MessageBox::setPresenter([this](const QString& caption, const QString& text) {
        captions << caption;
        texts << text;
    });
}

MessageRecorder::~MessageRecorder() {
    MessageBox::setPresenter({});
}

void Flag::raise() {
    {
        std::lock_guard lock(mutex_);
        raised_ = true;
    }
    changed_.notify_all();
}

bool Flag::isRaised() const {
    std::lock_guard lock(mutex_);
    return raised_;
}

bool Flag::waitRaised(std::chrono::milliseconds bound) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, bound, [this] { return raised_; });
}

bool waitForWaitingCaller(const WindowBridge& bridge, std::chrono::milliseconds bound) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (bridge.waitingCallers() == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void runOnWorker(const std::function<void()>& body) {
    Flag done;
    std::thread worker([&] {
        body();
        done.raise();
    });
    while (!done.isRaised()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    worker.join();
}

SilentServer::SilentServer() : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    // The kernel completes the handshakes into the backlog; nothing here ever reads or answers.
    if (::bind(socket_, reinterpret_cast<sockaddr*>(&address), length) == 0 && ::listen(socket_, 16) == 0 &&
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port_ = ntohs(address.sin_port);
    }
}

bool SilentServer::waitForConnection(std::chrono::milliseconds bound) const {
    // A connection waiting in the backlog makes the listening socket readable.
    pollfd listening{socket_, POLLIN, 0};
    return ::poll(&listening, 1, static_cast<int>(bound.count())) == 1;
}

SilentServer::~SilentServer() {
    if (socket_ >= 0) {
        ::close(socket_);
    }
}

} // namespace velmora::test
