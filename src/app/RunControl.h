#pragma once

#include "app/ControlOperations.h"
#include "app/WorkerEntries.h"
#include "app/WorkerThreads.h"
#include "collectors/RunSettings.h"
#include "collectors/runInputs.h"
#include "http/CancelToken.h"

#include <QObject>

#include <chrono>
#include <memory>

namespace velmora {

class MainWindow;

/// The run control: the handler of the start/stop button and of the sort choice. A press checks the
/// inputs and either starts one worker with the settings of the run or ends the running one at once.
/// UI thread only.
class RunControl : public QObject {
    Q_OBJECT
public:
    /// Attaches the handlers to `window`'s controls; workers run `entries` with `settings`.
    RunControl(MainWindow& window, std::shared_ptr<RunSettings> settings, WorkerEntries entries);
    /// Ends the current run; its worker gets a short while to return.
    ~RunControl() override;

    /// The start/stop button was pressed.
    void startOrStop();
    /// 综合 was clicked: the default sort order.
    void sortByDefault();
    /// 销量 was clicked: sort by sales.
    void sortBySales();

    /// Ends the current run, if any, and waits up to `bound` for every worker; true when all ended.
    bool shutdown(std::chrono::milliseconds bound);

private:
    RunInputs readInputs();
    void startSteps(const RunPlan& plan);
    void stopSteps();
    void startWorker(const WorkerEntry& entry);
    void endWorker();

    std::shared_ptr<WindowBridge> bridge_;
    ControlOperations controls_;
    std::shared_ptr<RunSettings> settings_;
    WorkerEntries entries_;
    std::shared_ptr<CancelToken> runToken_;
    WorkerThreads workers_;
};

} // namespace velmora
