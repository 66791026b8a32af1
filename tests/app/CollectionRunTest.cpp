#include "AppFixture.h"
#include "app/CookieBridge.h"
#include "app/qtText.h"
#include "collectors/Endpoints.h"
#include "http/CookieStore.h"
#include "http/httpFetch.h"
#include "market/MarketServer.h"
#include "suites.h"

#include <QAbstractItemModel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <algorithm>
#include <memory>

namespace velmora::test {

namespace {

using market::MarketServer;

/// How long a test waits for a whole run against the simulator or for the browser engine.
constexpr int kRunPatienceMs = 60000;

QWebEngineCookieStore& paneCookies(const MainWindow& window) {
    return *window.超文本浏览框1->page()->profile()->cookieStore();
}

bool storeHolds(const std::string& name, const std::string& value = {}) {
    const std::vector<Cookie> cookies = CookieStore::shared().list();
    return std::any_of(cookies.begin(), cookies.end(), [&](const Cookie& cookie) {
        return cookie.name == name && (value.empty() || cookie.value == value);
    });
}

/// The window, the cookie bridge and the run control wired as the program wires them, talking to
/// the simulator; each side's cookies start empty.
class SimulatedProgram {
public:
    explicit SimulatedProgram(const MarketServer& server)
        : endpoints(Endpoints::simulator(server.domain())), settings(std::make_shared<RunSettings>()),
          window(std::make_unique<MainWindow>(toQString(endpoints.signInAddress()))) {
        CookieStore::shared().clear();
        paneCookies(*window).deleteAllCookies();
        bridge = std::make_unique<CookieBridge>(paneCookies(*window), CookieStore::shared());
        runControl = std::make_unique<RunControl>(*window, settings, collectorEntries(endpoints));
        window->showCentred();
    }

    ~SimulatedProgram() {
        runControl->shutdown(kPatience);
        runControl.reset();
        // The engine deletes and reports later; the removals must reach this bridge, not the next
        // test's, which would take that test's equal cookies from the store.
        paneCookies(*window).deleteAllCookies();
        if (!QTest::qWaitFor([] { return CookieStore::shared().list().empty(); }, kRunPatienceMs)) {
            qWarning("the pane's cookies outlived the test");
        }
        bridge.reset();
        window.reset();
        CookieStore::shared().clear();
    }

    SimulatedProgram(const SimulatedProgram&) = delete;
    SimulatedProgram& operator=(const SimulatedProgram&) = delete;

    void start(const QString& keyword, const QString& pages = QStringLiteral("10")) const {
        window->findChild<QLineEdit*>(QStringLiteral("编辑框_关键字"))->setText(keyword);
        window->findChild<QLineEdit*>(QStringLiteral("编辑框1页数"))->setText(pages);
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("按钮_开始_结束")), Qt::LeftButton);
    }

    QString log() const { return window->编辑框2shop->toPlainText(); }
    QAbstractItemModel& table() const { return *window->超级列表框2shop->model(); }
    QString cell(int row, int column) const { return table().index(row, column).data().toString(); }

    Endpoints endpoints;
    std::shared_ptr<RunSettings> settings;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<CookieBridge> bridge;
    std::unique_ptr<RunControl> runControl;
};

/// Runs a script in the pane until it reports true: the page it needs may still be loading.
class PaneScript {
public:
    PaneScript(QWebEnginePage& page, QString script) : page_(page), script_(std::move(script)) {}

    /// Starts one more try when none is under way; true once a try reported true.
    bool succeeded() {
        if (!state_->pending && !state_->done) {
            state_->pending = true;
            page_.runJavaScript(script_, [state = state_](const QVariant& result) {
                state->pending = false;
                state->done = result.toBool();
            });
        }
        return state_->done;
    }

private:
    struct State {
        bool pending = false;
        bool done = false;
    };
    QWebEnginePage& page_;
    QString script_;
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

// Fills the simulator's sign-in form as a user would and sends it.
const QString kSignInScript =
    QStringLiteral("(function() { var name = document.getElementsByName('TPL_username')[0];"
                   " if (!name) return false; name.value = 'tester'; name.form.submit(); return true; })()");

} // namespace

class CollectionRunTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(server_.start()); }

    void keywordRunFillsTableWithEverySimulatedListing() {
        SimulatedProgram program(server_);
        const std::vector<market::Listing> listings = server_.listings("pages2 abc");
        QCOMPARE(listings.size(), std::size_t{88});

        program.start(QStringLiteral("pages2 abc"), QStringLiteral("2"));

        QTRY_VERIFY_WITH_TIMEOUT(program.log().contains(QStringLiteral("采集完毕，共计：88 条数据！")),
                                 kRunPatienceMs);
        QCOMPARE(program.table().rowCount(), 88);
        for (int row : {0, 87}) {
            const market::Listing& listing = listings[static_cast<std::size_t>(row)];
            QCOMPARE(program.cell(row, 0), QString::number(row + 1));
            QVERIFY(program.cell(row, 1).contains(QString::fromStdString(listing.nid)));
            QCOMPARE(program.cell(row, 2), QString::fromStdString(listing.rawTitle));
            // "1.2万" shows as the digits before the point.
            const QString sold = QString::fromStdString(server_.itemSales(listing.nid).soldQuantity);
            QCOMPARE(program.cell(row, 4), sold.left(sold.indexOf(QLatin1Char('.'))));
        }
    }

    void shopRunWaitsForSignInMadeInPane() {
        SimulatedProgram program(server_);
        const std::string shopId = "246801";
        market::ShopSettings shop = server_.shopSettings(shopId);
        shop.itemCount = 3;
        shop.layout = market::ShopLayout::Plain;
        server_.setShop(shopId, shop);
        const QString shopAddress = QString::fromStdString(server_.url("shop" + shopId, "/"));

        program.start(shopAddress);

        // Not signed in: the window widens to uncover the pane, which shows the shop.
        QTRY_COMPARE_WITH_TIMEOUT(program.window->frameGeometry().width(), 1298, kRunPatienceMs);
        QVERIFY(program.log().contains(QStringLiteral("获取地址失败，请登录TB账号继续！")));
        QWebEngineView& pane = *program.window->超文本浏览框1;
        QCOMPARE(pane.url(), QUrl(shopAddress));
        QVERIFY(!storeHolds("cookie2"));

        // The user signs in in the pane; the run, still trying, then finds the shop's item search.
        pane.setUrl(QUrl(toQString(program.endpoints.signInAddress())));
        PaneScript signIn(*pane.page(), kSignInScript);
        QTRY_VERIFY_WITH_TIMEOUT(signIn.succeeded(), kRunPatienceMs);
        QTRY_VERIFY_WITH_TIMEOUT(storeHolds("cookie2", server_.signInCookie().value), kRunPatienceMs);

        QTRY_VERIFY_WITH_TIMEOUT(program.log().contains(QStringLiteral("获取完毕，")), kRunPatienceMs);
        QVERIFY(program.log().contains(QStringLiteral("获取地址成功！！")));
        QCOMPARE(program.table().rowCount(), 3);
        QCOMPARE(program.window->frameGeometry().width(), 542);
    }

    void cookieOfResponseReachesPaneAndLeavesWithIt() {
        SimulatedProgram program(server_);
        QSignalSpy added(&paneCookies(*program.window), &QWebEngineCookieStore::cookieAdded);
        QSignalSpy removed(&paneCookies(*program.window), &QWebEngineCookieStore::cookieRemoved);
        const auto paneGot = [](const QSignalSpy& spy, const QByteArray& name) {
            return std::any_of(spy.begin(), spy.end(), [&name](const QList<QVariant>& arguments) {
                return arguments.first().value<QNetworkCookie>().name() == name;
            });
        };

        runOnWorker([&] { httpFetch(server_.url("login", "/member/login.jhtml?TPL_username=tester")); });
        QVERIFY(storeHolds("cookie2"));
        QTRY_VERIFY_WITH_TIMEOUT(paneGot(added, "cookie2"), kRunPatienceMs);
        const auto cookie2 = std::find_if(added.begin(), added.end(), [](const QList<QVariant>& arguments) {
            return arguments.first().value<QNetworkCookie>().name() == "cookie2";
        });
        const QNetworkCookie inPane = cookie2->first().value<QNetworkCookie>();
        QCOMPARE(inPane.value(), QByteArray::fromStdString(server_.signInCookie().value));
        QVERIFY(inPane.isHttpOnly());

        runOnWorker([&] { httpFetch(server_.url("login", "/member/logout.jhtml")); });
        QVERIFY(!storeHolds("cookie2"));
        QTRY_VERIFY_WITH_TIMEOUT(paneGot(removed, "cookie2"), kRunPatienceMs);
        // The pane's removal, coming back, must not take anything else from the store.
        QVERIFY(storeHolds("unb"));
    }

    void paneCookieReachesStoreAndLeavesWithIt() {
        SimulatedProgram program(server_);
        QNetworkCookie cookie("_nk_", QByteArray("\xB2\xE2\xCA\xD4", 4));
        cookie.setDomain(QStringLiteral(".market.localhost"));
        cookie.setPath(QStringLiteral("/"));
        paneCookies(*program.window)
            .setCookie(cookie, QUrl(QStringLiteral("http://login.market.localhost/")));
        QTRY_VERIFY_WITH_TIMEOUT(storeHolds("_nk_", "\xB2\xE2\xCA\xD4"), kRunPatienceMs);

        paneCookies(*program.window)
            .deleteCookie(cookie, QUrl(QStringLiteral("http://login.market.localhost/")));
        QTRY_VERIFY_WITH_TIMEOUT(!storeHolds("_nk_"), kRunPatienceMs);
    }

    void cookieFieldsMapBetweenPaneAndStore_data() {
        QTest::addColumn<QNetworkCookie>("paneCookie");
        QTest::addColumn<bool>("includeSubdomains");
        QTest::addColumn<qint64>("expires");

        QNetworkCookie domainCookie("cookie2", "abc");
        domainCookie.setDomain(QStringLiteral(".Market.localhost"));
        domainCookie.setPath(QStringLiteral("/"));
        domainCookie.setHttpOnly(true);
        QTest::newRow("leading dot: whole domain, session") << domainCookie << true << qint64{0};

        QNetworkCookie hostCookie("t", QByteArray("\xB2\xE2;x", 4));
        hostCookie.setDomain(QStringLiteral("login.market.localhost"));
        hostCookie.setPath(QStringLiteral("/member"));
        hostCookie.setSecure(true);
        hostCookie.setExpirationDate(QDateTime::fromSecsSinceEpoch(2000000000, Qt::UTC));
        QTest::newRow("host only, secure, expiring") << hostCookie << false << qint64{2000000000};
    }

    void cookieFieldsMapBetweenPaneAndStore() {
        QFETCH(QNetworkCookie, paneCookie);
        QFETCH(bool, includeSubdomains);
        QFETCH(qint64, expires);

        const Cookie cookie = toCookie(paneCookie);
        QCOMPARE(cookie.includeSubdomains, includeSubdomains);
        QCOMPARE(QString::fromStdString(cookie.domain),
                 paneCookie.domain().mid(includeSubdomains ? 1 : 0).toLower());
        QCOMPARE(QString::fromStdString(cookie.path), paneCookie.path());
        QCOMPARE(cookie.secure, paneCookie.isSecure());
        QCOMPARE(cookie.httpOnly, paneCookie.isHttpOnly());
        QCOMPARE(cookie.expires, expires);
        QCOMPARE(QByteArray::fromStdString(cookie.name), paneCookie.name());
        QCOMPARE(QByteArray::fromStdString(cookie.value), paneCookie.value());

        const QNetworkCookie back = toNetworkCookie(cookie);
        // A host-only cookie carries no Domain attribute back: the engine takes the host from its origin.
        QCOMPARE(back.domain(), includeSubdomains ? paneCookie.domain().toLower() : QString());
        QCOMPARE(back.path(), paneCookie.path());
        QCOMPARE(back.isSecure(), paneCookie.isSecure());
        QCOMPARE(back.isHttpOnly(), paneCookie.isHttpOnly());
        QCOMPARE(back.isSessionCookie(), expires == 0);
        QCOMPARE(back.name(), paneCookie.name());
        QCOMPARE(back.value(), paneCookie.value());
    }

    void programAcceptsOnlyMarketDomainOption_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--verbose")};
        QTest::newRow("option without its domain") << QStringList{QStringLiteral("--market-domain")};
        QTest::newRow("empty domain") << QStringList{QStringLiteral("--market-domain"), QString()};
        QTest::newRow("extra argument") << QStringList{
            QStringLiteral("--market-domain"), QStringLiteral("market.localhost:1"), QStringLiteral("x")};
    }

    void programAcceptsOnlyMarketDomainOption() {
        QFETCH(QStringList, arguments);
        QProcess program;
        program.start(QStringLiteral(VELMORA_PROGRAM), arguments);
        QVERIFY(program.waitForFinished(kRunPatienceMs));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 2);
        QVERIFY(program.readAllStandardError().startsWith("usage: velmora [--market-domain D]"));
    }

private:
    MarketServer server_;
};

std::unique_ptr<QObject> makeCollectionRunTest() {
    return std::make_unique<CollectionRunTest>();
}

} // namespace velmora::test

#include "CollectionRunTest.moc"
