#pragma once

#include "text/Text.h"

#include <cstdint>
#include <mutex>

namespace velmora {

/// The settings of a collection run, shared by the window and the worker. Every field sits behind
/// one lock and is read as a copy: the UI thread replaces the sort and filter fields during a run, and
/// a stopped worker that has not yet returned may still read while a new run is being set up.
class RunSettings {
public:
    /// The keyword box at the start: a search keyword, or a shop address when it holds "http".
    Text keyword() const;
    void setKeyword(Text value);

    /// The price-range and Tmall-only parameters of the keyword search.
    Text querySuffix() const;
    void setQuerySuffix(Text value);

    /// The largest page number the keyword search fetches.
    std::int32_t pageLimit() const;
    void setPageLimit(std::int32_t value);

    /// The sort parameter of the keyword search ("" or "&sort=sale-desc").
    Text sortSuffix() const;
    void setSortSuffix(Text value);

    /// Whether the filter word narrows the rows.
    bool filterEnabled() const;
    void setFilterEnabled(bool value);

    /// The filter word.
    Text filterWord() const;
    void setFilterWord(Text value);

private:
    mutable std::mutex mutex_;
    Text keyword_;
    Text querySuffix_;
    std::int32_t pageLimit_ = 0;
    Text sortSuffix_;
    bool filterEnabled_ = false;
    Text filterWord_;
};

} // namespace velmora
