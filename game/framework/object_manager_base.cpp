// The name-based calls that every resource manager shares: a name is looked
// up by its atom, so names that differ only in letter case are one resource.
#include "game/framework/resource_managers.h"

namespace Manager {

template <typename Handle>
Handle IObjectManager<Handle>::GetHandle(const char* name) {
    return GetHandleByAtom(AddAtomA(name));
}

template <typename Handle>
void IObjectManager<Handle>::Release(const char* name) {
    ReleaseByAtom(AddAtomA(name));
}

template class IObjectManager<int>;

}  // namespace Manager
