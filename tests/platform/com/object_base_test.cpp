// The object base: counting, destruction at zero, and QueryInterface over
// the listed interfaces of an object that is two at once.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/com/object_base.h"

namespace {

constexpr GUID IID_ITestFoo = {0x0B7E0001u, 0x1u, 0x2u, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr GUID IID_ITestBar = {0x0B7E0002u, 0x1u, 0x2u, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr GUID IID_ITestUnlisted = {0x0B7E0003u, 0x1u, 0x2u, {1, 2, 3, 4, 5, 6, 7, 8}};

struct ITestFoo : IUnknown {
    virtual int WINAPI Foo() = 0;
};
struct ITestBar : IUnknown {
    virtual int WINAPI Bar() = 0;
};

}  // namespace

namespace platform::com {
template <>
struct InterfaceId<ITestFoo> {
    static constexpr const GUID& value = IID_ITestFoo;
};
template <>
struct InterfaceId<ITestBar> {
    static constexpr const GUID& value = IID_ITestBar;
};
}  // namespace platform::com

namespace {

class FooBar final : public platform::com::Object<FooBar, ITestFoo, ITestBar> {
public:
    explicit FooBar(int* destroyed) : destroyed_(destroyed) {}
    int WINAPI Foo() override { return 1; }
    int WINAPI Bar() override { return 2; }

private:
    ~FooBar() override { ++*destroyed_; }
    int* destroyed_;
};

TEST(ObjectBaseTest, TheLastReleaseDestroysTheObjectOnce) {
    int destroyed = 0;
    ITestFoo* foo = new FooBar(&destroyed);
    EXPECT_EQ(foo->AddRef(), 2u);
    EXPECT_EQ(foo->AddRef(), 3u);
    EXPECT_EQ(foo->Release(), 2u);
    EXPECT_EQ(foo->Release(), 1u);
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(foo->Release(), 0u);
    EXPECT_EQ(destroyed, 1);
}

TEST(ObjectBaseTest, QueryInterfaceFindsEachListedInterfaceOfOneObject) {
    int destroyed = 0;
    FooBar* object = new FooBar(&destroyed);
    ITestFoo* foo = object;
    ITestBar* bar = object;

    void* found = reinterpret_cast<void*>(1);
    ASSERT_EQ(foo->QueryInterface(IID_ITestBar, &found), S_OK);
    EXPECT_EQ(found, static_cast<void*>(bar));
    EXPECT_EQ(static_cast<ITestBar*>(found)->Bar(), 2);
    ASSERT_EQ(bar->QueryInterface(IID_ITestFoo, &found), S_OK);
    EXPECT_EQ(found, static_cast<void*>(foo));
    EXPECT_EQ(static_cast<ITestFoo*>(found)->Foo(), 1);

    // IUnknown is the same pointer whichever interface is asked.
    void* unknownFromFoo = nullptr;
    void* unknownFromBar = nullptr;
    ASSERT_EQ(foo->QueryInterface(IID_IUnknown, &unknownFromFoo), S_OK);
    ASSERT_EQ(bar->QueryInterface(IID_IUnknown, &unknownFromBar), S_OK);
    EXPECT_EQ(unknownFromFoo, unknownFromBar);

    // Each success above added a reference.
    EXPECT_EQ(bar->AddRef(), 6u);
    EXPECT_EQ(foo->Release(), 5u);

    // Unlisted or null: no reference taken, nothing handed out.
    found = reinterpret_cast<void*>(1);
    EXPECT_EQ(bar->QueryInterface(IID_ITestUnlisted, &found), E_NOINTERFACE);
    EXPECT_EQ(found, nullptr);
    EXPECT_EQ(foo->QueryInterface(IID_ITestFoo, nullptr), E_POINTER);

    // The references taken through either interface all count on the one object.
    for (int i = 0; i < 4; ++i) (i % 2 == 0 ? static_cast<IUnknown*>(foo) : bar)->Release();
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(bar->Release(), 0u);
    EXPECT_EQ(destroyed, 1);
}

TEST(ObjectBaseTest, CreateHandsOutTheAskedInterfaceOrDestroysTheObject) {
    int destroyed = 0;
    void* made = nullptr;
    ASSERT_EQ(FooBar::Create(IID_ITestBar, &made, &destroyed), S_OK);
    ITestBar* bar = static_cast<ITestBar*>(made);
    EXPECT_EQ(bar->Bar(), 2);
    EXPECT_EQ(bar->Release(), 0u);
    EXPECT_EQ(destroyed, 1);

    made = reinterpret_cast<void*>(1);
    EXPECT_EQ(FooBar::Create(IID_ITestUnlisted, &made, &destroyed), E_NOINTERFACE);
    EXPECT_EQ(made, nullptr);
    EXPECT_EQ(destroyed, 2);
}

TEST(ObjectBaseTest, ThreadsCountingAtOnceLoseNoReference) {
    int destroyed = 0;
    ITestFoo* foo = new FooBar(&destroyed);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([foo] {
            for (int i = 0; i < 10000; ++i) {
                foo->AddRef();
                foo->Release();
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(foo->Release(), 0u);
    EXPECT_EQ(destroyed, 1);
}

}  // namespace
