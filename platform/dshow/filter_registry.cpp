// The registry of filters: the platform's own and those tests add, by merit,
// and the match of a filter's input types against what a pin offers.
#include "platform/dshow/filter_registry.h"

#include <algorithm>
#include <mutex>

#include "platform/profile/machine_profile.h"

namespace platform::dshow {
namespace {

std::mutex addedLock;
std::vector<RegisteredFilter>& Added() {
    static std::vector<RegisteredFilter>* added = new std::vector<RegisteredFilter>;
    return *added;
}

void ForgetAddedFilters() {
    std::lock_guard<std::mutex> hold(addedLock);
    Added().clear();
}

const ResetHook kAddedFiltersReset(ForgetAddedFilters);

bool Matches(const GUID& wanted, const GUID& offered) {
    return IsEqualGUID(wanted, GUID_NULL) || IsEqualGUID(offered, GUID_NULL) || IsEqualGUID(wanted, offered);
}

}  // namespace

void AddRegisteredFilter(const RegisteredFilter& filter) {
    std::lock_guard<std::mutex> hold(addedLock);
    Added().push_back(filter);
}

std::vector<RegisteredFilter> RegisteredFilters() {
    std::vector<RegisteredFilter> all = BuiltInFilters();
    {
        std::lock_guard<std::mutex> hold(addedLock);
        all.insert(all.end(), Added().begin(), Added().end());
    }
    std::stable_sort(all.begin(), all.end(),
                     [](const RegisteredFilter& a, const RegisteredFilter& b) { return a.merit > b.merit; });
    return all;
}

bool TakesAnyOf(const std::vector<RegisteredMediaType>& inputTypes,
                const std::vector<RegisteredMediaType>& offered) {
    if (inputTypes.empty() || offered.empty()) return true;
    for (const RegisteredMediaType& wanted : inputTypes) {
        for (const RegisteredMediaType& type : offered) {
            if (Matches(wanted.majorType, type.majorType) && Matches(wanted.subtype, type.subtype)) return true;
        }
    }
    return false;
}

}  // namespace platform::dshow
