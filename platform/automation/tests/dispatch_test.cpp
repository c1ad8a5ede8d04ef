// Member tables and calls through them, as script engines make them.

#include "platform/automation/dispatchable.h"
#include "platform/automation/dispatchmap.h"
#include "platform/automation/objectregistry.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using kestrun::CDispatchable;
using kestrun::CDispatchMap;
using kestrun::CDispatchMapBuilder;
using kestrun::CDispatchMember;
using Args = std::span<const COleVariant>;

// A counter object: "Add" (short) -> long, "Label" (variant) -> variant,
// the property "Step" (read and set), the read-only "Total" and "Reset".
class CCounter : public CDispatchable
{
public:
    const CDispatchMap& GetDispatchMap() const override
    {
        static const CDispatchMap map =
            CDispatchMapBuilder<CCounter>("Counter", "{00000000-0000-0000-0000-000000000001}")
                .Method("Add", VT_I4, {VT_I2},
                        [](CCounter& c, Args a) {
                            ++c.m_nCalls;
                            c.m_nTotal += a[0].iVal * c.m_nStep;
                            return c.m_nTotal;
                        })
                .Method("Label", VT_VARIANT, {VT_VARIANT}, [](CCounter&, Args a) { return a[0]; })
                .Property(
                    "Step", VT_I2, [](CCounter& c, Args) { return static_cast<short>(c.m_nStep); },
                    [](CCounter& c, Args, const COleVariant& v) { c.m_nStep = v.iVal; })
                .ReadOnlyProperty("Total", VT_I2, [](CCounter& c, Args) { return c.m_nTotal; })
                .Method("Reset", VT_EMPTY, {}, [](CCounter& c, Args) { c.m_nTotal = 0; })
                .Method("Fail", VT_EMPTY, {}, [](CCounter&, Args) { AfxThrowInvalidArgException(); })
                .Build();
        return map;
    }

    int m_nTotal = 0;
    int m_nStep = 1;
    int m_nCalls = 0;
};

constexpr WORD kGetOrCall = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

TEST(DispatchMapTest, MembersAreNumberedFromOneInTableOrderAndFoundWithoutRegardToCase)
{
    CCounter counter;
    const CDispatchMap& map = counter.GetDispatchMap();
    ASSERT_EQ(map.GetCount(), 6);
    EXPECT_EQ(map.GetClassId(), "{00000000-0000-0000-0000-000000000001}");
    for (int i = 0; i < map.GetCount(); ++i)
        EXPECT_EQ(map.GetMember(i).m_dispid, i + 1);
    EXPECT_EQ(counter.GetIDOfName("Add"), 1);
    EXPECT_EQ(counter.GetIDOfName("sTeP"), 3);
    EXPECT_EQ(counter.GetIDOfName("TOTAL"), 4);
    EXPECT_EQ(counter.GetIDOfName("Missing"), DISPID_UNKNOWN);
    EXPECT_EQ(counter.GetIDOfName(nullptr), DISPID_UNKNOWN);
    EXPECT_EQ(map.Find(0), nullptr);
    EXPECT_EQ(map.Find(7), nullptr);
    EXPECT_TRUE(map.GetMember(0).IsMethod());
    EXPECT_TRUE(map.GetMember(2).CanWrite());
    EXPECT_FALSE(map.GetMember(3).CanWrite());
    EXPECT_THROW(map.GetMember(6), CInvalidArgException);
}

TEST(DispatchMapTest, ArgumentsAndResultsAreConvertedToTheDeclaredTypes)
{
    CCounter counter;
    // Text that reads as a number is a number; the result comes back as declared.
    const std::vector<COleVariant> args = {COleVariant("3")};
    const COleVariant sum = counter.Invoke("add", kGetOrCall, args);
    EXPECT_EQ(sum.vt, VT_I4);
    EXPECT_EQ(sum.lVal, 3);

    // A variant argument and result pass as they are.
    const std::vector<COleVariant> label = {COleVariant(2.5)};
    EXPECT_EQ(counter.Invoke("Label", DISPATCH_METHOD, label), COleVariant(2.5));

    // The property: set with a value that converts, read back as declared.
    const std::vector<COleVariant> step = {COleVariant(4.0)};
    EXPECT_EQ(counter.Invoke("Step", DISPATCH_PROPERTYPUT, step).vt, VT_EMPTY);
    EXPECT_EQ(counter.m_nStep, 4);
    EXPECT_EQ(counter.Invoke("Step", DISPATCH_PROPERTYGET), COleVariant(static_cast<short>(4)));
    // A property reads with method syntax too; an int result becomes the declared short.
    const COleVariant total = counter.Invoke("Total", DISPATCH_METHOD);
    EXPECT_EQ(total.vt, VT_I2);
    EXPECT_EQ(total.iVal, 3);

    // A member without result gives an empty value.
    EXPECT_EQ(counter.Invoke("Reset", kGetOrCall).vt, VT_EMPTY);
    EXPECT_EQ(counter.m_nTotal, 0);
}

struct BadCall
{
    const char* name;
    WORD kinds;
    std::vector<COleVariant> args;
    HRESULT expected;
    int argError;
};

class DispatchErrorTest : public ::testing::TestWithParam<BadCall>
{
};

TEST_P(DispatchErrorTest, ABadCallIsRefusedWithItsCodeAndCallsNothing)
{
    const BadCall& call = GetParam();
    CCounter counter;
    counter.m_nStep = 5;
    try {
        counter.Invoke(call.name, call.kinds, call.args);
        FAIL() << "no error";
    } catch (const COleDispatchException& e) {
        EXPECT_EQ(e.m_scError, call.expected);
        EXPECT_EQ(e.m_nArgError, call.argError);
        EXPECT_FALSE(e.GetErrorMessage().IsEmpty());
    }
    EXPECT_EQ(counter.m_nCalls, 0);
    EXPECT_EQ(counter.m_nStep, 5);

    // The same without exceptions.
    COleVariant result(7L);
    CString error;
    const DISPID id = counter.GetIDOfName(call.name);
    if (id != DISPID_UNKNOWN) {
        EXPECT_EQ(counter.TryInvoke(id, call.kinds, call.args, result, error), call.expected);
        EXPECT_EQ(result.vt, VT_EMPTY);
        EXPECT_FALSE(error.IsEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Calls, DispatchErrorTest,
    ::testing::Values(BadCall{"Nothing", kGetOrCall, {}, DISP_E_UNKNOWNNAME, -1},
                      BadCall{"Add", kGetOrCall, {}, DISP_E_BADPARAMCOUNT, -1},
                      BadCall{"Add", kGetOrCall, {COleVariant(1L), COleVariant(2L)}, DISP_E_BADPARAMCOUNT, -1},
                      BadCall{"Add", kGetOrCall, {COleVariant("three")}, DISP_E_TYPEMISMATCH, 0},
                      BadCall{"Add", kGetOrCall, {COleVariant(100000L)}, DISP_E_OVERFLOW, 0},
                      // A method is no property: not read as one, never set.
                      BadCall{"Add", DISPATCH_PROPERTYGET, {COleVariant(1L)}, DISP_E_MEMBERNOTFOUND, -1},
                      BadCall{"Add", DISPATCH_PROPERTYPUT, {COleVariant(1L), COleVariant(1L)},
                              DISP_E_MEMBERNOTFOUND, -1},
                      BadCall{"Total", DISPATCH_PROPERTYPUT, {COleVariant(1L)}, DISP_E_MEMBERNOTFOUND, -1},
                      BadCall{"Step", DISPATCH_PROPERTYPUT, {}, DISP_E_BADPARAMCOUNT, -1},
                      BadCall{"Step", DISPATCH_PROPERTYPUT, {COleVariant("x")}, DISP_E_TYPEMISMATCH, 0},
                      // The member's own error reaches the script as its text.
                      BadCall{"Fail", DISPATCH_METHOD, {}, DISP_E_EXCEPTION, -1}));

TEST(DispatchMapTest, AnUnknownIdIsNotFound)
{
    CCounter counter;
    COleVariant result;
    CString error;
    EXPECT_EQ(counter.TryInvoke(42, DISPATCH_METHOD, {}, result, error), DISP_E_MEMBERNOTFOUND);
    EXPECT_THROW(counter.Invoke(0, DISPATCH_METHOD), COleDispatchException);
    EXPECT_EQ(counter.TryInvoke(1, DISPATCH_METHOD, std::vector<COleVariant>{COleVariant(2L)}, result, error), 0);
    EXPECT_EQ(result.lVal, 2);
    EXPECT_TRUE(error.IsEmpty());
}

// Trailing arguments a member declares optional may be left out of a call
// (they arrive empty); more than declared or fewer than required are
// refused.
TEST(DispatchMapTest, OptionalArgumentsMayBeLeftOut)
{
    CDispatchMap map("Opt", "{00000000-0000-0000-0000-000000000002}");
    CDispatchMember member;
    member.m_strName = "Pick";
    member.m_wKinds = DISPATCH_METHOD;
    member.m_vtResult = VT_I4;
    member.m_params = {VT_I4, VT_I4};
    member.m_nOptional = 1;
    member.m_read = [](CDispatchable&, Args a) {
        EXPECT_EQ(a.size(), 2U);
        return COleVariant(a[1].vt == VT_EMPTY ? -a[0].lVal : a[0].lVal + a[1].lVal);
    };
    const DISPID pick = map.Add(member);
    CCounter object;
    const COleVariant one("1");
    const COleVariant two(2L);
    EXPECT_EQ(map.Invoke(object, pick, DISPATCH_METHOD, std::vector<COleVariant>{one, two}).lVal, 3);
    EXPECT_EQ(map.Invoke(object, pick, DISPATCH_METHOD, std::vector<COleVariant>{one}).lVal, -1);
    for (const std::vector<COleVariant>& wrong : {std::vector<COleVariant>{}, std::vector<COleVariant>{one, two, two}}) {
        try {
            map.Invoke(object, pick, DISPATCH_METHOD, wrong);
            ADD_FAILURE() << wrong.size();
        } catch (const COleDispatchException& e) {
            EXPECT_EQ(e.m_scError, DISP_E_BADPARAMCOUNT);
        }
    }
}

TEST(DispatchMapTest, TheTableRefusesMembersItCannotCall)
{
    CDispatchMap map("Test", "{}");
    auto member = [](const char* name, WORD kinds, bool read, bool write) {
        CDispatchMember m;
        m.m_strName = name;
        m.m_wKinds = kinds;
        if (read)
            m.m_read = [](CDispatchable&, Args) { return COleVariant(); };
        if (write)
            m.m_write = [](CDispatchable&, Args, const COleVariant&) {};
        return m;
    };
    EXPECT_EQ(map.Add(member("Run", DISPATCH_METHOD, true, false)), 1);
    EXPECT_THROW(map.Add(member("RUN", DISPATCH_METHOD, true, false)), CInvalidArgException);
    EXPECT_THROW(map.Add(member("", DISPATCH_METHOD, true, false)), CInvalidArgException);
    EXPECT_THROW(map.Add(member("NoCall", DISPATCH_METHOD, false, false)), CInvalidArgException);
    EXPECT_THROW(map.Add(member("NoPut", DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT, true, false)),
                 CInvalidArgException);
    EXPECT_THROW(map.Add(member("Both", DISPATCH_METHOD | DISPATCH_PROPERTYGET, true, false)), CInvalidArgException);
    CDispatchMember emptyArgument = member("Empty", DISPATCH_METHOD, true, false);
    emptyArgument.m_params = {VT_I2, VT_EMPTY};
    EXPECT_THROW(map.Add(emptyArgument), CInvalidArgException);
    EXPECT_EQ(map.Add(member("Value", DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT, true, true)), 2);
    EXPECT_EQ(map.GetCount(), 2);
}

} // namespace

namespace {

// A member declared with a variant argument receives the caller's
// variable and may change it: the database form redimensions the array a
// script hands it.
class CResizer : public kestrun::CDispatchable
{
public:
    const kestrun::CDispatchMap& GetDispatchMap() const override
    {
        static const kestrun::CDispatchMap map =
            kestrun::CDispatchMapBuilder<CResizer>("Resizer", "{00000000-0000-0000-0000-000000000002}")
                .Method("Grow", VT_I2, {VT_VARIANT},
                        [](CResizer&, std::span<const COleVariant> args) {
                            CVariantArray& array = const_cast<COleVariant&>(args[0]).GetArray();
                            array.Redim({{array.GetLBound(1), 16}}, true);
                            return short(16);
                        })
                .Method("Half", VT_I4, {VT_I4},
                        [](CResizer&, std::span<const COleVariant> args) { return args[0].lVal / 2; })
                .Build();
        return map;
    }
};

TEST(DispatchByRef, AMemberMayRedimensionTheCallersArray)
{
    CResizer resizer;
    COleVariant array = COleVariant::Array(CVariantArray({{1, 10}}));
    const COleVariant args[] = {COleVariant::ByRef(array)};
    EXPECT_EQ(resizer.Invoke("Grow", DISPATCH_METHOD, args), COleVariant(short(16)));
    EXPECT_EQ(array.GetArray().GetLBound(1), 1);
    EXPECT_EQ(array.GetArray().GetUBound(1), 16);

    COleVariant number("8");
    const COleVariant typed[] = {COleVariant::ByRef(number)};
    EXPECT_EQ(resizer.Invoke("Half", DISPATCH_METHOD, typed), COleVariant(LONG(4)));
    EXPECT_EQ(number, COleVariant("8")); // converted for the call, not in place
}

TEST(ObjectRegistry, CreatesByProgramIdWithoutRegardToCase)
{
    kestrun::RegisterObjectFactory("Test.Resizer", [] { return std::make_shared<CResizer>(); });
    EXPECT_NE(kestrun::CreateDispatchObject("test.RESIZER"), nullptr);
    kestrun::UnregisterObjectFactory("Test.Resizer");
    EXPECT_EQ(kestrun::CreateDispatchObject("Test.Resizer"), nullptr);
    EXPECT_EQ(kestrun::CreateDispatchObject("Excel.Application"), nullptr);
    EXPECT_THROW(kestrun::RegisterObjectFactory("", [] { return std::make_shared<CResizer>(); }),
                 CInvalidArgException);
}

} // namespace
