// The handle table and CloseHandle (for every kind but listings and change
// notifications, which calls of their own end). Handle values count up in steps of four and are never
// reused, so a stale handle cannot reach a newer object.
#include <mutex>
#include <new>
#include <unordered_map>

#include "platform/kernel/kernel.h"
#include "platform/kernel/kernel_objects.h"
#include "platform/kernel/threads.h"

namespace platform::detail {
namespace {

struct HandleTable {
    std::mutex lock;
    std::unordered_map<uintptr_t, std::shared_ptr<KernelObject>> objects;
    uintptr_t nextValue = 0x1000;
};

HandleTable& Table() {
    static HandleTable* table = new HandleTable;  // outlives threads still running at exit
    return *table;
}

}  // namespace

HANDLE InsertHandle(std::shared_ptr<KernelObject> object) {
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    try {
        uintptr_t value = table.nextValue;
        table.objects.emplace(value, std::move(object));
        table.nextValue += 4;
        return reinterpret_cast<HANDLE>(value);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::shared_ptr<KernelObject> LookUpHandle(HANDLE handle) {
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    if (found == table.objects.end()) return nullptr;
    return found->second;
}

void LookUpHandles(const HANDLE* handles, size_t count, ShortList<std::shared_ptr<KernelObject>, 64>& objects) {
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    for (size_t i = 0; i < count; ++i) {
        auto found = table.objects.find(reinterpret_cast<uintptr_t>(handles[i]));
        objects.push_back(found == table.objects.end() ? nullptr : found->second);
    }
}

bool RemoveHandle(HANDLE handle) {
    return RemoveHandleIf(handle, [](ObjectKind) { return true; });
}

bool RemoveHandleIf(HANDLE handle, bool (*accepts)(ObjectKind kind)) {
    std::shared_ptr<KernelObject> removed;  // destroyed after the lock is released
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    if (found == table.objects.end() || !accepts(found->second->kind)) return false;
    removed = std::move(found->second);
    table.objects.erase(found);
    return true;
}

}  // namespace platform::detail

BOOL WINAPI CloseHandle(HANDLE handle) {
    if (handle == platform::detail::kCurrentThreadPseudoHandle) return TRUE;
    using platform::detail::ObjectKind;
    if (!platform::detail::RemoveHandleIf(handle, [](ObjectKind kind) {
            return kind != ObjectKind::Find && kind != ObjectKind::ChangeNotification;
        })) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
