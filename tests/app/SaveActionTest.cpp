#include "../output/xlsxReader.h"
#include "AppFixture.h"
#include "app/ControlOperations.h"
#include "app/FileDialogComponent.h"
#include "http/CancelToken.h"
#include "suites.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

Q_DECLARE_METATYPE(velmora::FileFormat)

namespace velmora::test {

namespace {

/// Takes the place of the file dialog for its lifetime, answering every question with `answer`.
class DialogAnswer {
public:
    explicit DialogAnswer(std::optional<SaveChoice> answer) {
        FileDialogComponent::setPresenter([this, answer](QWidget*) {
            ++questions;
            return answer;
        });
    }
    ~DialogAnswer() { FileDialogComponent::setPresenter({}); }
    DialogAnswer(const DialogAnswer&) = delete;
    DialogAnswer& operator=(const DialogAnswer&) = delete;

    int questions = 0;
};

// Cells with what each format must take care of: Chinese text, a comma and quotes (CSV), a tab
// (TSV), and whole numbers next to a sales figure that is not one (Excel).
const std::vector<std::vector<std::string>> kCells = {
    {"1", "http://item.localhost/item.htm?id=11", "连衣裙, \"新款\"", "小店", "35"},
    {"2", "http://item.localhost/item.htm?id=12", "T恤\t夏季", "旺旺二号", "1.2万"},
};

const std::vector<std::string> kHeader = {"序号", "宝贝链接", "宝贝名称", "卖家旺旺", "月销量"};

/// Fills the table the way a collector does, through the operations on the controls.
void fillTable(const Shell& shell) {
    ControlOperations operations(shell.window->bridge());
    for (const auto& cells : kCells) {
        const int row = operations.appendRow(gbk(cells[0]));
        for (int column = 1; column < 5; ++column) {
            operations.setCell(row, column, gbk(cells[column]));
        }
    }
}

void clickSave(const Shell& shell) {
    QTest::mouseClick(shell.find<QPushButton>(QStringLiteral("按钮1")), Qt::LeftButton);
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QStringList entriesOf(const QString& directory) {
    return QDir(directory).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QString savedLine(const QString& path, int rows) {
    return QStringLiteral("===>>>保存数据：%1 共计：%2 条").arg(path).arg(rows);
}

} // namespace

class SaveActionTest : public QObject {
    Q_OBJECT

private slots:
    void savedFileReadsBackAsTheTable_data() {
        QTest::addColumn<FileFormat>("format");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("CSV in UTF-8 with a byte-order mark")
            << FileFormat::Csv << "rows.csv"
            << QByteArray("\xEF\xBB\xBF"
                          "序号,宝贝链接,宝贝名称,卖家旺旺,月销量\r\n"
                          "1,http://item.localhost/item.htm?id=11,\"连衣裙, \"\"新款\"\"\",小店,35\r\n"
                          "2,http://item.localhost/item.htm?id=12,T恤\t夏季,旺旺二号,1.2万\r\n");
        QTest::newRow("tab-separated text, tabs in cells escaped")
            << FileFormat::Tsv << "rows.tsv"
            << QByteArray("序号\t宝贝链接\t宝贝名称\t卖家旺旺\t月销量\n"
                          "1\thttp://item.localhost/item.htm?id=11\t连衣裙, \"新款\"\t小店\t35\n"
                          "2\thttp://item.localhost/item.htm?id=12\tT恤\\t夏季\t旺旺二号\t1.2万\n");
        QTest::newRow("Excel workbook") << FileFormat::Xlsx << "rows.xlsx" << QByteArray();
    }

    void savedFileReadsBackAsTheTable() {
        QFETCH(FileFormat, format);
        QFETCH(QString, name);
        QFETCH(QByteArray, expected);
        QTemporaryDir directory;
        const QString path = directory.filePath(name);
        Shell shell;
        MessageRecorder messages;
        DialogAnswer dialog(SaveChoice{path, format});
        fillTable(shell);

        clickSave(shell);

        QCOMPARE(dialog.questions, 1);
        QCOMPARE(messages.texts, QStringList());
        QVERIFY(shell.logText().endsWith(savedLine(path, 2) + QStringLiteral("\n")));
        QCOMPARE(entriesOf(directory.path()), QStringList{name});
        if (format != FileFormat::Xlsx) {
            QCOMPARE(readAll(path), expected);
            return;
        }
        QVERIFY(readAll(path).startsWith("PK\x03\x04"));
        const auto sheet = readFirstSheet(path.toStdString());
        QCOMPARE(sheet.size(), kCells.size() + 1);
        for (std::size_t row = 0; row < sheet.size(); ++row) {
            const auto& cells = row == 0 ? kHeader : kCells[row - 1];
            QCOMPARE(sheet[row].size(), cells.size());
            for (std::size_t column = 0; column < cells.size(); ++column) {
                QCOMPARE(sheet[row][column].text, cells[column]);
            }
        }
        QVERIFY(sheet[1][0].number);
        QVERIFY(!sheet[2][4].number);
    }

    void cancelledDialogWritesNothing() {
        QTemporaryDir directory;
        Shell shell;
        MessageRecorder messages;
        DialogAnswer dialog(std::nullopt);
        fillTable(shell);

        clickSave(shell);

        QCOMPARE(dialog.questions, 1);
        QCOMPARE(entriesOf(directory.path()), QStringList());
        QCOMPARE(messages.texts, QStringList());
        QCOMPARE(shell.logText(), QString());
    }

    void failureIsShownAndKeepsTheOldFile_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("readOnlyDirectory");
        QTest::newRow("directory that does not exist") << "missing/rows.csv" << false;
        QTest::newRow("name taken by a directory with files") << "taken/rows.csv" << false;
        QTest::newRow("old file in a read-only directory") << "old/rows.csv" << true;
    }

    void failureIsShownAndKeepsTheOldFile() {
        QFETCH(QString, target);
        QFETCH(bool, readOnlyDirectory);
        if (readOnlyDirectory && ::geteuid() == 0) {
            QSKIP("the superuser writes into read-only directories");
        }
        QTemporaryDir directory;
        QVERIFY(directory.isValid());
        const QString path = directory.filePath(target);
        const QString parent = QFileInfo(path).path();
        const QByteArray old("old contents\n");
        if (target.startsWith(QStringLiteral("taken/"))) {
            QVERIFY(QDir().mkpath(path));
            QVERIFY(writeAll(path + QStringLiteral("/inside.txt"), old));
        } else if (readOnlyDirectory) {
            QVERIFY(QDir().mkpath(parent));
            QVERIFY(writeAll(path, old));
            QVERIFY(QFile::setPermissions(parent, QFile::ReadOwner | QFile::ExeOwner));
        }
        const QStringList before = entriesOf(parent);
        Shell shell;
        MessageRecorder messages;
        DialogAnswer dialog(SaveChoice{path, FileFormat::Csv});
        fillTable(shell);

        clickSave(shell);

        QFile::setPermissions(parent, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(messages.captions, QStringList{QStringLiteral("信息：")});
        QCOMPARE(messages.texts.size(), 1);
        QVERIFY2(messages.texts[0].startsWith(QStringLiteral("保存失败：")), qPrintable(messages.texts[0]));
        // The sentence names the file, so that the user sees which save failed.
        QVERIFY2(messages.texts[0].contains(path), qPrintable(messages.texts[0]));
        QCOMPARE(entriesOf(parent), before);
        if (readOnlyDirectory) {
            QCOMPARE(readAll(path), old);
        } else if (target.startsWith(QStringLiteral("taken/"))) {
            QCOMPARE(readAll(path + QStringLiteral("/inside.txt")), old);
        }
        QCOMPARE(shell.logText(), QString());
    }

    void savingDuringARunSavesTheRowsSoFar() {
        Flag filled;
        WorkerEntries entries;
        entries.keyword = [&filled](RunView& view, const RunSettings&) {
            view.clearRows();
            for (const auto& cells : kCells) {
                const int row = view.appendRow(gbk(cells[0]));
                for (int column = 1; column < 5; ++column) {
                    view.setCell(row, column, gbk(cells[column]));
                }
            }
            filled.raise();
            // The run goes on until it is stopped.
            currentCancelToken()->waitFor(std::chrono::hours(1));
        };
        QTemporaryDir directory;
        const QString path = directory.filePath(QStringLiteral("so-far.tsv"));
        Shell shell(entries);
        MessageRecorder messages;
        DialogAnswer dialog(SaveChoice{path, FileFormat::Tsv});
        shell.window->编辑框_关键字->setText(QStringLiteral("连衣裙"));
        shell.pressStartStop();
        QTRY_VERIFY_WITH_TIMEOUT(filled.isRaised(), static_cast<int>(kPatience.count() * 1000));
        QCOMPARE(shell.caption(), QStringLiteral("停止"));

        clickSave(shell);

        QCOMPARE(messages.texts, QStringList());
        const QList<QByteArray> lines = readAll(path).split('\n');
        QCOMPARE(lines.size(), 4); // header, two rows, and nothing after the last line end
        QVERIFY(lines[1].startsWith("1\thttp://item.localhost/item.htm?id=11\t"));
        QVERIFY(lines[2].startsWith("2\thttp://item.localhost/item.htm?id=12\t"));
        shell.pressStartStop();
        QVERIFY(shell.runControl->shutdown(kPatience));
    }

    void dialogOffersTheThreeFormats() {
        QTemporaryDir directory;
        QStringList offered;
        // Answers the dialog as a user would, once it is up.
        QTimer answerer;
        answerer.setInterval(10);
        connect(&answerer, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) {
                return;
            }
            answerer.stop();
            offered = dialog->nameFilters();
            dialog->selectNameFilter(FileDialogComponent::kXlsxFilter);
            dialog->selectFile(directory.filePath(QStringLiteral("book")));
            static_cast<QDialog*>(dialog)->accept();
        });
        answerer.start();
        FileDialogComponent component;

        const std::optional<SaveChoice> choice = component.askSavePath(nullptr);

        QCOMPARE(offered,
                 (QStringList{QStringLiteral("CSV (UTF-8) (*.csv)"), QStringLiteral("Excel (*.xlsx)"),
                              QStringLiteral("Tab-separated text (*.tsv *.txt)")}));
        QVERIFY(choice.has_value());
        QCOMPARE(choice->path, directory.filePath(QStringLiteral("book.xlsx")));
        QCOMPARE(choice->format, FileFormat::Xlsx);
    }

    void filterDecidesTheFormat_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("path");
        QTest::addColumn<FileFormat>("format");
        const QString csv = FileDialogComponent::kCsvFilter;
        const QString xlsx = FileDialogComponent::kXlsxFilter;
        const QString tsv = FileDialogComponent::kTsvFilter;
        QTest::newRow("CSV name without extension") << "/d/rows" << csv << "/d/rows.csv" << FileFormat::Csv;
        QTest::newRow("Excel name without extension")
            << "/d/rows" << xlsx << "/d/rows.xlsx" << FileFormat::Xlsx;
        QTest::newRow("TSV name without extension") << "/d/rows" << tsv << "/d/rows.tsv" << FileFormat::Tsv;
        QTest::newRow("TSV name with .txt kept") << "/d/rows.txt" << tsv << "/d/rows.txt" << FileFormat::Tsv;
        QTest::newRow("dot in a directory name only")
            << "/d.x/rows" << csv << "/d.x/rows.csv" << FileFormat::Csv;
        QTest::newRow("typed extension kept, filter decides")
            << "/d/rows.csv" << xlsx << "/d/rows.csv" << FileFormat::Xlsx;
        QTest::newRow("Chinese name") << "/d/数据" << xlsx << "/d/数据.xlsx" << FileFormat::Xlsx;
    }

    void filterDecidesTheFormat() {
        QFETCH(QString, fileName);
        QFETCH(QString, filter);
        QFETCH(QString, path);
        QFETCH(FileFormat, format);
        const SaveChoice choice = FileDialogComponent::choiceFor(fileName, filter);
        QCOMPARE(choice.path, path);
        QCOMPARE(choice.format, format);
    }
};

std::unique_ptr<QObject> makeSaveActionTest() {
    return std::make_unique<SaveActionTest>();
}

} // namespace velmora::test

#include "SaveActionTest.moc"
