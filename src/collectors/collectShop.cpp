#include "collectors/collectShop.h"

#include "collectors/SeenItemSet.h"
#include "collectors/extractItemId.h"
#include "collectors/pauseWithEvents.h"
#include "http/httpFetch.h"
#include "http/httpFetchObject.h"
#include "text/RegexObject.h"
#include "text/bytes.h"
#include "text/codePages.h"
#include "text/decodeEscapes.h"
#include "text/numbers.h"
#include "text/percentDecode.h"
#include "text/search.h"

namespace velmora {

namespace {

constexpr std::string_view kShopIdPattern = R"re(shopId=(\d+))re";
constexpr std::string_view kSellerNickPattern = R"re(data-nick="(.*?)")re";
constexpr std::string_view kSearchAddressPattern =
    R"re(<input id="J_ShopAsynSearchURL" type="hidden" value="(.*?)")re";
constexpr std::string_view kPlainItemPattern =
    R"re(class="item-name" href="(.*?)" target="_blank">(.*?)</a>  )re";
constexpr std::string_view kTmallItemPattern =
    R"re(class="item-name".*?href="(.*?)" target="_blank">(.*?)</a>\s+<div class="attribute">)re";
constexpr std::string_view kSalesPattern = R"re(sale-num\D+(\d+))re";

constexpr int kSignedInWidth = 542;
constexpr int kSignInWidth = 1298;
constexpr int kAttempts = 20;

/// The status label's text, whose captions are converted once: it is written after every new item.
Text collectedStatus(int rows) {
    static const Text before = utf8ToAnsi("采集：");
    static const Text after = utf8ToAnsi(" 条");
    return before + intToText(rows) + after;
}

class ShopRun {
public:
    explicit ShopRun(const RunContext& run) : run_(run), view_(run.view), keyword_(run.settings.keyword()) {}

    RunOutcome collect() {
        view_.clearRows();
        readShop();
        if (!findSearchAddress()) {
            view_.log(utf8ToAnsi("获取地址失败！返回！"));
            return RunOutcome::NoResults;
        }
        asyncSearchAddress_ =
            run_.endpoints.shopBaseAddress(shopId_) + asyncSearchAddress_ + "&tsearch=y&pageNo=";
        view_.log(utf8ToAnsi("获取地址成功！！"));

        walkPage(1);
        view_.log(utf8ToAnsi("第：1 页"));
        if (!collectItems(nullptr)) {
            return RunOutcome::Stopped;
        }
        for (int pageNumber = 2;; ++pageNumber) {
            view_.log(utf8ToAnsi("第：") + intToText(pageNumber) + utf8ToAnsi(" 页"));
            walkPage(pageNumber);
            int newItemsOnPage = 0;
            if (!collectItems(&newItemsOnPage)) {
                return RunOutcome::Stopped;
            }
            if (newItemsOnPage == 0) {
                view_.log(utf8ToAnsi("获取完毕，") + intToText(pageNumber) + utf8ToAnsi(" 页 ") +
                          intToText(view_.rowCount()) + utf8ToAnsi(" 条数据！"));
                return RunOutcome::Finished;
            }
            if (stopRequested()) {
                return RunOutcome::Stopped;
            }
        }
    }

private:
    /// The shop id and the seller's handle from the address the user typed.
    void readShop() {
        const Text pageText = bytesToText(httpFetchObject(keyword_));
        itemMatcher_.execute(kShopIdPattern, pageText);
        shopId_ = itemMatcher_.subMatchText(1, 1);
        view_.log(utf8ToAnsi("店铺ID：") + shopId_);

        itemMatcher_.execute(kSellerNickPattern, pageText);
        sellerNick_ = itemMatcher_.subMatchText(1, 1);
        if (findText(sellerNick_, "%") != -1) {
            sellerNick_ = percentDecode(sellerNick_, true);
        }
        view_.log(utf8ToAnsi("Userid：") + sellerNick_);
    }

    Text fetchSearchAddress(const Text& searchPageAddress) {
        itemMatcher_.execute(kSearchAddressPattern, bytesToText(httpFetch(searchPageAddress)));
        return itemMatcher_.subMatchText(1, 1);
    }

    /// The shop's asynchronous search address; the marketplace hands it out to a signed-in
    /// client only, so the browser pane is uncovered for a sign-in and the page asked again.
    bool findSearchAddress() {
        const Text searchPageAddress = run_.endpoints.shopSearchAddress(shopId_);
        if (fetchSearchAddress(searchPageAddress).empty()) {
            view_.log(utf8ToAnsi("获取地址失败，请登录TB账号继续！"));
            view_.setBrowserAddress(keyword_);
            view_.setWindowWidth(kSignInWidth);
        }
        for (int attempt = 1; attempt <= kAttempts; ++attempt) {
            asyncSearchAddress_ = fetchSearchAddress(searchPageAddress);
            if (!asyncSearchAddress_.empty()) {
                asyncSearchAddress_ = replaceText(asyncSearchAddress_, "amp;", "");
                view_.setWindowWidth(kSignedInWidth);
                return true;
            }
            pauseWithEvents(int(run_.attemptPause.count()));
        }
        return false;
    }

    /// Fetches an item page and runs the sales and item patterns over it.
    void walkPage(int pageNumber) {
        // The asynchronous answer escapes the quotes of its markup; the patterns expect plain markup.
        const Text pageText =
            replaceText(bytesToText(httpFetch(asyncSearchAddress_ + intToText(pageNumber))), "\\", "");
        salesMatcher_.execute(kSalesPattern, pageText);
        const bool tmall = findText(pageText, run_.endpoints.tmallStorefrontMarker()) != -1;
        itemMatcher_.execute(tmall ? kTmallItemPattern : kPlainItemPattern, pageText);
    }

    /// The items of the walked page, counting the new ones from page 2 on; false when the run was stopped.
    bool collectItems(int* newItemsOnPage) {
        const int matches = itemMatcher_.matchCount();
        for (int match = 1; match <= matches; ++match) {
            if (seenItems_.add(extractItemId(itemMatcher_.subMatchText(match, 1)))) {
                if (newItemsOnPage) {
                    ++*newItemsOnPage;
                }
                collectItem(match);
            }
            if (stopRequested()) {
                return false;
            }
        }
        return true;
    }

    void collectItem(int match) {
        const Text title = itemMatcher_.subMatchText(match, 2);
        if (!run_.settings.filterEnabled() || findText(title, run_.settings.filterWord()) != -1) {
            const int row = view_.appendRow(intToText(view_.rowCount() + 1));
            view_.setCell(row, 1, "http:" + decodeEscapes(itemMatcher_.subMatchText(match, 1)));
            view_.setCell(row, 2, title);
            view_.setCell(row, 3, sellerNick_);
            // Sales figures pair with items by position on the page.
            view_.setCell(row, 4, salesMatcher_.subMatchText(match, 1));
        }
        view_.setStatusText(collectedStatus(view_.rowCount()));
    }

    const RunContext& run_;
    RunView& view_;
    const Text keyword_;
    Text shopId_;
    Text sellerNick_;
    Text asyncSearchAddress_;
    RegexObject itemMatcher_;
    RegexObject salesMatcher_;
    SeenItemSet seenItems_;
};

} // namespace

RunOutcome collectShop(const RunContext& run) {
    return ShopRun(run).collect();
}

} // namespace velmora
