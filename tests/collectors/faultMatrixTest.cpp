#include "CollectorFixture.h"
#include "collectors/collectKeyword.h"
#include "collectors/collectShop.h"
#include "http/CookieStore.h"
#include "http/fetchIdleLimit.h"
#include "http/httpFetch.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <cctype>
#include <ostream>
#include <tuple>

namespace velmora::market {

// Readable parameters in test reports ("reset-mid-body", "result-page"); found by argument lookup.
static void PrintTo(FaultType fault, std::ostream* out) {
    *out << faultName(fault);
}
static void PrintTo(RequestKind kind, std::ostream* out) {
    *out << kindName(kind);
}

} // namespace velmora::market

namespace velmora::test {
namespace {

using market::FaultType;
using market::RequestKind;
using market::ShopLayout;
using ::testing::ElementsAre;
using ::testing::StartsWith;
using Rows = std::vector<RecordingView::Row>;
using Cell = std::tuple<FaultType, RequestKind>;

const std::string kKeyword = "matrix abc";
const std::string kShopId = "123456";
constexpr int kListings = 100; // three result pages: 44, 44 and 12 listings
constexpr int kListingsPerPage = 44;
constexpr int kShopItems = 50; // item pages of 24, 24 and 2 items; page 4 repeats page 3
constexpr int kShopPageSize = 24;

// Short enough that an httpFetch exchange whose answer goes quiet gives up at once. Only the cells
// of such answers use it: building a 20 MB answer can keep the simulator quiet for longer.
constexpr std::chrono::milliseconds kQuietIdleLimit{300};
// The request object that reads the shop address waits this long for progress, and tests cannot
// shorten it; a drip meant to be cut by it must be slower still.
constexpr int kObjectIdleLimitMs = 15000;

/// What a fault leaves of the content the collector reads.
enum class Damage {
    None,      ///< all of it: late, padded, or under a header block too big for the header buffer
    Mangled,   ///< all of it, with bytes invalid in its encoding behind a title
    Truncated, ///< the part that arrived before the answer broke off or went quiet
    Lost,      ///< none: an error page, random bytes, a wall, a redirect loop or no answer at all
};

Damage damageOf(FaultType fault) {
    switch (fault) {
    case FaultType::Delay:
    case FaultType::HugePage:
    case FaultType::OversizedHeaders:
        return Damage::None;
    case FaultType::InvalidEncoding:
        return Damage::Mangled;
    case FaultType::Drip:
    case FaultType::ResetMidBody:
        return Damage::Truncated;
    case FaultType::Stall:
    case FaultType::ServerError:
    case FaultType::Garbage:
    case FaultType::RedirectLoop:
    case FaultType::SignInWall:
    case FaultType::SliderCheck:
        return Damage::Lost;
    }
    return Damage::Lost;
}

/// Which request of its kind the fault hits: one in the middle of the run where there are several.
int faultedRequest(RequestKind kind) {
    switch (kind) {
    case RequestKind::ResultPage:
    case RequestKind::ShopItemPage:
        return 2;
    case RequestKind::ItemDetail:
        return 3;
    default:
        return 1;
    }
}

bool isShopRequest(RequestKind kind) {
    return kind == RequestKind::ShopAddressPage || kind == RequestKind::ShopSearchPage ||
           kind == RequestKind::ShopItemPage;
}

/// "reset-mid-body" -> "ResetMidBody".
std::string camelCase(const std::string& name) {
    std::string out;
    bool upper = true;
    for (const char c : name) {
        if (c == '-') {
            upper = true;
        } else {
            out += upper ? char(std::toupper(static_cast<unsigned char>(c))) : c;
            upper = false;
        }
    }
    return out;
}

std::string cellName(const ::testing::TestParamInfo<Cell>& info) {
    std::string name = camelCase(market::faultName(std::get<0>(info.param)));
    name[0] = char(std::tolower(static_cast<unsigned char>(name[0])));
    return name + "On" + camelCase(market::kindName(std::get<1>(info.param)));
}

/// The part of an answer's body that reaches the client before the fault cuts it off.
Bytes receivedPart(FaultType fault, const Bytes& body) {
    // A reset comes after half of the body; a drip sends its first byte with the headers and the
    // next one only after the idle limit has run out.
    return fault == FaultType::ResetMidBody ? body.substr(0, body.size() / 2) : body.substr(0, 1);
}

/// Whether a first look cut to `part` still states the page count (its marker up to the next ",").
bool holdsPageCount(const Bytes& part) {
    const std::size_t at = part.find(R"("totalPage":)");
    return at != Bytes::npos && part.find(',', at) != Bytes::npos;
}

/// Whether a shop search page cut to `part` still holds the whole hidden search address.
bool holdsSearchAddress(const Bytes& part) {
    const std::string input = R"(<input id="J_ShopAsynSearchURL" type="hidden" value=")";
    const std::size_t at = part.find(input);
    return at != Bytes::npos && part.find('"', at + input.size()) != Bytes::npos;
}

Rows slice(const Rows& rows, std::size_t from, std::size_t to) {
    return Rows(rows.begin() + std::ptrdiff_t(std::min(from, rows.size())),
                rows.begin() + std::ptrdiff_t(std::min(to, rows.size())));
}

/// Rows numbered 1, 2, 3, ... as the collector numbers what it appends.
Rows numbered(Rows rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i][0] = std::to_string(i + 1);
    }
    return rows;
}

Rows joined(std::initializer_list<Rows> parts) {
    Rows all;
    for (const Rows& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

/// How many rows from `at` on repeat the leading rows of `page`, compared by item address.
std::size_t leadingRowsOf(const Rows& rows, std::size_t at, const Rows& page) {
    std::size_t kept = 0;
    while (at + kept < rows.size() && kept < page.size() && rows[at + kept][1] == page[kept][1]) {
        ++kept;
    }
    return kept;
}

std::vector<std::string> withLast(std::vector<std::string> lines, const std::string& last) {
    lines.back() = last;
    return lines;
}

/// A run that meets one fault of the simulator on one request of one kind, after a fault-free
/// run of the same settings whose result is the measure.
class FaultMatrix : public CollectorFixture, public ::testing::WithParamInterface<Cell> {
protected:
    void SetUp() override {
        CollectorFixture::SetUp();
        savedIdleLimit_ = fetchIdleLimit();
        CookieStore::shared().clear();
        server.setKeyword(kKeyword, {.listingCount = kListings});
        server.setShop(kShopId, {.itemCount = kShopItems,
                                 .pageSize = kShopPageSize,
                                 .layout = ShopLayout::Plain,
                                 .nick = "小店"});
        settings.setPageLimit(10);
        settings.setQuerySuffix("&tab=all");
    }

    void TearDown() override {
        setFetchIdleLimit(savedIdleLimit_);
        CookieStore::shared().clear();
    }

    std::string shopAddress() const { return server.url("shop" + kShopId, "/"); }

    /// Signs in as a user would in the browser pane, through the shared cookie store.
    void signIn() {
        httpFetch("http://login." + server.domain() + "/member/login.jhtml?TPL_username=buyer&redirectURL=" +
                  "http%3A%2F%2Fwww." + server.domain() + "%2F");
    }

    RunOutcome collect(RequestKind kind) { return run(isShopRequest(kind) ? &collectShop : &collectKeyword); }

    /// The body the faulted request gets when nothing goes wrong (asked before the fault is set).
    Bytes faultFreeAnswer(RequestKind kind) const {
        const auto requests = requestsOf(kind);
        const auto& request = requests.at(std::size_t(faultedRequest(kind) - 1));
        return httpFetch("http://" + request.host + request.target);
    }

    void addFault(FaultType fault, RequestKind kind) {
        market::FaultRule rule;
        rule.type = fault;
        rule.kind = kind;
        rule.firstRequest = faultedRequest(kind);
        rule.delayMs = 500;
        rule.dripIntervalMs = kind == RequestKind::ShopAddressPage ? kObjectIdleLimitMs + 1000 : 1000;
        server.addFault(rule);
    }

    bool faultHit(FaultType fault, RequestKind kind) const {
        const auto requests = requestsOf(kind);
        return std::any_of(requests.begin(), requests.end(),
                           [fault](const market::RequestRecord& r) { return r.fault == fault; });
    }

    /// The rows of result page `page` (from 1) of a fault-free keyword run.
    static Rows resultPage(const RecordingView& clean, int page) {
        return slice(clean.rows, std::size_t((page - 1) * kListingsPerPage),
                     std::size_t(page * kListingsPerPage));
    }

    /// The rows of shop item page `page` (from 1) of a fault-free shop run.
    static Rows shopPage(const RecordingView& clean, int page) {
        return slice(clean.rows, std::size_t((page - 1) * kShopPageSize), std::size_t(page * kShopPageSize));
    }

    /// The rows of page 2 that survived, then what the walk found after it, compared whole.
    void expectPageTwoCut(const Rows& page1, const Rows& page2, const Rows& rest, Damage damage,
                          bool lastFigureMayBeCut) {
        const std::size_t kept = leadingRowsOf(view.rows, page1.size(), page2);
        if (damage == Damage::Lost) {
            EXPECT_EQ(kept, 0u) << "nothing of a lost answer becomes a row";
        }
        Rows expected = joined({page1, slice(page2, 0, kept), rest});
        if (lastFigureMayBeCut && kept > 0) {
            // Figures pair with items by position, so the last item of a cut page may have lost its
            // figure, or the end of its digits, to the cut.
            const std::string& figure = view.rows.at(page1.size() + kept - 1)[4];
            EXPECT_THAT(expected[page1.size() + kept - 1][4], StartsWith(figure));
            expected[page1.size() + kept - 1][4] = figure;
        }
        EXPECT_EQ(view.rows, numbered(expected));
    }

    void expectFirstLook(Damage damage, const RecordingView& clean, RunOutcome outcome,
                         const Bytes& received) {
        if (damage == Damage::None || damage == Damage::Mangled ||
            (damage == Damage::Truncated && holdsPageCount(received))) {
            EXPECT_EQ(outcome, RunOutcome::Finished);
            EXPECT_EQ(view.calls, clean.calls);
            return;
        }
        EXPECT_EQ(outcome, RunOutcome::NoResults);
        EXPECT_THAT(view.calls, ElementsAre("log 关键词：" + kKeyword + " 页数：", "log 获取页数失败！"));
        EXPECT_EQ(view.rows, clean.rows) << "the table keeps the rows of the previous run";
    }

    /// Invalid bytes in the first title of a page: that title keeps its text with the bad bytes
    /// behind it, and everything else is as in the fault-free run.
    void expectOnlyTitleMangled(const RecordingView& clean, std::size_t row) {
        Rows expected = clean.rows;
        const std::string& title = view.rows.at(row)[2];
        EXPECT_THAT(title, StartsWith(expected[row][2]));
        EXPECT_NE(title, expected[row][2]) << "the invalid bytes show behind the title";
        expected[row][2] = title;
        EXPECT_EQ(view.rows, expected);
        EXPECT_EQ(view.callsStartingWith("log"), clean.callsStartingWith("log"));
    }

    void expectResultPage(Damage damage, const RecordingView& clean, RunOutcome outcome) {
        EXPECT_EQ(outcome, RunOutcome::Finished);
        if (damage == Damage::None) {
            EXPECT_EQ(view.calls, clean.calls);
            return;
        }
        if (damage == Damage::Mangled) {
            expectOnlyTitleMangled(clean, kListingsPerPage);
            return;
        }
        // The walk goes on past the page: pages 1 and 3 are whole, page 2 keeps what arrived.
        expectPageTwoCut(resultPage(clean, 1), resultPage(clean, 2), resultPage(clean, 3), damage, false);
        EXPECT_EQ(view.callsStartingWith("log"),
                  withLast(clean.callsStartingWith("log"),
                           "log 采集完毕，共计：" + std::to_string(view.rows.size()) + " 条数据！"));
    }

    void expectItemDetail(Damage damage, const RecordingView& clean, RunOutcome outcome) {
        EXPECT_EQ(outcome, RunOutcome::Finished);
        if (damage == Damage::None || damage == Damage::Mangled) {
            EXPECT_EQ(view.calls, clean.calls);
            return;
        }
        // Only the third row's figure is touched: empty, or what of it arrived.
        Rows expected = clean.rows;
        const std::string& figure = view.rows.at(2)[4];
        if (damage == Damage::Lost) {
            EXPECT_EQ(figure, "");
        }
        EXPECT_THAT(expected[2][4], StartsWith(figure));
        expected[2][4] = figure;
        EXPECT_EQ(view.rows, expected);
        EXPECT_EQ(view.callsStartingWith("log"), clean.callsStartingWith("log"));
    }

    void expectShopAddressPage(Damage damage, const RecordingView& clean, RunOutcome outcome) {
        if (damage == Damage::None || damage == Damage::Mangled) {
            EXPECT_EQ(outcome, RunOutcome::Finished);
            EXPECT_EQ(view.calls, clean.calls);
            return;
        }
        // The request object keeps nothing of a broken answer: no shop id, so no search address
        // to be had, signed in or not.
        EXPECT_EQ(outcome, RunOutcome::NoResults);
        EXPECT_THAT(view.calls,
                    ElementsAre("clearRows", "log 店铺ID：", "log Userid：",
                                "log 获取地址失败，请登录TB账号继续！", "browser " + shopAddress(),
                                "width 1298", "log 获取地址失败！返回！"));
        std::size_t searches = 0;
        for (const auto& request : server.requests()) {
            searches += request.target.starts_with("/search.htm") ? 1 : 0;
        }
        EXPECT_EQ(searches, 21u) << "the first look and twenty attempts";
    }

    void expectShopSearchPage(Damage damage, const RecordingView& clean, RunOutcome outcome,
                              const Bytes& received) {
        EXPECT_EQ(outcome, RunOutcome::Finished);
        if (damage == Damage::None || damage == Damage::Mangled ||
            (damage == Damage::Truncated && holdsSearchAddress(received))) {
            EXPECT_EQ(view.calls, clean.calls);
            return;
        }
        // The first look failed: the browser is uncovered for a sign-in, attempt 1 finds the
        // address, the window narrows again and the walk is that of the fault-free run.
        std::vector<std::string> expected = clean.calls;
        const auto nick = std::find(expected.begin(), expected.end(), "log Userid：小店");
        ASSERT_NE(nick, expected.end());
        expected.insert(nick + 1,
                        {"log 获取地址失败，请登录TB账号继续！", "browser " + shopAddress(), "width 1298"});
        EXPECT_EQ(view.calls, expected);
        const auto searches = requestsOf(RequestKind::ShopSearchPage);
        EXPECT_EQ(std::count_if(searches.begin(), searches.end(),
                                [](const market::RequestRecord& r) { return !r.fault; }),
                  1)
            << "attempt 1 found the address";
    }

    void expectShopItemPage(Damage damage, const RecordingView& clean, RunOutcome outcome) {
        EXPECT_EQ(outcome, RunOutcome::Finished);
        if (damage == Damage::None) {
            EXPECT_EQ(view.calls, clean.calls);
            return;
        }
        if (damage == Damage::Mangled) {
            expectOnlyTitleMangled(clean, kShopPageSize);
            return;
        }
        const Rows page1 = shopPage(clean, 1);
        const Rows page2 = shopPage(clean, 2);
        if (leadingRowsOf(view.rows, page1.size(), page2) == 0) {
            // A page that brings no new item ends the walk, and the summary names it.
            expectPageTwoCut(page1, page2, {}, damage, true);
            std::vector<std::string> logs = clean.callsStartingWith("log");
            logs.resize(5);
            logs.push_back("log 获取完毕，2 页 " + std::to_string(page1.size()) + " 条数据！");
            EXPECT_EQ(view.callsStartingWith("log"), logs);
            return;
        }
        // What arrived of page 2 was new, so the walk went on; the items cut off never show.
        expectPageTwoCut(page1, page2, shopPage(clean, 3), damage, true);
        EXPECT_EQ(view.callsStartingWith("log"),
                  withLast(clean.callsStartingWith("log"),
                           "log 获取完毕，4 页 " + std::to_string(view.rows.size()) + " 条数据！"));
    }

private:
    std::chrono::milliseconds savedIdleLimit_{};
};

TEST_P(FaultMatrix, endsAsForAnEmptyOrCutAnswerAndKeepsTheRowsOfEveryOtherAnswer) {
    const auto [fault, kind] = GetParam();
    const Damage damage = damageOf(fault);
    if (isShopRequest(kind)) {
        signIn();
        settings.setKeyword(shopAddress());
    } else {
        settings.setKeyword(gbk(kKeyword));
    }

    ASSERT_EQ(collect(kind), RunOutcome::Finished);
    const RecordingView clean = view;
    ASSERT_EQ(clean.rows.size(), std::size_t(isShopRequest(kind) ? kShopItems : kListings));
    // Where a cut answer may or may not hold what the collector looks for, the fault-free answer
    // cut the same way tells which.
    const bool cutDecides = damage == Damage::Truncated &&
                            (kind == RequestKind::KeywordFirstLook || kind == RequestKind::ShopSearchPage);
    const Bytes received = cutDecides ? receivedPart(fault, faultFreeAnswer(kind)) : Bytes();

    server.clearRequests();
    if (fault == FaultType::Stall || fault == FaultType::Drip) {
        setFetchIdleLimit(kQuietIdleLimit);
    }
    addFault(fault, kind);
    // The table still holds the fault-free run's rows, as the window would.
    view = {};
    view.rows = clean.rows;
    const RunOutcome outcome = collect(kind);

    ASSERT_TRUE(faultHit(fault, kind));
    if (fault == FaultType::RedirectLoop && kind != RequestKind::ShopAddressPage) {
        const auto requests = server.requests();
        EXPECT_EQ(
            std::count_if(requests.begin(), requests.end(),
                          [](const market::RequestRecord& r) { return r.fault == FaultType::RedirectLoop; }),
            21)
            << "the address and the 20 redirects httpFetch follows before it gives up";
    }
    switch (kind) {
    case RequestKind::KeywordFirstLook:
        expectFirstLook(damage, clean, outcome, received);
        break;
    case RequestKind::ResultPage:
        expectResultPage(damage, clean, outcome);
        break;
    case RequestKind::ItemDetail:
        expectItemDetail(damage, clean, outcome);
        break;
    case RequestKind::ShopAddressPage:
        expectShopAddressPage(damage, clean, outcome);
        break;
    case RequestKind::ShopSearchPage:
        expectShopSearchPage(damage, clean, outcome, received);
        break;
    default:
        expectShopItemPage(damage, clean, outcome);
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryFaultOnEveryRequestKind, FaultMatrix,
    ::testing::Combine(::testing::Values(FaultType::Delay, FaultType::Stall, FaultType::Drip,
                                         FaultType::ResetMidBody, FaultType::ServerError, FaultType::Garbage,
                                         FaultType::HugePage, FaultType::InvalidEncoding,
                                         FaultType::RedirectLoop, FaultType::OversizedHeaders,
                                         FaultType::SignInWall, FaultType::SliderCheck),
                       ::testing::Values(RequestKind::KeywordFirstLook, RequestKind::ResultPage,
                                         RequestKind::ItemDetail, RequestKind::ShopAddressPage,
                                         RequestKind::ShopSearchPage, RequestKind::ShopItemPage)),
    cellName);

} // namespace
} // namespace velmora::test
