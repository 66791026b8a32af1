#include "app/RunControl.h"

#include "app/MainWindow.h"
#include "app/WindowRunView.h"
#include "app/activityLog.h"
#include "app/qtText.h"

#include <QPushButton>
#include <QRadioButton>

#include <utility>
#include <variant>

namespace velmora {

RunControl::RunControl(MainWindow& window, std::shared_ptr<RunSettings> settings, WorkerEntries entries)
    : bridge_(window.bridge()), controls_(bridge_), settings_(std::move(settings)),
      entries_(std::move(entries)) {
    connect(window.按钮_开始_结束, &QPushButton::clicked, this, &RunControl::startOrStop);
    connect(window.单选框1, &QRadioButton::clicked, this, &RunControl::sortByDefault);
    connect(window.单选框2, &QRadioButton::clicked, this, &RunControl::sortBySales);
    connect(&window, &MainWindow::closing, this, &RunControl::endWorker);
}

RunControl::~RunControl() {
    endWorker();
}

void RunControl::startOrStop() {
    const RunInputs inputs = readInputs();
    applyFilterInputs(inputs, *settings_);

    const RunCheck check = checkRunInputs(inputs);
    if (const Text* refusal = std::get_if<Text>(&check)) {
        controls_.showMessage(*refusal);
        return;
    }

    if (controls_.readCaption(&MainWindow::按钮_开始_结束) == toText(QStringLiteral("停止"))) {
        stopSteps();
    } else {
        startSteps(std::get<RunPlan>(check));
    }
}

RunInputs RunControl::readInputs() {
    RunInputs inputs;
    inputs.filterTicked = controls_.isTicked(&MainWindow::选择框2shop);
    inputs.filterWord = controls_.readText(&MainWindow::编辑框_过滤词);
    inputs.keyword = controls_.readText(&MainWindow::编辑框_关键字);
    inputs.priceLow = controls_.readText(&MainWindow::编辑框_低);
    inputs.priceHigh = controls_.readText(&MainWindow::编辑框_高);
    inputs.pages = controls_.readText(&MainWindow::编辑框1页数);
    inputs.tmallOnly = controls_.isTicked(&MainWindow::选择框1shop);
    return inputs;
}

void RunControl::startSteps(const RunPlan& plan) {
    runToken_ = std::make_shared<CancelToken>();

    controls_.setEnabled(&MainWindow::编辑框_关键字, false);
    controls_.setEnabled(&MainWindow::编辑框_低, false);
    controls_.setEnabled(&MainWindow::编辑框_高, false);

    applyRunPlan(plan, *settings_);
    logMessage(controls_, runStartMessage(plan.mode));
    startWorker(plan.mode == RunMode::Keyword ? entries_.keyword : entries_.shop);

    controls_.setCaption(&MainWindow::按钮_开始_结束, toText(QStringLiteral("停止")));
}

void RunControl::stopSteps() {
    controls_.setEnabled(&MainWindow::编辑框_关键字, true);
    controls_.setEnabled(&MainWindow::编辑框_低, true);
    controls_.setEnabled(&MainWindow::编辑框_高, true);
    endWorker();
    controls_.setCaption(&MainWindow::按钮_开始_结束, toText(QStringLiteral("采集")));
}

void RunControl::sortByDefault() {
    settings_->setSortSuffix("");
}

void RunControl::sortBySales() {
    settings_->setSortSuffix(Text(kSalesSortSuffix));
}

void RunControl::startWorker(const WorkerEntry& entry) {
    auto view = std::make_shared<WindowRunView>(bridge_, runToken_);
    // A failure to get a thread goes unnoticed: the button reads 停止 and a press of it returns to idle.
    workers_.start([entry, view = std::move(view), settings = settings_, token = runToken_] {
        CancelScope scope(token);
        if (entry) {
            entry(*view, *settings);
        }
    });
}

void RunControl::endWorker() {
    if (runToken_ == nullptr) {
        return;
    }
    // The worker is not waited for: its HTTP exchange and pause end on the token, its waiting call
    // on the window returns at once, and the window drops whatever it asks for from now on.
    runToken_->cancel();
    bridge_->wakeCallers();
}

bool RunControl::shutdown(std::chrono::milliseconds bound) {
    endWorker();
    return workers_.joinAll(bound);
}

} // namespace velmora
