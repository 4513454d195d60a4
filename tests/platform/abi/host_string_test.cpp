#include "platform/abi/host_string.h"
#include "platform/abi/host_string_var.h"
#include "platform/abi/memory_manager.h"
#include "platform/base/errors.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

using namespace hostabi;

namespace {
constexpr auto kConstant = constHostString("Productie");
}

TEST(HostString, LayoutHasCountAndLengthBeforeTheCharactersAndAZeroAfter) {
    char* s = strNew("abc", 3);
    const auto* header = reinterpret_cast<const std::int32_t*>(s) - 2;
    EXPECT_EQ(header[0], 1);
    EXPECT_EQ(header[1], 3);
    EXPECT_STREQ(s, "abc");
    EXPECT_EQ(strNew("", 0), nullptr); // the empty string is null
    strRelease(s);
}

TEST(HostString, AssignSharesAndTheLastReleaseFrees) {
    const std::size_t before = mem::blockCount();
    char* a = strFromQString(QStringLiteral("Reteta"));
    EXPECT_EQ(mem::blockCount(), before + 1);
    char* b = nullptr;
    strAssign(b, a);
    EXPECT_EQ(b, a);
    EXPECT_EQ(strRefCount(a), 2);
    strAssign(b, b); // self-assignment keeps the string
    EXPECT_EQ(strRefCount(a), 2);
    EXPECT_EQ(mem::blockCount(), before + 1);

    strRelease(a);
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(strRefCount(b), 1);
    EXPECT_EQ(mem::blockCount(), before + 1);
    strRelease(b);
    EXPECT_EQ(mem::blockCount(), before);
}

TEST(HostString, ConstantIsNeverCountedOrReleased) {
    const std::size_t before = mem::blockCount();
    char* var = nullptr;
    strAssign(var, kConstant.str());
    strAddRef(var);
    EXPECT_EQ(var, kConstant.str()); // handed over without a copy
    EXPECT_EQ(strRefCount(var), kConstantRefCount);
    strRelease(var);
    EXPECT_EQ(kConstant.header.refCount, kConstantRefCount);
    EXPECT_EQ(mem::blockCount(), before);

    // Changing it needs a copy of its own.
    HostString h(kConstant);
    char* data = h.mutableData();
    EXPECT_NE(data, kConstant.str());
    EXPECT_EQ(h.refCount(), 1);
    EXPECT_EQ(h.toQString(), QStringLiteral("Productie"));
    EXPECT_EQ(mem::blockCount(), before + 1);
}

TEST(HostString, MakeUniqueCopiesOnlyWhenShared) {
    HostString a(QStringLiteral("abc"));
    char* original = a.get();
    EXPECT_EQ(a.mutableData(), original);

    HostString b = a;
    EXPECT_EQ(a.refCount(), 2);
    b.mutableData()[0] = 'x';
    EXPECT_NE(b.get(), original);
    EXPECT_EQ(a.toQString(), QStringLiteral("abc"));
    EXPECT_EQ(b.toQString(), QStringLiteral("xbc"));
    EXPECT_EQ(a.refCount(), 1);
}

TEST(HostString, HandlesReleaseTheirReferences) {
    const std::size_t before = mem::blockCount();
    {
        HostString a(QStringLiteral("abc"));
        HostString b = a;
        HostString c = std::move(b);
        EXPECT_TRUE(b.empty());
        EXPECT_EQ(a.refCount(), 2);
        c = HostString(QStringLiteral("def"));
        EXPECT_EQ(a.refCount(), 1);
        char* owned = c.take();
        EXPECT_EQ(strRefCount(owned), 1);
        HostString::adopt(owned);
    }
    EXPECT_EQ(mem::blockCount(), before);
}

TEST(HostString, ConvertsThroughCodePage1250) {
    HostString s(QStringLiteral("Rețetă ȘȚ"));
    EXPECT_EQ(QByteArray(s.c_str(), s.size()), QByteArray("Re\xFE"
                                                          "et\xE3 \xAA\xDE"));
    EXPECT_EQ(s.toQString(), QStringLiteral("Reţetă ŞŢ")); // stored as the cedilla forms

    const std::size_t before = mem::blockCount();
    EXPECT_THROW(HostString(QStringLiteral("Ж")), base::ConversionError);
    EXPECT_EQ(mem::blockCount(), before);
}

TEST(HostStringVar, StoreReleasesThePreviousString) {
    char* slot = strFromQString(QStringLiteral("vechi"));
    HostString previous = HostString::share(slot);
    EXPECT_EQ(previous.refCount(), 2);

    HostStringVar var(&slot);
    var.store(QStringLiteral("nou"));
    EXPECT_EQ(previous.refCount(), 1);
    EXPECT_EQ(var.toQString(), QStringLiteral("nou"));
    EXPECT_EQ(var.load().refCount(), 2); // the slot's reference and the loaded one

    var.store(kConstant);
    EXPECT_EQ(slot, kConstant.str());
    var.clear();
    EXPECT_EQ(slot, nullptr);

    HostStringVar none(nullptr);
    EXPECT_THROW(none.store(previous), std::invalid_argument);
    EXPECT_TRUE(none.load().empty());
}
