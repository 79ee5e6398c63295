// The reference count and interface lookup of the framework's filter
// objects. Each object answers through a non-delegating unknown; its public
// IUnknown calls go to its owner, which is the object itself unless another
// object aggregates it. An object is made with one reference, which the
// maker holds, and deletes itself when the last one goes.
#pragma once

#include <atomic>

#include "platform/dshow/dshow.h"

// The object's own lookup and count, which an owner calls.
class K_INonDelegatingUnknown {
public:
    virtual HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG NonDelegatingAddRef() = 0;
    virtual ULONG NonDelegatingRelease() = 0;

protected:
    ~K_INonDelegatingUnknown() = default;
};

class K_CUnknown : public K_INonDelegatingUnknown {
public:
    // `owner` null: the object owns itself.
    K_CUnknown(const char* objectName, IUnknown* owner);
    virtual ~K_CUnknown() = default;
    K_CUnknown(const K_CUnknown&) = delete;
    K_CUnknown& operator=(const K_CUnknown&) = delete;

    // Answers IUnknown with the non-delegating unknown.
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;
    ULONG NonDelegatingAddRef() override;
    ULONG NonDelegatingRelease() override;

    // Where the object's IUnknown calls go.
    IUnknown* GetOwner() const { return owner_; }
    const char* ObjectName() const { return objectName_; }

private:
    // The non-delegating unknown seen as an IUnknown.
    class Inner final : public IUnknown {
    public:
        explicit Inner(K_CUnknown* object) : object_(object) {}
        HRESULT WINAPI QueryInterface(REFIID iid, void** object) override {
            return object_->NonDelegatingQueryInterface(iid, object);
        }
        ULONG WINAPI AddRef() override { return object_->NonDelegatingAddRef(); }
        ULONG WINAPI Release() override { return object_->NonDelegatingRelease(); }

    private:
        K_CUnknown* object_;
    };

    const char* objectName_;
    Inner inner_;
    IUnknown* owner_;
    std::atomic<LONG> references_{1};
};

// Hands out `unknown` as the interface asked for, with a reference.
HRESULT K_GetInterface(IUnknown* unknown, void** object);

// The IUnknown calls of a class that derives from K_CUnknown and from
// interfaces: all of them go to the owner.
#define K_DECLARE_IUNKNOWN                                                                  \
    HRESULT WINAPI QueryInterface(REFIID iid, void** object) override {                     \
        return GetOwner()->QueryInterface(iid, object);                                     \
    }                                                                                       \
    ULONG WINAPI AddRef() override { return GetOwner()->AddRef(); }                         \
    ULONG WINAPI Release() override { return GetOwner()->Release(); }
