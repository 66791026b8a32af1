#include "StopDrill.h"

#include "app/WorkerEntries.h"
#include "collectors/Endpoints.h"
#include "http/CookieStore.h"
#include "http/httpFetch.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace velmora::test {

namespace {

using Clock = std::chrono::steady_clock;
using market::FaultRule;
using market::FaultType;
using market::RequestKind;

// Three result pages of 44 listings.
const QString kKeyword = QStringLiteral("pages3 drill");
constexpr int kKeywordRows = 3 * 44;
// Three item pages of 24.
const std::string kShopId = "135791";
constexpr int kShopRows = 3 * 24;

/// How the drill's run collects.
enum class Mode { Keyword, ShopSignedIn, ShopSignedOut };

int rowsOf(Mode mode) {
    return mode == Mode::Keyword ? kKeywordRows : kShopRows;
}

/// Serves the UI thread's events until `done` holds; false when `bound` passed first.
bool serveUntil(const std::function<bool()>& done, std::chrono::milliseconds bound = kPatience) {
    // The tick wakes the loop to look at `done`, which other threads change without an event.
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.start(1);
    const auto deadline = Clock::now() + bound;
    while (!done()) {
        if (Clock::now() >= deadline) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void serveFor(std::chrono::milliseconds span) {
    serveUntil([] { return false; }, span);
}

bool isIdle(const MainWindow& window) {
    return window.按钮_开始_结束->text() == QStringLiteral("采集") && window.编辑框_关键字->isEnabled() &&
           window.编辑框_低->isEnabled() && window.编辑框_高->isEnabled();
}

} // namespace

const char* stopPointName(StopPoint point) {
    switch (point) {
    case StopPoint::InsideRequest:
        return "inside a request";
    case StopPoint::InsideUiCall:
        return "inside a UI call";
    case StopPoint::InsidePause:
        return "inside the pause";
    case StopPoint::BetweenListings:
        return "between listings";
    case StopPoint::AnyMoment:
        return "at any moment";
    }
    return "";
}

struct StopDrill::Plan {
    StopPoint point = StopPoint::AnyMoment;
    Mode mode = Mode::Keyword;
    std::optional<FaultRule> fault;
    int rows = 0;                      ///< rows to wait for
    std::chrono::milliseconds wait{0}; ///< time to serve once the point is reached
};

StopDrill::StopDrill() {
    if (!server_.start()) {
        qFatal("the simulator got no port");
    }
    market::ShopSettings shop = server_.shopSettings(kShopId);
    shop.itemCount = kShopRows;
    shop.pageSize = 24;
    shop.layout = market::ShopLayout::Alternating;
    server_.setShop(kShopId, shop);
    shell_ = std::make_unique<Shell>(collectorEntries(Endpoints::simulator(server_.domain())));
}

StopDrill::~StopDrill() {
    shell_.reset();
    CookieStore::shared().clear();
}

StopDrill::Plan StopDrill::plan(StopPoint point, std::uint32_t seed) {
    std::mt19937 random(seed);
    const auto pick = [&random](int low, int high) {
        return std::uniform_int_distribution(low, high)(random);
    };
    const auto anyMode = [&] { return static_cast<Mode>(pick(0, 2)); };
    // The signed-out crawl shows no rows for its first 30 s; the row-bound points use the others.
    const auto rowMode = [&] { return pick(0, 1) == 0 ? Mode::Keyword : Mode::ShopSignedIn; };

    Plan plan;
    plan.point = point;
    switch (point) {
    case StopPoint::InsideRequest: {
        plan.mode = anyMode();
        struct Target {
            RequestKind kind;
            int last; ///< the number of such requests the run makes
        };
        std::vector<Target> targets;
        switch (plan.mode) {
        case Mode::Keyword:
            targets = {{RequestKind::KeywordFirstLook, 1},
                       {RequestKind::ResultPage, 3},
                       {RequestKind::ItemDetail, kKeywordRows}};
            break;
        case Mode::ShopSignedIn:
            targets = {{RequestKind::ShopAddressPage, 1},
                       {RequestKind::ShopSearchPage, 2},
                       {RequestKind::ShopItemPage, 3}};
            break;
        case Mode::ShopSignedOut:
            targets = {{RequestKind::ShopAddressPage, 1}, {RequestKind::ShopSearchPage, 3}};
            break;
        }
        const Target target = targets[static_cast<std::size_t>(pick(0, int(targets.size()) - 1))];
        FaultRule rule;
        constexpr FaultType holds[] = {FaultType::Stall, FaultType::Drip, FaultType::Delay};
        rule.type = holds[pick(0, 2)];
        rule.kind = target.kind;
        rule.firstRequest = pick(1, target.last);
        // Every later request of the kind is held too: the pane's own loads count among the
        // shop's address pages.
        rule.count = FaultRule::always;
        rule.dripIntervalMs = 20;
        rule.delayMs = 5000;
        plan.fault = rule;
        plan.wait = std::chrono::milliseconds(pick(0, 40));
        break;
    }
    case StopPoint::InsideUiCall:
        plan.mode = rowMode();
        plan.rows = pick(0, rowsOf(plan.mode) - 1);
        break;
    case StopPoint::InsidePause:
        plan.mode = Mode::ShopSignedOut;
        // The pause lasts 1.5 s; the stop comes well inside it.
        plan.wait = std::chrono::milliseconds(pick(10, 1000));
        break;
    case StopPoint::BetweenListings:
        plan.mode = rowMode();
        plan.rows = pick(1, rowsOf(plan.mode) - 1);
        break;
    case StopPoint::AnyMoment:
        plan.mode = anyMode();
        plan.wait = std::chrono::milliseconds(pick(0, 300));
        break;
    }
    return plan;
}

bool StopDrill::startAndReach(const Shell& shell, const Plan& plan) {
    server_.clearFaults();
    server_.clearRequests();
    CookieStore::shared().clear();
    if (plan.mode == Mode::ShopSignedIn) {
        httpFetch("http://login." + server_.domain() + "/member/login.jhtml?TPL_username=buyer");
    }
    if (plan.fault) {
        server_.addFault(*plan.fault);
    }

    MainWindow& window = *shell.window;
    // The rows of the last run would otherwise count towards this one's until it clears the table.
    window.clearRows();
    window.编辑框_关键字->setText(
        plan.mode == Mode::Keyword ? kKeyword : QString::fromStdString(server_.url("shop" + kShopId, "/")));
    window.编辑框1页数->setText(QStringLiteral("3"));
    window.按钮_开始_结束->click();

    const auto countRequests = [this](const std::function<bool(const market::RequestRecord&)>& which) {
        const std::vector<market::RequestRecord> requests = server_.requests();
        return std::count_if(requests.begin(), requests.end(), which);
    };
    const auto searchPages = [&] {
        return countRequests([](const auto& request) { return request.kind == RequestKind::ShopSearchPage; });
    };

    bool reached = true;
    switch (plan.point) {
    case StopPoint::InsideRequest:
        reached = serveUntil([&] {
            return countRequests([](const auto& request) {
                       // The collector's own request, not one of the browser pane's.
                       return request.fault &&
                              request.header("User-Agent").find("QtWebEngine") == std::string::npos;
                   }) > 0;
        });
        serveFor(plan.wait);
        break;
    case StopPoint::InsideUiCall:
        // The UI thread stops serving: the worker's next call waits for it.
        reached = serveUntil([&] { return window.rowCount() >= plan.rows; }) &&
                  waitForWaitingCaller(*window.bridge());
        break;
    case StopPoint::InsidePause:
        // The first look and attempt 1 found no search address; the pause after attempt 1 runs.
        reached = serveUntil([&] { return searchPages() >= 2; });
        serveFor(plan.wait);
        // Attempt 2 would mean the pause was over before the stop.
        reached = reached && searchPages() == 2;
        break;
    case StopPoint::BetweenListings:
        reached = serveUntil([&] { return window.rowCount() >= plan.rows; });
        break;
    case StopPoint::AnyMoment:
        serveFor(plan.wait);
        break;
    }
    return reached;
}

StopRecord StopDrill::end(const Shell& shell, const std::function<void()>& press) {
    StopRecord record;
    const auto pressed = Clock::now();
    press();
    record.idleAtStop = isIdle(*shell.window);
    record.atStop = screenOf(*shell.window);

    bool served = false;
    QTimer::singleShot(0, shell.window.get(), [&served] { served = true; });
    serveUntil([&served] { return served; });
    record.toIdle = Clock::now() - pressed;

    record.workerGone = shell.runControl->shutdown(kPatience);
    record.toGone = Clock::now() - pressed;

    // Whatever the stopped run still had on its way to the window would show now.
    serveFor(std::chrono::milliseconds(20));
    record.afterwards = screenOf(*shell.window);
    return record;
}

StopRecord StopDrill::stopRun(StopPoint point, std::uint32_t seed) {
    const Plan chosen = plan(point, seed);
    const bool reached = startAndReach(*shell_, chosen);
    StopRecord record = end(*shell_, [this] { shell_->window->按钮_开始_结束->click(); });
    record.reached = reached;
    return record;
}

StopRecord StopDrill::closeDuringRun(StopPoint point, std::uint32_t seed) {
    const Plan chosen = plan(point, seed);
    Shell shell(collectorEntries(Endpoints::simulator(server_.domain())));
    shell.window->activateWindow();
    if (!QTest::qWaitForWindowActive(shell.window.get())) {
        qWarning("the window did not become active");
    }
    const bool reached = startAndReach(shell, chosen);
    StopRecord record =
        end(shell, [&shell] { QTest::keyClick(shell.window->按钮_开始_结束, Qt::Key_Escape); });
    record.reached = reached;
    record.hidden = !shell.window->isVisible();
    return record;
}

} // namespace velmora::test
