#include "collectors/collectKeyword.h"

#include "collectors/lookupSales.h"
#include "http/httpFetch.h"
#include "text/RegexObject.h"
#include "text/bytes.h"
#include "text/codePages.h"
#include "text/decodeEscapes.h"
#include "text/numbers.h"
#include "text/search.h"
#include "text/textBetween.h"
#include "text/urlEncode.h"

namespace velmora {

namespace {

constexpr std::string_view kListingPattern =
    R"re("nid":"(\d+)".*?raw_title":"(.*?)".*?,"detail_url":"(.*?)".*?user_id":"(.*?)","nick":"(.*?)")re";
constexpr int kListingsPerPage = 44;

/// The status label's count caption, converted once: it is written after every listing.
const Text& countCaption() {
    static const Text caption = utf8ToAnsi(" _ 数量：");
    return caption;
}

/// The search answers in UTF-8; everything downstream works in code page 936.
Text fetchSearchPage(const Text& address) {
    return utf8ToAnsi(bytesToText(httpFetch(address)));
}

class KeywordRun {
public:
    explicit KeywordRun(const RunContext& run)
        : run_(run), view_(run.view), keyword_(run.settings.keyword()),
          querySuffix_(run.settings.querySuffix()), pageLimit_(run.settings.pageLimit()) {}

    RunOutcome collect() {
        Text pageText = fetchSearchPage(searchAddress());
        pageCountText_ = textBetween(pageText, R"("totalPage":)", ",");
        if (pageCountText_.empty()) {
            pageCountText_ = textBetween(pageText, ",max:", ",");
        }
        view_.log(utf8ToAnsi("关键词：") + keyword_ + utf8ToAnsi(" 页数：") + pageCountText_);
        if (pageCountText_.empty()) {
            view_.log(utf8ToAnsi("获取页数失败！"));
            return RunOutcome::NoResults;
        }

        view_.clearRows();
        const int pageCount = textToInt(pageCountText_);
        for (int pageNumber = 1; pageNumber <= pageCount && pageNumber <= pageLimit_; ++pageNumber) {
            if (!collectPage(pageNumber)) {
                return RunOutcome::Stopped;
            }
        }

        const Text rows = intToText(view_.rowCount());
        view_.setStatusText(utf8ToAnsi("共计：") + rows);
        view_.log(utf8ToAnsi("采集完毕，共计：") + rows + utf8ToAnsi(" 条数据！"));
        return RunOutcome::Finished;
    }

private:
    // The sort order is read afresh for every address: the user may change it during a run.
    Text searchAddress() const {
        return run_.endpoints.searchBase() + urlEncodeKeyword(keyword_) + run_.settings.sortSuffix() +
               querySuffix_;
    }

    /// One result page; false when the run was stopped.
    bool collectPage(int pageNumber) {
        view_.log(intToText(pageNumber) + "/" + pageCountText_);
        const Text pageText = fetchSearchPage(searchAddress() + "&promote=0&bcoffset=-4&s=" +
                                              numberToText(double(pageNumber - 1) * kListingsPerPage));
        listingMatcher_.execute(kListingPattern, pageText);
        const int matches = listingMatcher_.matchCount();
        for (int match = 1; match <= matches; ++match) {
            collectListing(pageNumber, match);
            if (stopRequested()) {
                return false;
            }
        }
        return !stopRequested();
    }

    void collectListing(int pageNumber, int match) {
        const Text link = listingMatcher_.subMatchText(match, 3);
        if (!run_.settings.filterEnabled() || findText(link, run_.settings.filterWord()) != -1) {
            const int row = view_.appendRow(intToText(view_.rowCount() + 1));
            view_.setCell(row, 1, "http:" + decodeEscapes(link));
            view_.setCell(row, 2, listingMatcher_.subMatchText(match, 2));
            view_.setCell(row, 3, listingMatcher_.subMatchText(match, 5));
            view_.setCell(row, 4, lookupSales(listingMatcher_.subMatchText(match, 1), run_.endpoints));
        }
        view_.setStatusText(intToText(pageNumber) + "/" + pageCountText_ + countCaption() +
                            intToText(view_.rowCount()));
    }

    const RunContext& run_;
    RunView& view_;
    const Text keyword_;
    const Text querySuffix_;
    const int pageLimit_;
    Text pageCountText_;
    RegexObject listingMatcher_;
};

} // namespace

Text urlEncodeKeyword(std::string_view keyword) {
    return urlEncode(keyword, "+");
}

RunOutcome collectKeyword(const RunContext& run) {
    return KeywordRun(run).collect();
}

} // namespace velmora
