// A list of object pointers, first in first out, that the framework's
// filters keep their queues and pools in. It does not own what it holds.
#pragma once

#include <algorithm>
#include <list>

template <class T>
class K_CGenericList {
public:
    K_CGenericList() = default;
    K_CGenericList(const K_CGenericList&) = delete;
    K_CGenericList& operator=(const K_CGenericList&) = delete;

    void AddTail(T* item) { items_.push_back(item); }
    void AddHead(T* item) { items_.push_front(item); }
    // Null when the list is empty.
    T* RemoveHead() {
        if (items_.empty()) return nullptr;
        T* item = items_.front();
        items_.pop_front();
        return item;
    }
    // False when the item is not in the list.
    bool Remove(T* item) {
        auto found = std::find(items_.begin(), items_.end(), item);
        if (found == items_.end()) return false;
        items_.erase(found);
        return true;
    }
    T* GetHead() const { return items_.empty() ? nullptr : items_.front(); }
    int GetCount() const { return static_cast<int>(items_.size()); }
    bool IsEmpty() const { return items_.empty(); }

    // Calls `visit` on each item from the head on.
    template <class Visit>
    void ForEach(Visit visit) const {
        for (T* item : items_) visit(item);
    }

private:
    std::list<T*> items_;
};
