// The kernel's object handles: events, threads, files, file listings and
// change notifications are
// objects in one handle table, each tagged with its kind, so that a handle of
// the wrong kind or one already closed is refused with ERROR_INVALID_HANDLE
// instead of being used. Private to the platform.
#pragma once

#include <memory>
#include <new>
#include <utility>

#include "platform/win_types.h"

namespace platform::detail {

// A listing (FindFirstFileA) is closed with FindClose and a change
// notification with FindCloseChangeNotification, never with CloseHandle.
enum class ObjectKind { Event, Thread, File, Find, ChangeNotification };

struct KernelObject {
    explicit KernelObject(ObjectKind objectKind) : kind(objectKind) {}
    virtual ~KernelObject() = default;
    KernelObject(const KernelObject&) = delete;
    KernelObject& operator=(const KernelObject&) = delete;

    const ObjectKind kind;
};

// Adds the object and returns its new handle (never NULL, never -1 or -2).
// Returns NULL when the table cannot grow.
HANDLE InsertHandle(std::shared_ptr<KernelObject> object);
// The object behind an open handle, or nullptr. The object stays alive while
// the caller holds it, even if another thread closes the handle meanwhile.
std::shared_ptr<KernelObject> LookUpHandle(HANDLE handle);
// Up to N objects kept in place, made only as far as they are used: the
// lists of a wait, which are short and asked for often.
template <typename T, size_t N>
class ShortList {
public:
    ShortList() = default;
    ~ShortList() {
        while (size_ > 0) (*this)[--size_].~T();
    }
    ShortList(const ShortList&) = delete;
    ShortList& operator=(const ShortList&) = delete;

    void push_back(T value) {
        new (&slots_[size_]) T(std::move(value));
        ++size_;
    }
    T& operator[](size_t i) { return *std::launder(reinterpret_cast<T*>(&slots_[i])); }
    size_t size() const { return size_; }

private:
    struct alignas(T) Slot {
        unsigned char bytes[sizeof(T)];
    };
    Slot slots_[N];
    size_t size_ = 0;
};

// LookUpHandle for `count` handles at once (at most N), appended to `objects`.
void LookUpHandles(const HANDLE* handles, size_t count, ShortList<std::shared_ptr<KernelObject>, 64>& objects);
// Removes the handle; false when it was not open.
bool RemoveHandle(HANDLE handle);
// Removes the handle when its object is of a kind that `accepts` takes;
// false when it was not open or is of another kind (and then stays open).
bool RemoveHandleIf(HANDLE handle, bool (*accepts)(ObjectKind kind));

// The object behind `handle` when it is of kind `Kind`, else nullptr.
template <typename Object>
std::shared_ptr<Object> LookUpHandleOf(HANDLE handle) {
    std::shared_ptr<KernelObject> object = LookUpHandle(handle);
    if (!object || object->kind != Object::Kind) return nullptr;
    return std::static_pointer_cast<Object>(object);
}

}  // namespace platform::detail
