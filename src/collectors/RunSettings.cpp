#include "collectors/RunSettings.h"

#include <utility>

namespace velmora {

Text RunSettings::keyword() const {
    std::lock_guard lock(mutex_);
    return keyword_;
}

void RunSettings::setKeyword(Text value) {
    std::lock_guard lock(mutex_);
    keyword_ = std::move(value);
}

Text RunSettings::querySuffix() const {
    std::lock_guard lock(mutex_);
    return querySuffix_;
}

void RunSettings::setQuerySuffix(Text value) {
    std::lock_guard lock(mutex_);
    querySuffix_ = std::move(value);
}

std::int32_t RunSettings::pageLimit() const {
    std::lock_guard lock(mutex_);
    return pageLimit_;
}

void RunSettings::setPageLimit(std::int32_t value) {
    std::lock_guard lock(mutex_);
    pageLimit_ = value;
}

Text RunSettings::sortSuffix() const {
    std::lock_guard lock(mutex_);
    return sortSuffix_;
}

void RunSettings::setSortSuffix(Text value) {
    std::lock_guard lock(mutex_);
    sortSuffix_ = std::move(value);
}

bool RunSettings::filterEnabled() const {
    std::lock_guard lock(mutex_);
    return filterEnabled_;
}

void RunSettings::setFilterEnabled(bool value) {
    std::lock_guard lock(mutex_);
    filterEnabled_ = value;
}

Text RunSettings::filterWord() const {
    std::lock_guard lock(mutex_);
    return filterWord_;
}

void RunSettings::setFilterWord(Text value) {
    std::lock_guard lock(mutex_);
    filterWord_ = std::move(value);
}

} // namespace velmora
