#include "app/activityLog.h"
#include "AppFixture.h"
#include "app/ControlOperations.h"
#include "app/WindowRunView.h"
#include "app/qtText.h"
#include "collectors/logLine.h"
#include "suites.h"

#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTextCursor>

namespace velmora::test {

namespace {

const QRegularExpression kStamp(QStringLiteral(
    R"(^(Sun|Mon|Tue|Wen|Thu|Fri|Sat), \d{1,2}-(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)-\d{4} \d{1,2}:\d{1,2}:\d{1,2} GMT===>>>)"));

} // namespace

class ActivityLogTest : public QObject {
    Q_OBJECT

private slots:
    void stampIsWrittenWithoutLeadingZeros_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<int>("second");
        QTest::addColumn<int>("dayOfWeek");
        QTest::addColumn<QString>("stamp");
        QTest::newRow("wednesday morning")
            << 2016 << 3 << 9 << 8 << 5 << 3 << 4 << "Wen, 9-Mar-2016 8:5:3 GMT";
        QTest::newRow("first of the month")
            << 2016 << 1 << 1 << 9 << 5 << 0 << 6 << "Fri, 1-Jan-2016 9:5:0 GMT";
        QTest::newRow("midnight") << 2017 << 2 << 28 << 0 << 0 << 0 << 3 << "Tue, 28-Feb-2017 0:0:0 GMT";
        QTest::newRow("sunday in april")
            << 2018 << 4 << 1 << 23 << 59 << 59 << 1 << "Sun, 1-Apr-2018 23:59:59 GMT";
        QTest::newRow("may") << 2019 << 5 << 13 << 12 << 30 << 45 << 2 << "Mon, 13-May-2019 12:30:45 GMT";
        QTest::newRow("june") << 2020 << 6 << 4 << 1 << 2 << 3 << 5 << "Thu, 4-Jun-2020 1:2:3 GMT";
        QTest::newRow("july") << 2021 << 7 << 10 << 10 << 10 << 10 << 7 << "Sat, 10-Jul-2021 10:10:10 GMT";
        QTest::newRow("august") << 2022 << 8 << 31 << 7 << 0 << 9 << 4 << "Wen, 31-Aug-2022 7:0:9 GMT";
        QTest::newRow("september") << 2023 << 9 << 15 << 18 << 8 << 1 << 6 << "Fri, 15-Sep-2023 18:8:1 GMT";
        QTest::newRow("october") << 2024 << 10 << 20 << 6 << 6 << 6 << 1 << "Sun, 20-Oct-2024 6:6:6 GMT";
        QTest::newRow("november") << 2025 << 11 << 11 << 11 << 11 << 11 << 3
                                  << "Tue, 11-Nov-2025 11:11:11 GMT";
        QTest::newRow("december") << 2026 << 12 << 24 << 20 << 0 << 0 << 5 << "Thu, 24-Dec-2026 20:0:0 GMT";
    }

    void stampIsWrittenWithoutLeadingZeros() {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, day);
        QFETCH(int, hour);
        QFETCH(int, minute);
        QFETCH(int, second);
        QFETCH(int, dayOfWeek);
        QFETCH(QString, stamp);
        const LocalDateTime moment{year, month, day, hour, minute, second, dayOfWeek};
        QCOMPARE(timeStamp(moment), stamp.toStdString());
    }

    void lineIsStampMarkerMessageAndLineEnd_data() {
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("empty message") << QByteArray();
        QTest::newRow("chinese message") << QByteArray::fromStdString(gbk("搜索关键词开始！"));
        QTest::newRow("line breaks inside") << QByteArray("a\r\nb");
    }

    void lineIsStampMarkerMessageAndLineEnd() {
        QFETCH(QByteArray, message);
        Shell shell;
        ControlOperations operations(shell.window->bridge());
        logMessage(operations, message.toStdString());
        const Text log = operations.readText(&MainWindow::编辑框2shop);
        const QString shown = toQString(log);
        QVERIFY2(kStamp.match(shown).hasMatch(), qPrintable(shown));
        QVERIFY(log.ends_with("===>>>" + message.toStdString() + "\r\n"));
    }

    void linesGoAfterWhateverTheUserDid_data() {
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("selected");
        QTest::newRow("caret at the start") << 0 << 0;
        QTest::newRow("caret in the middle") << 4 << 0;
        QTest::newRow("text selected") << 2 << 5;
    }

    void linesGoAfterWhateverTheUserDid() {
        QFETCH(int, caret);
        QFETCH(int, selected);
        Shell shell;
        QPlainTextEdit& log = *shell.window->编辑框2shop;
        ControlOperations operations(shell.window->bridge());
        logMessage(operations, "first");
        QTest::keyClicks(&log, QStringLiteral("typed"));
        QTextCursor cursor = log.textCursor();
        cursor.setPosition(caret);
        cursor.setPosition(caret + selected, QTextCursor::KeepAnchor);
        log.setTextCursor(cursor);
        const QString before = log.toPlainText();

        runOnWorker([&] {
            WindowRunView view(shell.window->bridge(), std::make_shared<CancelToken>());
            view.log("from the worker");
        });
        logMessage(operations, "last");

        const QStringList lines = log.toPlainText().split(u'\n');
        QCOMPARE(lines.size(), 4);
        QVERIFY(log.toPlainText().startsWith(before));
        QVERIFY(lines[1].endsWith(QStringLiteral("===>>>from the worker")));
        QVERIFY(lines[2].endsWith(QStringLiteral("===>>>last")));
        QCOMPARE(lines[3], QString());
        QCOMPARE(log.textCursor().position(), log.document()->characterCount() - 1);
    }

    void linesOfBothThreadsStayWhole() {
        Shell shell;
        ControlOperations operations(shell.window->bridge());
        constexpr int kLines = 200;
        std::thread worker([&] {
            WindowRunView view(shell.window->bridge(), std::make_shared<CancelToken>());
            for (int line = 0; line < kLines; ++line) {
                view.log(gbk("工作线程"));
            }
        });
        for (int line = 0; line < kLines; ++line) {
            logMessage(operations, gbk("界面线程"));
            QCoreApplication::processEvents();
        }
        while (shell.window->编辑框2shop->document()->blockCount() <= 2 * kLines) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        worker.join();

        QStringList lines = shell.logText().split(u'\n');
        QCOMPARE(lines.takeLast(), QString());
        QCOMPARE(lines.size(), 2 * kLines);
        for (const QString& line : lines) {
            QVERIFY2(line.endsWith(QStringLiteral(" GMT===>>>工作线程")) ||
                         line.endsWith(QStringLiteral(" GMT===>>>界面线程")),
                     qPrintable(line));
        }
    }
};

std::unique_ptr<QObject> makeActivityLogTest() {
    return std::make_unique<ActivityLogTest>();
}

} // namespace velmora::test

#include "ActivityLogTest.moc"
