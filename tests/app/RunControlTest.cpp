#include "AppFixture.h"
#include "http/CancelToken.h"
#include "http/httpFetch.h"
#include "suites.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

#include <atomic>
#include <semaphore>
#include <string>
#include <vector>

namespace velmora::test {

namespace {

// How a test worker is held up when the stop or the close comes.
enum class Hold { UiCall, TokenWait, StalledRequest };

/// What the test workers report.
struct Probe {
    Flag started;
    Flag finished;
    std::atomic<int> keywordRuns{0};
    std::atomic<int> shopRuns{0};
    std::atomic<bool> boundToken{false};
    std::atomic<bool> sawCancel{false};
    std::atomic<int> lateRow{-1};
    std::atomic<int> lateCount{-1};
};

/// After the hold, tries every kind of output; a stopped run must get none of it on screen.
void tryLateOutput(RunView& view, Probe& probe) {
    probe.lateRow = view.appendRow("9");
    view.setCell(0, 1, "late");
    view.setStatusText("late");
    view.log("late");
    view.setWindowWidth(1298);
    probe.lateCount = view.rowCount();
}

/// A worker held up in one of the ways a collector waits: for the window, on its pause, or in a
/// request to `silentPort`, which never answers.
WorkerEntry holdingWorker(Probe& probe, Hold hold, int silentPort = 0) {
    return [&probe, hold, silentPort](RunView& view, const RunSettings&) {
        probe.boundToken = currentCancelToken() != nullptr;
        probe.started.raise();
        switch (hold) {
        case Hold::UiCall:
            // The UI thread is not serving now, so this waits until the stop releases it.
            view.appendRow("1");
            break;
        case Hold::TokenWait:
            currentCancelToken()->waitFor(std::chrono::hours(1));
            break;
        case Hold::StalledRequest:
            httpFetch("http://127.0.0.1:" + std::to_string(silentPort) + "/search?q=a");
            break;
        }
        probe.sawCancel = currentCancelToken()->isCancelled();
        tryLateOutput(view, probe);
        probe.finished.raise();
    };
}

WorkerEntries countingEntries(Probe& probe) {
    return {[&probe](RunView&, const RunSettings&) {
                ++probe.keywordRuns;
                probe.finished.raise();
            },
            [&probe](RunView&, const RunSettings&) {
                ++probe.shopRuns;
                probe.finished.raise();
            }};
}

void fillInputs(const Shell& shell, const QString& keyword, const QString& low, const QString& high) {
    shell.window->编辑框_关键字->setText(keyword);
    shell.window->编辑框_低->setText(low);
    shell.window->编辑框_高->setText(high);
}

bool boxesEnabled(const Shell& shell) {
    MainWindow& window = *shell.window;
    const bool keyword = window.编辑框_关键字->isEnabled();
    if (keyword != window.编辑框_低->isEnabled() || keyword != window.编辑框_高->isEnabled()) {
        qWarning("the keyword and price boxes disagree");
    }
    return keyword && window.编辑框_低->isEnabled() && window.编辑框_高->isEnabled();
}

const QRegularExpression kLogLine(QStringLiteral(
    R"(^(Sun|Mon|Tue|Wen|Thu|Fri|Sat), \d{1,2}-(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)-\d{4} \d{1,2}:\d{1,2}:\d{1,2} GMT===>>>)"));

} // namespace

class RunControlTest : public QObject {
    Q_OBJECT

private slots:
    void pressChecksTheInputs_data() {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("low");
        QTest::addColumn<QString>("high");
        QTest::addColumn<QString>("message");
        const QString noKeyword = QStringLiteral("关键字没有填写!");
        const QString badRange = QStringLiteral("价格区间填写错误!");
        QTest::newRow("empty keyword") << ""
                                       << ""
                                       << "" << noKeyword;
        QTest::newRow("empty keyword before a bad range") << ""
                                                          << "10"
                                                          << "" << noKeyword;
        QTest::newRow("single space keyword") << " "
                                              << ""
                                              << ""
                                              << "";
        QTest::newRow("lower price with empty upper") << "abc"
                                                      << "10"
                                                      << "" << badRange;
        QTest::newRow("lower above upper") << "abc"
                                           << "51"
                                           << "50" << badRange;
        QTest::newRow("equal bounds") << "abc"
                                      << "50"
                                      << "50"
                                      << "";
        QTest::newRow("both zero") << "abc"
                                   << "0"
                                   << "0"
                                   << "";
        QTest::newRow("negative lower bound") << "abc"
                                              << "-5"
                                              << ""
                                              << "";
        QTest::newRow("not numbers read as zero") << "abc"
                                                  << "-"
                                                  << "-"
                                                  << "";
    }

    void pressChecksTheInputs() {
        QFETCH(QString, keyword);
        QFETCH(QString, low);
        QFETCH(QString, high);
        QFETCH(QString, message);
        Probe probe;
        Shell shell(countingEntries(probe));
        MessageRecorder messages;
        fillInputs(shell, keyword, low, high);
        shell.window->选择框2shop->setChecked(true);
        shell.window->编辑框_过滤词->setText(QStringLiteral("包邮"));

        shell.pressStartStop();

        // The filter settings are taken on every press, a refused one included.
        QVERIFY(shell.settings->filterEnabled());
        QCOMPARE(shell.settings->filterWord(), gbk("包邮"));
        if (message.isEmpty()) {
            QVERIFY(messages.texts.isEmpty());
            QCOMPARE(shell.caption(), QStringLiteral("停止"));
            QVERIFY(probe.finished.waitRaised());
            QCOMPARE(probe.keywordRuns.load(), 1);
        } else {
            QCOMPARE(messages.texts, QStringList{message});
            QCOMPARE(messages.captions, QStringList{QStringLiteral("信息：")});
            QCOMPARE(shell.caption(), QStringLiteral("采集"));
            QVERIFY(boxesEnabled(shell));
            QCOMPARE(shell.logText(), QString());
            QCOMPARE(shell.settings->keyword(), Text());
            QCOMPARE(probe.keywordRuns.load() + probe.shopRuns.load(), 0);
        }
    }

    void startFillsTheSearchSettings_data() {
        QTest::addColumn<QString>("low");
        QTest::addColumn<QString>("high");
        QTest::addColumn<bool>("tmallOnly");
        QTest::addColumn<QString>("pages");
        QTest::addColumn<QString>("querySuffix");
        QTest::addColumn<int>("pageLimit");
        QTest::newRow("price range") << "10"
                                     << "50" << false << "10"
                                     << "&filter=reserve_price%5B10%2C50%5D&tab=all" << 10;
        QTest::newRow("tmall only") << ""
                                    << "" << true << "10"
                                    << "&tab=mall" << 10;
        QTest::newRow("upper bound only") << ""
                                          << "100" << false << "10"
                                          << "&filter=reserve_price%5B%2C100%5D&tab=all" << 10;
        QTest::newRow("equal bounds") << "50"
                                      << "50" << false << "10"
                                      << "&filter=reserve_price%5B50%2C50%5D&tab=all" << 10;
        QTest::newRow("zero bounds") << "0"
                                     << "0" << false << "10"
                                     << "&tab=all" << 10;
        QTest::newRow("bounds as typed") << "-0"
                                         << "007" << true << "3"
                                         << "&filter=reserve_price%5B-0%2C007%5D&tab=mall" << 3;
        QTest::newRow("empty page box") << ""
                                        << "" << false << ""
                                        << "&tab=all" << 0;
        QTest::newRow("letters in page box") << ""
                                             << "" << false << "abc"
                                             << "&tab=all" << 0;
    }

    void startFillsTheSearchSettings() {
        QFETCH(QString, low);
        QFETCH(QString, high);
        QFETCH(bool, tmallOnly);
        QFETCH(QString, pages);
        QFETCH(QString, querySuffix);
        QFETCH(int, pageLimit);
        Probe probe;
        Shell shell(countingEntries(probe));
        fillInputs(shell, QStringLiteral("连衣裙"), low, high);
        shell.window->选择框1shop->setChecked(tmallOnly);
        shell.window->编辑框1页数->setText(pages);

        shell.pressStartStop();

        QCOMPARE(shell.settings->querySuffix(), querySuffix.toStdString());
        QCOMPARE(shell.settings->pageLimit(), pageLimit);
        QCOMPARE(shell.settings->keyword(), gbk("连衣裙"));
    }

    void keywordChoosesTheMode_data() {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<bool>("shopMode");
        QTest::newRow("plain keyword") << QStringLiteral("连衣裙") << false;
        QTest::newRow("capital scheme") << QStringLiteral("HTTPS://shop1.market.localhost/") << false;
        QTest::newRow("shop address") << QStringLiteral("https://shop1.market.localhost/") << true;
        QTest::newRow("http in the middle") << QStringLiteral("abchttpdef") << true;
    }

    void keywordChoosesTheMode() {
        QFETCH(QString, keyword);
        QFETCH(bool, shopMode);
        Probe probe;
        Shell shell(countingEntries(probe));
        fillInputs(shell, keyword, {}, {});

        shell.pressStartStop();

        QVERIFY(probe.finished.waitRaised());
        QCOMPARE(probe.shopRuns.load(), shopMode ? 1 : 0);
        QCOMPARE(probe.keywordRuns.load(), shopMode ? 0 : 1);
        const QString message =
            shopMode ? QStringLiteral("搜索店铺开始！") : QStringLiteral("搜索关键词开始！");
        const QString log = shell.logText();
        QVERIFY2(kLogLine.match(log).hasMatch(), qPrintable(log));
        QVERIFY2(log.endsWith(QStringLiteral("===>>>") + message + u'\n'), qPrintable(log));
        QCOMPARE(log.count(u'\n'), 1);
    }

    void stopEndsTheRunAndUnlocksTheBoxes() {
        Probe probe;
        Shell shell({holdingWorker(probe, Hold::TokenWait), {}});
        fillInputs(shell, QStringLiteral("连衣裙"), QStringLiteral("1"), QStringLiteral("2"));

        shell.pressStartStop();
        QVERIFY(probe.started.waitRaised());
        QCOMPARE(shell.caption(), QStringLiteral("停止"));
        QVERIFY(!shell.window->编辑框_关键字->isEnabled());
        QVERIFY(!shell.window->编辑框_低->isEnabled());
        QVERIFY(!shell.window->编辑框_高->isEnabled());
        QVERIFY(shell.window->编辑框1页数->isEnabled());
        QVERIFY(shell.window->单选框2->isEnabled());
        QVERIFY(probe.boundToken.load());
        const QString startLog = shell.logText();

        shell.pressStartStop();
        QCOMPARE(shell.caption(), QStringLiteral("采集"));
        QVERIFY(boxesEnabled(shell));
        QCOMPARE(shell.window->编辑框_关键字->text(), QStringLiteral("连衣裙"));
        QVERIFY(probe.finished.waitRaised());
        QVERIFY(probe.sawCancel.load());
        QCoreApplication::processEvents();
        QCOMPARE(shell.logText(), startLog);
    }

    void finishedRunKeepsStopUntilPressed() {
        Probe probe;
        Shell shell(countingEntries(probe));
        fillInputs(shell, QStringLiteral("连衣裙"), {}, {});

        shell.pressStartStop();
        QVERIFY(probe.finished.waitRaised());
        QTest::qWait(20);
        QCOMPARE(shell.caption(), QStringLiteral("停止"));
        QVERIFY(!shell.window->编辑框_关键字->isEnabled());
        const QString log = shell.logText();

        MessageRecorder messages;
        shell.pressStartStop();
        QCOMPARE(shell.caption(), QStringLiteral("采集"));
        QVERIFY(boxesEnabled(shell));
        QVERIFY(messages.texts.isEmpty());
        QCOMPARE(shell.logText(), log);
        QCOMPARE(probe.keywordRuns.load(), 1);
    }

    void sortClicksReachTheRunningWorker() {
        // The worker reads the sort order once per page, each page when the test lets it.
        std::binary_semaphore nextPage(0);
        std::binary_semaphore pageRead(0);
        std::vector<Text> sorts;
        Shell shell({[&](RunView&, const RunSettings& settings) {
                         for (int page = 0; page < 3; ++page) {
                             while (!nextPage.try_acquire_for(std::chrono::milliseconds(10))) {
                                 if (currentCancelToken()->isCancelled()) {
                                     return;
                                 }
                             }
                             sorts.push_back(settings.sortSuffix());
                             pageRead.release();
                         }
                     },
                     {}});
        fillInputs(shell, QStringLiteral("连衣裙"), {}, {});
        shell.pressStartStop();

        QRadioButton* const clicks[] = {nullptr, shell.window->单选框2, shell.window->单选框1};
        for (QRadioButton* click : clicks) {
            if (click != nullptr) {
                QVERIFY(click->isEnabled());
                QTest::mouseClick(click, Qt::LeftButton);
            }
            nextPage.release();
            QVERIFY(pageRead.try_acquire_for(kPatience));
        }
        QCOMPARE(sorts, (std::vector<Text>{"", "&sort=sale-desc", ""}));
    }

    void filterSettingsChangeOnlyAtAPress() {
        Probe probe;
        Shell shell({holdingWorker(probe, Hold::TokenWait), {}});
        fillInputs(shell, QStringLiteral("连衣裙"), {}, {});
        shell.pressStartStop();
        QVERIFY(probe.started.waitRaised());

        QTest::mouseClick(shell.window->选择框2shop, Qt::LeftButton);
        shell.window->编辑框_过滤词->setText(QStringLiteral("包邮"));
        QVERIFY(!shell.settings->filterEnabled());
        QCOMPARE(shell.settings->filterWord(), Text("taobao"));

        shell.pressStartStop();
        QVERIFY(shell.settings->filterEnabled());
        QCOMPARE(shell.settings->filterWord(), gbk("包邮"));
    }

    void stopDropsEverythingTheRunAsksForLater_data() {
        QTest::addColumn<int>("hold");
        QTest::newRow("worker waits for a UI call") << int(Hold::UiCall);
        QTest::newRow("worker waits on its token") << int(Hold::TokenWait);
        QTest::newRow("worker in a stalled request") << int(Hold::StalledRequest);
    }

    void stopDropsEverythingTheRunAsksForLater() {
        QFETCH(int, hold);
        Probe probe;
        SilentServer server;
        Shell shell({holdingWorker(probe, static_cast<Hold>(hold), server.port()), {}});
        fillInputs(shell, QStringLiteral("连衣裙"), {}, {});
        shell.pressStartStop();
        QVERIFY(probe.started.waitRaised());
        if (hold == int(Hold::UiCall)) {
            QVERIFY(waitForWaitingCaller(*shell.window->bridge()));
        }
        if (hold == int(Hold::StalledRequest)) {
            QVERIFY(server.waitForConnection());
        }

        // click() runs the handler at once, without serving the worker's waiting call first.
        shell.window->按钮_开始_结束->click();
        const Screen atStop = screenOf(*shell.window);
        QCOMPARE(shell.caption(), QStringLiteral("采集"));

        // The worker returns without the UI thread doing anything for it.
        QVERIFY(probe.finished.waitRaised());
        QTest::qWait(20);
        const QString change = screenChange(atStop, screenOf(*shell.window));
        QVERIFY2(change.isEmpty(), qPrintable(change));
        QCOMPARE(probe.lateRow.load(), 0);
        QCOMPARE(probe.lateCount.load(), 0);
    }

    void newRunDoesNotWaitForTheOldWorker() {
        Flag releaseFirst;
        Flag secondDone;
        std::atomic<int> firstLateRow{-1};
        // The keyword run is deaf to the stop until the test lets it go; the shop run follows it.
        Shell shell({[&](RunView& view, const RunSettings&) {
                         releaseFirst.waitRaised();
                         firstLateRow = view.appendRow("late");
                     },
                     [&](RunView& view, const RunSettings&) {
                         view.appendRow("1");
                         secondDone.raise();
                     }});
        fillInputs(shell, QStringLiteral("连衣裙"), {}, {});
        shell.pressStartStop();
        shell.pressStartStop();
        shell.window->编辑框_关键字->setText(QStringLiteral("http://shop1.market.localhost/"));
        shell.pressStartStop();

        QTRY_VERIFY_WITH_TIMEOUT(secondDone.isRaised(), 10000);
        releaseFirst.raise();
        QVERIFY(shell.runControl->shutdown(kPatience));
        QCOMPARE(firstLateRow.load(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(shell.window->rowCount(), 1);
    }

    void closingDuringRunEndsIt_data() {
        QTest::addColumn<int>("hold");
        QTest::newRow("worker waits for a UI call") << int(Hold::UiCall);
        QTest::newRow("worker waits on its token") << int(Hold::TokenWait);
        QTest::newRow("worker in a stalled request") << int(Hold::StalledRequest);
    }

    void closingDuringRunEndsIt() {
        QFETCH(int, hold);
        Probe probe;
        SilentServer server;
        Shell shell({holdingWorker(probe, static_cast<Hold>(hold), server.port()), {}});
        shell.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(shell.window.get()));
        fillInputs(shell, QStringLiteral("连衣裙"), {}, {});
        shell.pressStartStop();
        QVERIFY(probe.started.waitRaised());
        if (hold == int(Hold::UiCall)) {
            QVERIFY(waitForWaitingCaller(*shell.window->bridge()));
        }
        if (hold == int(Hold::StalledRequest)) {
            QVERIFY(server.waitForConnection());
        }

        QTest::keyClick(shell.window->按钮_开始_结束, Qt::Key_Escape);
        QVERIFY(!shell.window->isVisible());
        const Screen atClose = screenOf(*shell.window);

        QVERIFY(probe.finished.waitRaised());
        QVERIFY(shell.runControl->shutdown(kPatience));
        QCoreApplication::processEvents();
        const QString change = screenChange(atClose, screenOf(*shell.window));
        QVERIFY2(change.isEmpty(), qPrintable(change));
    }
};

std::unique_ptr<QObject> makeRunControlTest() {
    return std::make_unique<RunControlTest>();
}

} // namespace velmora::test

#include "RunControlTest.moc"
