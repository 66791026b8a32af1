#include "app/ControlOperations.h"
#include "AppFixture.h"
#include "suites.h"

#include <QEventLoop>
#include <QLabel>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

#include <thread>
#include <vector>

namespace velmora::test {

namespace {

QString cell(const Shell& shell, int row, int column) {
    return shell.window->超级列表框2shop->model()->index(row, column).data().toString();
}

std::shared_ptr<CancelToken> cancelledToken() {
    auto token = std::make_shared<CancelToken>();
    token->cancel();
    return token;
}

} // namespace

class ControlOperationsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { shell_ = std::make_unique<Shell>(); }
    void cleanup() { shell_.reset(); }

    void tableOperationsFromWorkerTakeEffect() {
        std::vector<int> answers;
        runOnWorker([&] {
            ControlOperations operations(shell_->window->bridge());
            for (const char* number : {"1", "2", "3", "4"}) {
                answers.push_back(operations.appendRow(number));
            }
            answers.push_back(operations.rowCount());
            operations.clearRows();
            answers.push_back(operations.rowCount());
            answers.push_back(operations.appendRow("1"));
            operations.setCell(0, 1, "http://item.market.localhost/item.htm?id=7");
            operations.setCell(0, 2, gbk("连衣裙"));
            operations.setCell(0, 3, gbk("旺旺店"));
            operations.setCell(0, 4, "12");
            operations.setStatusText(gbk("第1页，共1条"));
        });
        QCOMPARE(answers, (std::vector<int>{0, 1, 2, 3, 4, 0, 0}));
        QCOMPARE(shell_->window->rowCount(), 1);
        const QStringList row{cell(*shell_, 0, 0), cell(*shell_, 0, 1), cell(*shell_, 0, 2),
                              cell(*shell_, 0, 3), cell(*shell_, 0, 4)};
        QCOMPARE(row, (QStringList{
                          QStringLiteral("1"), QStringLiteral("http://item.market.localhost/item.htm?id=7"),
                          QStringLiteral("连衣裙"), QStringLiteral("旺旺店"), QStringLiteral("12")}));
        QCOMPARE(shell_->find<QLabel>(QStringLiteral("标签"))->text(), QStringLiteral("第1页，共1条"));
    }

    void controlOperationsFromWorkerTakeEffect() {
        MainWindow& window = *shell_->window;
        window.编辑框_关键字->setText(QStringLiteral("连衣裙"));
        window.选择框1shop->setChecked(true);
        Text keyword, caption, log;
        bool tmallOnly = false;
        bool filtered = true;
        runOnWorker([&] {
            ControlOperations operations(window.bridge());
            keyword = operations.readText(&MainWindow::编辑框_关键字);
            tmallOnly = operations.isTicked(&MainWindow::选择框1shop);
            filtered = operations.isTicked(&MainWindow::选择框2shop);
            caption = operations.readCaption(&MainWindow::按钮_开始_结束);
            operations.setCaption(&MainWindow::按钮1, gbk("导出"));
            operations.setEnabled(&MainWindow::编辑框_高, false);
            operations.appendText(&MainWindow::编辑框2shop, gbk("第一行\r\n"));
            operations.appendText(&MainWindow::编辑框2shop, "second\r\n");
            log = operations.readText(&MainWindow::编辑框2shop);
            operations.setWindowWidth(1298);
            operations.setBrowserAddress("data:text/html,second");
        });
        QCOMPARE(keyword, gbk("连衣裙"));
        QVERIFY(tmallOnly);
        QVERIFY(!filtered);
        QCOMPARE(caption, gbk("采集"));
        QCOMPARE(window.按钮1->text(), QStringLiteral("导出"));
        QVERIFY(!window.编辑框_高->isEnabled());
        QCOMPARE(window.编辑框_高->text(), QString());
        QCOMPARE(log, gbk("第一行\r\nsecond\r\n"));
        QCOMPARE(window.frameGeometry().width(), 1298);
        QTRY_COMPARE_WITH_TIMEOUT(window.超文本浏览框1->url(), QUrl(QStringLiteral("data:text/html,second")),
                                  30000);
    }

    void setCellOutsideTheTableChangesNothing() {
        MainWindow& window = *shell_->window;
        window.appendRow(QStringLiteral("1"));
        runOnWorker([&] {
            ControlOperations operations(window.bridge());
            operations.setCell(1, 1, "x");
            operations.setCell(-1, 1, "x");
            operations.setCell(0, 5, "x");
        });
        QCOMPARE(window.rowCount(), 1);
        for (int column = 1; column < 5; ++column) {
            QCOMPARE(cell(*shell_, 0, column), QString());
        }
    }

    void callsOfCancelledRunAreDropped_data() {
        QTest::addColumn<bool>("fromWorker");
        QTest::newRow("worker thread") << true;
        QTest::newRow("UI thread") << false;
    }

    void callsOfCancelledRunAreDropped() {
        QFETCH(bool, fromWorker);
        MainWindow& window = *shell_->window;
        window.appendRow(QStringLiteral("1"));
        window.appendRow(QStringLiteral("2"));
        window.编辑框_关键字->setText(QStringLiteral("abc"));
        int appended = -1;
        int rows = -1;
        Text keyword = "unset";
        const auto body = [&] {
            ControlOperations operations(window.bridge(), cancelledToken());
            appended = operations.appendRow("3");
            rows = operations.rowCount();
            keyword = operations.readText(&MainWindow::编辑框_关键字);
            operations.clearRows();
            operations.setStatusText("late");
            operations.appendText(&MainWindow::编辑框2shop, "late");
            operations.setWindowWidth(1298);
        };
        if (fromWorker) {
            runOnWorker(body);
        } else {
            body();
        }
        QCoreApplication::processEvents();
        QCOMPARE(appended, 0);
        QCOMPARE(rows, 0);
        QCOMPARE(keyword, Text());
        QCOMPARE(window.rowCount(), 2);
        QCOMPARE(window.标签->text(), QString());
        QCOMPARE(shell_->logText(), QString());
        QCOMPARE(window.frameGeometry().width(), 539);
    }

    void callsAfterTheWindowIsGoneAreDropped() {
        const std::shared_ptr<WindowBridge> bridge = shell_->window->bridge();
        shell_.reset();
        int appended = -1;
        runOnWorker([&] {
            ControlOperations operations(bridge);
            appended = operations.appendRow("1");
            operations.setStatusText("late");
        });
        QCOMPARE(appended, 0);
    }

    void windowDestroyedWhileCallWaitsReleasesTheCaller() {
        const std::shared_ptr<WindowBridge> bridge = shell_->window->bridge();
        Flag calling;
        Flag returned;
        int appended = -1;
        std::thread worker([&] {
            ControlOperations operations(bridge);
            calling.raise();
            appended = operations.appendRow("1");
            returned.raise();
        });
        QVERIFY(calling.waitRaised());
        QVERIFY(waitForWaitingCaller(*bridge));
        // No event is processed here: the call is still queued when the window goes.
        shell_.reset();
        QVERIFY(returned.waitRaised());
        worker.join();
        QCOMPARE(appended, 0);
    }

    void messageBoxKeepsServingWorkerCalls() {
        MainWindow& window = *shell_->window;
        QStringList shown;
        int rowsWhileOpen = 0;
        MessageBox::setPresenter([&](const QString& caption, const QString& text) {
            shown << caption << text;
            // Stands in for the modal box: a nested loop that ends once the worker's row is in.
            QEventLoop loop;
            QTimer poll;
            connect(&poll, &QTimer::timeout, &loop, [&] {
                if (window.rowCount() > 0) {
                    loop.quit();
                }
            });
            poll.start(1);
            QTimer::singleShot(kPatience, &loop, &QEventLoop::quit);
            loop.exec();
            rowsWhileOpen = window.rowCount();
        });
        std::thread worker([&] {
            ControlOperations operations(window.bridge());
            operations.appendRow("1");
        });
        ControlOperations(window.bridge()).showMessage(gbk("关键字没有填写!"));
        worker.join();
        MessageBox::setPresenter({});
        QCOMPARE(shown, (QStringList{QStringLiteral("信息："), QStringLiteral("关键字没有填写!")}));
        QCOMPARE(rowsWhileOpen, 1);
    }

private:
    std::unique_ptr<Shell> shell_;
};

std::unique_ptr<QObject> makeControlOperationsTest() {
    return std::make_unique<ControlOperationsTest>();
}

} // namespace velmora::test

#include "ControlOperationsTest.moc"
