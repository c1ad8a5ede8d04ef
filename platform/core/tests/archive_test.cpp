#include "platform/core/archive.h"
#include "platform/core/arrays.h"
#include "platform/core/file.h"
#include "platform/core/maps.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using Bytes = std::vector<BYTE>;

namespace {

// A record with a value, a name and an owned child, to exercise nesting.
class CTestRecord : public CObject
{
    DECLARE_SERIAL(CTestRecord)
public:
    ~CTestRecord() override { delete m_child; }
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar << m_value << m_name << m_child;
        } else {
            ar >> m_value >> m_name;
            CObject* child = nullptr;
            ar >> child;
            m_child = child;
        }
    }
    std::int32_t m_value = 0;
    CString m_name;
    CObject* m_child = nullptr;
};
IMPLEMENT_SERIAL(CTestRecord, CObject, 1)

// A versionable class that remembers the schema it was loaded with.
class CTestOther : public CObject
{
    DECLARE_SERIAL(CTestOther)
public:
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar << m_word;
        } else {
            m_loadedSchema = ar.GetObjectSchema();
            ar >> m_word;
        }
    }
    WORD m_word = 0;
    UINT m_loadedSchema = 0;
};
IMPLEMENT_SERIAL(CTestOther, CObject, VERSIONABLE_SCHEMA | 2)

// A class that is created by name but never stored, like a document or a
// window: a file must not be able to construct it.
class CTestCreatable : public CObject
{
    DECLARE_DYNCREATE(CTestCreatable)
public:
    CTestCreatable() { ++s_nMade; }
    static inline int s_nMade = 0;
};
IMPLEMENT_DYNCREATE(CTestCreatable, CObject)

Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes text(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

template <class Fn>
Bytes store(Fn&& fn)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        fn(ar);
        ar.Close();
    }
    return file.Data();
}

template <class Fn>
void load(const Bytes& bytes, Fn&& fn)
{
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    fn(ar);
}

// Two classes and objects sharing one index counter:
// class CTestRecord = 1, first record = 2, second record = 3,
// class CTestOther = 4, its object = 5; then a back reference and a null.
const Bytes kGoldenGraph = concat({
    {0xFF, 0xFF, 0x01, 0x00, 0x0B, 0x00}, text("CTestRecord"), // new class, schema 1
    {0x07, 0x00, 0x00, 0x00, 0x02}, text("r1"), {0x00, 0x00},  // value 7, "r1", no child
    {0x01, 0x80},                                              // known class 1
    {0x08, 0x00, 0x00, 0x00, 0x00},                            // value 8, "", child:
    {0xFF, 0xFF, 0x02, 0x00, 0x0A, 0x00}, text("CTestOther"),  //   new class, schema 2
    {0x2A, 0x00},                                              //   word 42
    {0x02, 0x00},                                              // back reference to the first record
    {0x00, 0x00},                                              // null object
});

} // namespace

TEST(ArchiveTest, ObjectGraphMatchesGoldenBytes)
{
    CTestRecord first;
    first.m_value = 7;
    first.m_name = "r1";
    CTestRecord second;
    second.m_value = 8;
    auto* other = new CTestOther;
    other->m_word = 42;
    second.m_child = other;

    const Bytes bytes = store([&](CArchive& ar) { ar << &first << &second << &first << static_cast<CObject*>(nullptr); });
    EXPECT_EQ(bytes, kGoldenGraph);

    load(kGoldenGraph, [](CArchive& ar) {
        CTestRecord* a = nullptr;
        CTestRecord* b = nullptr;
        CTestRecord* again = nullptr;
        CObject* none = reinterpret_cast<CObject*>(1);
        ar >> a >> b >> again >> none;
        std::unique_ptr<CTestRecord> ownA(a), ownB(b);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->m_value, 7);
        EXPECT_EQ(a->m_name, "r1");
        EXPECT_EQ(again, a);
        EXPECT_EQ(none, nullptr);
        const auto* child = DYNAMIC_DOWNCAST(CTestOther, b->m_child);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(child->m_word, 42);
        EXPECT_EQ(child->m_loadedSchema, 2u);
    });
}

TEST(ArchiveTest, EveryTruncationRaisesEndOfFileAndLeaksNothing)
{
    for (size_t cut = 0; cut < kGoldenGraph.size() - 4; ++cut) {
        const Bytes truncated(kGoldenGraph.begin(), kGoldenGraph.begin() + static_cast<long>(cut));
        try {
            load(truncated, [](CArchive& ar) {
                CTestRecord* a = nullptr;
                CTestRecord* b = nullptr;
                ar >> a;
                std::unique_ptr<CTestRecord> ownA(a);
                ar >> b;
                std::unique_ptr<CTestRecord> ownB(b);
                CTestRecord* again = nullptr;
                ar >> again;
            });
            ADD_FAILURE() << "no error at cut " << cut;
        } catch (const CArchiveException& e) {
            EXPECT_TRUE(e.m_cause == CArchiveException::endOfFile || e.m_cause == CArchiveException::badClass) << cut;
        }
    }
}

TEST(ArchiveTest, BadTagsAndClassesAreRefused)
{
    struct Case
    {
        const char* what;
        Bytes bytes;
        int cause;
    };
    const Case cases[] = {
        {"class index never defined", {0x05, 0x80}, CArchiveException::badIndex},
        {"object index never defined", {0x07, 0x00}, CArchiveException::badIndex},
        {"class index 0", {0x00, 0x80}, CArchiveException::badIndex},
        {"unknown class", concat({{0xFF, 0xFF, 0x01, 0x00, 0x07, 0x00}, text("CNobody")}), CArchiveException::badClass},
        {"class name too long", concat({{0xFF, 0xFF, 0x01, 0x00, 0x50, 0x00}, Bytes(0x50, 'A')}), CArchiveException::badClass},
        {"wrong schema, not versionable", concat({{0xFF, 0xFF, 0x03, 0x00, 0x0B, 0x00}, text("CTestRecord")}),
         CArchiveException::badSchema},
        {"object reference to a class", concat({{0xFF, 0xFF, 0x02, 0x00, 0x0A, 0x00}, text("CTestOther"), {0x2A, 0x00, 0x01, 0x00}}),
         CArchiveException::badIndex},
        {"schema 0xFFFF, versionable class", concat({{0xFF, 0xFF, 0xFF, 0xFF, 0x0A, 0x00}, text("CTestOther"), {0x2A, 0x00}}),
         CArchiveException::badSchema},
        {"class that is never stored", concat({{0xFF, 0xFF, 0xFF, 0xFF, 0x0E, 0x00}, text("CTestCreatable")}),
         CArchiveException::badClass},
        {"class that is never stored, another schema", concat({{0xFF, 0xFF, 0x01, 0x00, 0x0E, 0x00}, text("CTestCreatable")}),
         CArchiveException::badClass},
    };
    for (const Case& c : cases) {
        try {
            load(c.bytes, [](CArchive& ar) {
                std::vector<std::unique_ptr<CObject>> owned;
                for (;;)
                    owned.emplace_back(ar.ReadObject(nullptr));
            });
            ADD_FAILURE() << c.what;
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, c.cause) << c.what;
        }
    }
    EXPECT_EQ(CTestCreatable::s_nMade, 0);
}

// Each record owns the next: a few levels read, a damaged file that nests
// them without end is refused before the stack runs out.
TEST(ArchiveTest, NestingIsLimited)
{
    const auto chain = [](int levels) {
        Bytes bytes = concat({{0xFF, 0xFF, 0x01, 0x00, 0x0B, 0x00}, text("CTestRecord"), {1, 0, 0, 0, 0}});
        const Bytes next = {0x01, 0x80, 1, 0, 0, 0, 0};
        for (int level = 1; level < levels; ++level)
            bytes.insert(bytes.end(), next.begin(), next.end());
        return concat({bytes, {0x00, 0x00}});
    };
    load(chain(50), [](CArchive& ar) {
        std::unique_ptr<CObject> head(ar.ReadObject(nullptr));
        int levels = 0;
        for (const CObject* o = head.get(); o != nullptr; o = static_cast<const CTestRecord*>(o)->m_child)
            ++levels;
        EXPECT_EQ(levels, 50);
    });
    EXPECT_THROW(load(chain(100000), [](CArchive& ar) { delete ar.ReadObject(nullptr); }), CArchiveException);
}

// A reader that drops what it read: what it took over lives on, the rest
// is deleted, later references to either read as null, classes stay known.
TEST(ArchiveTest, DroppedObjectsAreDeletedAndReadAsNull)
{
    const Bytes bytes = concat({{0xFF, 0xFF, 0x02, 0x00, 0x0A, 0x00}, text("CTestOther"), {0x01, 0x00}, // object 2
                                {0x01, 0x80, 0x02, 0x00},                                               // object 3
                                {0x02, 0x00, 0x03, 0x00},                                               // references
                                {0x01, 0x80, 0x04, 0x00}});                                             // object 4
    load(bytes, [](CArchive& ar) {
        const size_t mark = ar.GetLoadCount();
        std::unique_ptr<CObject> taken(ar.ReadObject(nullptr));
        ar.ReadObject(nullptr);
        EXPECT_EQ(ar.ForgetObject(taken.get(), mark), 2u);
        EXPECT_EQ(ar.ForgetObject(taken.get(), mark), 0u);
        ar.DeleteObjectsSince(mark);
        EXPECT_EQ(ar.ReadObject(nullptr), nullptr);
        EXPECT_EQ(ar.ReadObject(nullptr), nullptr);
        const std::unique_ptr<CObject> later(ar.ReadObject(nullptr));
        ASSERT_NE(later, nullptr);
        EXPECT_EQ(static_cast<const CTestOther&>(*later).m_word, 4);
    });
}

TEST(ArchiveTest, RequestedClassIsChecked)
{
    const Bytes bytes = concat({{0xFF, 0xFF, 0x02, 0x00, 0x0A, 0x00}, text("CTestOther"), {0x2A, 0x00}});
    load(bytes, [](CArchive& ar) {
        CTestRecord* record = nullptr;
        try {
            ar >> record;
            ADD_FAILURE();
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::badClass);
        }
    });
}

TEST(ArchiveTest, OlderVersionableSchemaIsReportedToTheObject)
{
    const Bytes bytes = concat({{0xFF, 0xFF, 0x01, 0x00, 0x0A, 0x00}, text("CTestOther"), {0x05, 0x00},
                                {0x01, 0x80}, {0x06, 0x00}});
    load(bytes, [](CArchive& ar) {
        CTestOther* a = nullptr;
        CTestOther* b = nullptr;
        ar >> a >> b;
        std::unique_ptr<CTestOther> ownA(a), ownB(b);
        EXPECT_EQ(a->m_loadedSchema, 1u);
        EXPECT_EQ(b->m_loadedSchema, 1u) << "the schema of a known class comes from its first record";
        EXPECT_EQ(b->m_word, 6);
    });
}

TEST(ArchiveTest, StringLengthPrefixes)
{
    struct Case
    {
        size_t length;
        Bytes prefix;
    };
    const Case cases[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {65533, {0xFF, 0xFD, 0xFF}},
        {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {65535, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        const CString s(std::string(c.length, 'x'));
        const Bytes bytes = store([&](CArchive& ar) { ar << s; });
        ASSERT_EQ(bytes.size(), c.prefix.size() + c.length) << c.length;
        EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + static_cast<long>(c.prefix.size())), c.prefix) << c.length;
        load(bytes, [&](CArchive& ar) {
            CString back;
            ar >> back;
            EXPECT_EQ(back, s) << c.length;
        });
    }
}

TEST(ArchiveTest, StringsAreStoredInWindows1252)
{
    EXPECT_EQ(store([](CArchive& ar) { ar << CString("µm²"); }), (Bytes{0x03, 0xB5, 'm', 0xB2}));
    EXPECT_EQ(store([](CArchive& ar) { ar << CString("日"); }), (Bytes{0x01, '?'}));
    load(Bytes{0x03, 0xB5, 'm', 0xB2}, [](CArchive& ar) {
        CString s;
        ar >> s;
        EXPECT_EQ(s, "µm²");
    });
    // A wide string (marker 0xFFFE) is read as UTF-16.
    load(Bytes{0xFF, 0xFE, 0xFF, 0x02, 0xB5, 0x00, 0xAC, 0x20}, [](CArchive& ar) {
        CString s;
        ar >> s;
        EXPECT_EQ(s, "µ€");
    });
}

TEST(ArchiveTest, StringLongerThanTheFileIsRefusedBeforeAllocating)
{
    load(Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}, [](CArchive& ar) {
        CString s("kept");
        EXPECT_THROW(ar >> s, CArchiveException);
        EXPECT_EQ(s, "kept");
    });
}

TEST(ArchiveTest, CountsAroundTheWordLimit)
{
    struct Case
    {
        DWORD_PTR count;
        Bytes bytes;
    };
    const Case cases[] = {
        {0, {0x00, 0x00}},
        {0xFFFE, {0xFE, 0xFF}},
        {0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
        {0x10000, {0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(store([&](CArchive& ar) { ar.WriteCount(c.count); }), c.bytes) << c.count;
        load(c.bytes, [&](CArchive& ar) { EXPECT_EQ(ar.ReadCount(), c.count); });
    }
}

TEST(ArchiveTest, ArraysAndMapsInTheirStoredForm)
{
    CWordArray words;
    words.Add(1);
    words.Add(0x0203);
    CStringArray strings;
    strings.Add("a");
    strings.Add("");
    CMap<CString, const char*, int, int> map;
    map["b"] = 2;
    map["a"] = 1;

    const Bytes bytes = store([&](CArchive& ar) {
        words.Serialize(ar);
        strings.Serialize(ar);
        map.Serialize(ar);
    });
    // Map order: "a" in bucket 12, "b" in bucket 13.
    EXPECT_EQ(bytes, (Bytes{0x02, 0x00, 0x01, 0x00, 0x03, 0x02,                  //
                            0x02, 0x00, 0x01, 'a', 0x00,                          //
                            0x02, 0x00, 0x01, 'a', 1, 0, 0, 0, 0x01, 'b', 2, 0, 0, 0}));

    load(bytes, [](CArchive& ar) {
        CWordArray w;
        CStringArray s;
        CMap<CString, const char*, int, int> m;
        w.Serialize(ar);
        s.Serialize(ar);
        m.Serialize(ar);
        EXPECT_EQ(w[1], 0x0203);
        EXPECT_EQ(s.GetSize(), 2);
        int v = 0;
        EXPECT_TRUE(m.Lookup("b", v));
        EXPECT_EQ(v, 2);
    });
}

TEST(ArchiveTest, ArrayCountBeyondTheFileIsRefusedBeforeAllocating)
{
    load(Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F, 1, 2}, [](CArchive& ar) {
        CDWordArray a;
        EXPECT_THROW(a.Serialize(ar), CArchiveException);
        EXPECT_TRUE(a.IsEmpty());
    });
}

TEST(ArchiveTest, ManyObjectsUseTheLongTags)
{
    constexpr int kCount = 0x7FFF;
    std::vector<std::unique_ptr<CTestOther>> objects;
    for (int i = 0; i < kCount; ++i) {
        objects.push_back(std::make_unique<CTestOther>());
        objects.back()->m_word = static_cast<WORD>(i);
    }
    const Bytes bytes = store([&](CArchive& ar) {
        for (const auto& o : objects)
            ar << o.get();
        ar << objects.back().get();
    });
    // The last object has index 0x7FFF + 1: its back reference needs the long tag.
    const Bytes tail(bytes.end() - 6, bytes.end());
    EXPECT_EQ(tail, (Bytes{0xFF, 0x7F, 0x00, 0x80, 0x00, 0x00}));

    load(bytes, [&](CArchive& ar) {
        std::vector<std::unique_ptr<CObject>> loaded;
        for (int i = 0; i < kCount; ++i)
            loaded.emplace_back(ar.ReadObject(RUNTIME_CLASS(CTestOther)));
        EXPECT_EQ(ar.ReadObject(nullptr), loaded.back().get());
        EXPECT_EQ(static_cast<CTestOther*>(loaded[1234].get())->m_word, 1234);
    });
}

TEST(ArchiveTest, ModeMismatchAndClosedArchive)
{
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    BYTE b;
    EXPECT_THROW(ar >> b, CArchiveException);
    ar.Close();
    ar.Close();
    EXPECT_THROW(ar << b, CArchiveException);
}

TEST(RuntimeClassTest, CreateByNameAndKindTests)
{
    std::unique_ptr<CObject> o(CRuntimeClass::CreateObject("CTestRecord"));
    ASSERT_NE(o, nullptr);
    EXPECT_TRUE(o->IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_TRUE(o->IsKindOf(RUNTIME_CLASS(CTestRecord)));
    EXPECT_FALSE(o->IsKindOf(RUNTIME_CLASS(CTestOther)));
    EXPECT_EQ(CRuntimeClass::CreateObject("ctestrecord"), nullptr) << "names are case-sensitive";
    EXPECT_EQ(CRuntimeClass::CreateObject("CObject"), nullptr) << "CObject is abstract";
    EXPECT_EQ(RUNTIME_CLASS(CStringArray)->m_lpszClassName, std::string("CStringArray"));
}
