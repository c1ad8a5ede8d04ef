#include "objectmodel/arrayobjectsxml.h"
#include "objectmodel/baseobj.h"
#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "platform/core/exceptions.h"
#include "platform/core/file.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/core/tests/scratch_folder.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

// Records of the kind the object documents hold: own items first, then the
// nested base element.
class CTestRecord : public CBaseObj
{
    DECLARE_SERIAL(CTestRecord)

public:
    void Serialize(CArchive& ar) override
    {
        CXMLArchive& xml = CXMLArchive::FromArchive(ar);
        if (xml.GetChildNode("CTestRecord") == nullptr)
            return;
        if (CXMLArchiveNode* node = xml.GetCurrentNode()) {
            node->SerializeString("Name", m_strName);
            node->SerializeDouble("Area", m_dArea);
        }
        CBaseObj::Serialize(ar);
        xml.GetCurrentNode()->EndNode();
    }

    CString m_strName;
    double m_dArea = 0.0;
};
IMPLEMENT_SERIAL(CTestRecord, CBaseObj, 1)

class CTestTrack : public CBaseObj
{
    DECLARE_SERIAL(CTestTrack)

public:
    void Serialize(CArchive& ar) override
    {
        CXMLArchive& xml = CXMLArchive::FromArchive(ar);
        if (xml.GetChildNode("CTestTrack") == nullptr)
            return;
        if (CXMLArchiveNode* node = xml.GetCurrentNode()) {
            node->SerializeInt("Frames", m_nFrames);
            node->SerializeStringArray("Positions", m_Positions);
        }
        CBaseObj::Serialize(ar);
        xml.GetCurrentNode()->EndNode();
    }

    int m_nFrames = 0;
    CStringArray m_Positions;
};
IMPLEMENT_SERIAL(CTestTrack, CBaseObj, 1)

// A class a file may name that is no record: it counts its constructions.
class CNoRecord : public CObject
{
    DECLARE_DYNCREATE(CNoRecord)

public:
    CNoRecord() { ++s_nMade; }
    static inline int s_nMade = 0;
};
IMPLEMENT_DYNCREATE(CNoRecord, CObject)

namespace {

class XmlArchiveTest : public ::testing::Test
{
protected:
    CString PathOf(const char* name) const { return (m_folder / name).c_str(); }
    std::string ReadFile(const char* name) const { return ReadBytes(m_folder / name); }
    void WriteFile(const char* name, const std::string& bytes) const { WriteBytes(m_folder / name, bytes); }

    // Stores what fill writes inside a root element and returns the bytes.
    template <class Fill>
    std::string Store(const char* name, Fill&& fill)
    {
        CXMLArchive xml(PathOf(name), CArchive::store);
        xml.GetChildNode("Root");
        fill(xml, *xml.GetCurrentNode());
        xml.GetCurrentNode()->EndNode();
        xml.Close();
        return ReadFile(name);
    }

    // Loads the file and runs read inside its root element.
    template <class Read>
    void Load(const char* name, Read&& read)
    {
        CXMLArchive xml(PathOf(name), CArchive::load);
        CXMLArchiveNode* root = xml.GetChildNode("Root");
        ASSERT_NE(root, nullptr);
        read(xml, *root);
        xml.GetCurrentNode()->EndNode();
        xml.Close();
    }

    CScratchFolder m_folder;
};

TEST_F(XmlArchiveTest, WorkedExampleIsWrittenByteForByteAndReadBack)
{
    const std::string bytes = Store("example.xml", [](CXMLArchive& xml, CXMLArchiveNode& root) {
        CCalibration calibration;
        root.SerializeObject("Calibration", calibration);
        CBaseObj record;
        record.Serialize(xml);
    });
    EXPECT_EQ(bytes, "<Root>"
                     "<Calibration><CCalibration><Factor>1</Factor><Unit>0</Unit><xSize>640</xSize>"
                     "<ySize>480</ySize><zSize>10</zSize></CCalibration></Calibration>"
                     "<CBaseObj><m_ID>0</m_ID><m_Type>0</m_Type><m_dClass>0</m_dClass>"
                     "<m_strClassName/><m_ClassColor>255</m_ClassColor></CBaseObj>"
                     "</Root>");

    CCalibration calibration;
    calibration.m_dFactor = 3.0;
    calibration.m_nUnit = 2;
    calibration.m_xSize = calibration.m_ySize = calibration.m_zSize = 1.0;
    CBaseObj record;
    record.m_ID = 9;
    record.m_strClassName = "old";
    record.m_ClassColor = 0;
    Load("example.xml", [&](CXMLArchive& xml, CXMLArchiveNode& root) {
        root.SerializeObject("Calibration", calibration);
        record.Serialize(xml);
    });
    EXPECT_FALSE(calibration != CCalibration());
    EXPECT_EQ(record.m_ID, 0);
    EXPECT_TRUE(record.m_strClassName.IsEmpty());
    EXPECT_EQ(record.m_ClassColor, 255u);
}

TEST_F(XmlArchiveTest, ItemFormats)
{
    const std::string bytes = Store("items.xml", [](CXMLArchive&, CXMLArchiveNode& root) {
        double d = 0.1;
        float f = 0.5f;
        WORD w = 65535;
        int i = -17;
        UINT u = 0xFFFFFFFE;
        POINT p{3, -4};
        CString s = "a<b & c>";
        root.SerializeDouble("d", d);
        root.SerializeFloat("f", f);
        root.SerializeWord("w", w);
        root.SerializeInt("i", i);
        root.SerializeUInt("u", u);
        root.SerializePoint("p", p);
        root.SerializeString("s", s);
    });
    EXPECT_EQ(bytes, "<Root><d>0.1</d><f>0.500000</f><w>65535</w><i>-17</i><u>-2</u><p>3,-4</p>"
                     "<s>a&lt;b &amp; c&gt;</s></Root>");

    double d = 0;
    float f = 0;
    WORD w = 0;
    int i = 0;
    UINT u = 0;
    POINT p{};
    CString s;
    Load("items.xml", [&](CXMLArchive&, CXMLArchiveNode& root) {
        root.SerializeDouble("d", d);
        root.SerializeFloat("f", f);
        root.SerializeWord("w", w);
        root.SerializeInt("i", i);
        root.SerializeUInt("u", u);
        root.SerializePoint("p", p);
        root.SerializeString("s", s);
    });
    EXPECT_EQ(d, 0.1);
    EXPECT_EQ(f, 0.5f);
    EXPECT_EQ(w, 65535);
    EXPECT_EQ(i, -17);
    EXPECT_EQ(u, 0xFFFFFFFEu);
    EXPECT_EQ(p.x, 3);
    EXPECT_EQ(p.y, -4);
    EXPECT_EQ(s, "a<b & c>");
}

TEST_F(XmlArchiveTest, DamagedPointsKeepWhatIsMissingAndClampWhatIsOutOfRange)
{
    struct Case
    {
        const char* text;
        POINT expected;
    };
    const Case cases[] = {
        {"5,6", {5, 6}},
        {" -5, +6", {-5, 6}},
        {"99999999999,-99999999999", {INT_MAX, INT_MIN}},
        {"7", {7, -2}},
        {"7;8", {7, -2}},
        {"7,", {7, -2}},
        {",8", {-1, -2}},
        {"x", {-1, -2}},
        {"", {-1, -2}},
    };
    for (const Case& c : cases) {
        WriteFile("point.xml", std::string("<Root><p>") + c.text + "</p></Root>");
        POINT p{-1, -2};
        Load("point.xml", [&](CXMLArchive&, CXMLArchiveNode& root) { root.SerializePoint("p", p); });
        EXPECT_EQ(p.x, c.expected.x) << c.text;
        EXPECT_EQ(p.y, c.expected.y) << c.text;
    }
}

TEST_F(XmlArchiveTest, BlanksTabsAndLineBreaksSurvive)
{
    const std::vector<CString> texts = {" lead", "trail ", "  both  ", " ", "µm² ", "", "\t", "\n", "\r\n",
                                        " \t\n", "\r", "a\r\nb\rc\n", "tab\t"};
    const std::string bytes = Store("blanks.xml", [&](CXMLArchive&, CXMLArchiveNode& root) {
        for (CString text : texts)
            root.SerializeString("t", text);
    });
    EXPECT_NE(bytes.find("<t>trail _TRSP#@</t>"), std::string::npos);
    EXPECT_NE(bytes.find("<t> lead</t>"), std::string::npos);

    Load("blanks.xml", [&](CXMLArchive&, CXMLArchiveNode& root) {
        for (size_t k = 0; k < texts.size(); ++k) {
            CString text = "unchanged";
            root.SetChildIndex(static_cast<int>(k));
            root.SerializeString("t", text);
            EXPECT_EQ(text, texts[k]) << k;
        }
        root.SetChildIndex(0);
    });

    // A text that really ends in the marker loses it: the format cannot
    // tell the two apart. Files written before read as they did.
    WriteFile("marker.xml", "<Root><t>x_TRSP#@</t><t>y\t</t><t>a\r\nb</t></Root>");
    Load("marker.xml", [](CXMLArchive&, CXMLArchiveNode& root) {
        const char* expected[] = {"x", "y\t", "a\nb"};
        for (int k = 0; k < 3; ++k) {
            CString text;
            root.SetChildIndex(k);
            root.SerializeString("t", text);
            EXPECT_EQ(text, expected[k]) << k;
        }
        root.SetChildIndex(0);
    });
}

TEST_F(XmlArchiveTest, ElementsTakeTheirPlaceWhenEndedAndOpenOnesAreNeverWritten)
{
    const std::string bytes = Store("order.xml", [](CXMLArchive& xml, CXMLArchiveNode& root) {
        xml.GetChildNode("Inner");
        CString text = "written while Inner is open";
        root.SerializeString("Outer", text);
        xml.GetCurrentNode()->EndNode();
        xml.GetChildNode("Closed");
        xml.GetCurrentNode()->EndNode();
    });
    EXPECT_EQ(bytes, "<Root><Outer>written while Inner is open</Outer><Inner/><Closed/></Root>");

    {
        CXMLArchive xml(PathOf("open.xml"), CArchive::store);
        xml.GetChildNode("Root");
        xml.GetChildNode("Forgotten");
        xml.GetCurrentNode()->EndNode();
        xml.GetChildNode("Dangling"); // never ended
        xml.Close();
    }
    EXPECT_EQ(ReadFile("open.xml"), "");
}

std::vector<std::unique_ptr<CBaseObj>> LoadRecordList(CXMLArchive& xml)
{
    std::vector<std::unique_ptr<CBaseObj>> records;
    CXMLArchiveNode* list = xml.GetCurrentNode();
    const int count = list->GetChildCount();
    for (int k = 0; k < count; ++k) {
        list->SetChildIndex(k);
        std::unique_ptr<CObject> object(CXMLArchive::CreateObjectByName(list->GetChildName(k)));
        if (auto* record = DYNAMIC_DOWNCAST(CBaseObj, object.get())) {
            record->Serialize(xml);
            object.release();
            records.emplace_back(record);
        }
    }
    list->SetChildIndex(0);
    return records;
}

TEST_F(XmlArchiveTest, MixedRecordListWithACommentReloadsInOrder)
{
    std::string bytes = Store("list.xml", [](CXMLArchive& xml, CXMLArchiveNode&) {
        CTestRecord first;
        first.m_strName = "first";
        first.m_dArea = 12.5;
        first.m_dClass = 2;
        first.Serialize(xml);
        CTestTrack track;
        track.m_nFrames = 3;
        track.m_Positions.Add("1,2");
        track.m_Positions.Add("");
        track.m_Positions.Add("5,6 ");
        track.m_strClassName = "Sperm";
        track.Serialize(xml);
        CTestRecord last;
        last.m_strName = "last";
        last.Serialize(xml);
    });
    const size_t second = bytes.find("<CTestTrack>");
    ASSERT_NE(second, std::string::npos);
    bytes.insert(second, "<!-- edited by hand -->");
    WriteFile("list.xml", bytes);

    std::vector<std::unique_ptr<CBaseObj>> records;
    Load("list.xml", [&](CXMLArchive& xml, CXMLArchiveNode&) { records = LoadRecordList(xml); });
    ASSERT_EQ(records.size(), 3u);
    const auto* first = DYNAMIC_DOWNCAST(CTestRecord, records[0].get());
    const auto* track = DYNAMIC_DOWNCAST(CTestTrack, records[1].get());
    const auto* last = DYNAMIC_DOWNCAST(CTestRecord, records[2].get());
    ASSERT_TRUE(first && track && last);
    EXPECT_EQ(first->m_strName, "first");
    EXPECT_EQ(first->m_dArea, 12.5);
    EXPECT_EQ(first->m_dClass, 2);
    EXPECT_EQ(track->m_nFrames, 3);
    ASSERT_EQ(track->m_Positions.GetSize(), 3);
    EXPECT_EQ(track->m_Positions[1], "");
    EXPECT_EQ(track->m_Positions[2], "5,6 ");
    EXPECT_EQ(track->m_strClassName, "Sperm");
    EXPECT_EQ(last->m_strName, "last");
}

TEST_F(XmlArchiveTest, ObjectArraySkipsWhatIsNotItsElementClass)
{
    CArrayObjectsXML<CTestRecord> stored;
    for (const char* name : {"a", "b"}) {
        CTestRecord record;
        record.m_strName = name;
        stored.Add(record);
    }
    std::string bytes = Store("array.xml", [&](CXMLArchive&, CXMLArchiveNode& root) { root.SerializeObject("Records", stored); });
    EXPECT_EQ(bytes.find("<Records><CTestRecord><Name>a</Name>"), 6u);

    // A comment, an unknown element and a record of an unrelated class
    // between the two.
    const size_t second = bytes.find("<CTestRecord><Name>b");
    bytes.insert(second, "<!--x--><Unknown><Name>u</Name></Unknown>"
                         "<CTestTrack><Frames>4</Frames></CTestTrack>text");
    WriteFile("array.xml", bytes);

    CArrayObjectsXML<CTestRecord> loaded;
    CTestRecord stale;
    loaded.Add(stale);
    Load("array.xml", [&](CXMLArchive&, CXMLArchiveNode& root) { root.SerializeObject("Records", loaded); });
    ASSERT_EQ(loaded.GetSize(), 2);
    EXPECT_EQ(loaded[0].m_strName, "a");
    EXPECT_EQ(loaded[1].m_strName, "b");
}

TEST_F(XmlArchiveTest, ObjectArrayNeverConstructsAClassOutsideItsFamily)
{
    WriteFile("foreign.xml", "<Root><Records><CNoRecord/><CTestRecord><Name>a</Name></CTestRecord><CNoRecord/>"
                             "</Records></Root>");
    CNoRecord::s_nMade = 0;
    CArrayObjectsXML<CTestRecord> loaded;
    Load("foreign.xml", [&](CXMLArchive&, CXMLArchiveNode& root) { root.SerializeObject("Records", loaded); });
    ASSERT_EQ(loaded.GetSize(), 1);
    EXPECT_EQ(loaded[0].m_strName, "a");
    EXPECT_EQ(CNoRecord::s_nMade, 0);

    EXPECT_EQ(CXMLArchive::CreateObjectByName("CNoRecord", RUNTIME_CLASS(CBaseObj)), nullptr);
    EXPECT_EQ(CNoRecord::s_nMade, 0);
    const std::unique_ptr<CObject> record(CXMLArchive::CreateObjectByName("CTestRecord", RUNTIME_CLASS(CBaseObj)));
    EXPECT_TRUE(record && record->IsKindOf(RUNTIME_CLASS(CTestRecord)));
}

TEST_F(XmlArchiveTest, MissingElementsKeepTheCurrentValues)
{
    WriteFile("partial.xml", "<Root><Calibration><CCalibration><Unit>2</Unit></CCalibration></Calibration></Root>");
    CCalibration calibration;
    calibration.m_dFactor = 0.5;
    CCalibration untouched;
    untouched.m_zSize = 99.0;
    CBaseObj record;
    record.m_strClassName = "kept";
    Load("partial.xml", [&](CXMLArchive& xml, CXMLArchiveNode& root) {
        root.SerializeObject("Calibration", calibration);
        root.SerializeObject("Other", untouched);
        record.Serialize(xml);
    });
    EXPECT_EQ(calibration.m_nUnit, 2);
    EXPECT_EQ(calibration.m_dFactor, 0.5);
    EXPECT_EQ(calibration.m_xSize, 640.0);
    EXPECT_EQ(untouched.m_zSize, 99.0);
    EXPECT_EQ(record.m_strClassName, "kept");
}

TEST_F(XmlArchiveTest, ItemsAreLookedUpAmongAllDescendantsInDocumentOrder)
{
    WriteFile("nested.xml", "<Root><CTestRecord><Inner><Name>nested</Name></Inner><Name>own</Name></CTestRecord></Root>");
    CTestRecord record;
    Load("nested.xml", [&](CXMLArchive& xml, CXMLArchiveNode&) { record.Serialize(xml); });
    EXPECT_EQ(record.m_strName, "nested");
}

TEST_F(XmlArchiveTest, Collections)
{
    CMap<CString, LPCTSTR, int, int> map;
    map.SetAt("one", 1);
    map.SetAt("two", 2);
    map.SetAt("minus", -3);
    CArray<int, int> ints;
    ints.Add(7);
    ints.Add(-8);
    int buffer[3] = {10, 20, 30};
    const std::string bytes = Store("collections.xml", [&](CXMLArchive&, CXMLArchiveNode& root) {
        root.SerializeMap("Map", map);
        root.SerializeIntArray("Ints", ints);
        root.SerializeIntBuffer("Buffer", buffer, 3);
    });
    EXPECT_NE(bytes.find("<Ints><int>7</int><int>-8</int></Ints><Buffer><int>10</int><int>20</int><int>30</int></Buffer>"),
              std::string::npos);
    const size_t mapStart = bytes.find("<Map>");
    const std::string mapText = bytes.substr(mapStart, bytes.find("</Map>") - mapStart);
    int keys = 0;
    int values = 0;
    for (size_t at = mapText.find("<key>"); at != std::string::npos; at = mapText.find("<key>", at + 1))
        ++keys;
    for (size_t at = mapText.find("<value>"); at != std::string::npos; at = mapText.find("<value>", at + 1))
        ++values;
    EXPECT_EQ(keys, 3);
    EXPECT_EQ(values, 3);

    CMap<CString, LPCTSTR, int, int> loadedMap;
    loadedMap.SetAt("stale", 0);
    CArray<int, int> loadedInts;
    loadedInts.Add(99);
    int loadedBuffer[3] = {};
    Load("collections.xml", [&](CXMLArchive&, CXMLArchiveNode& root) {
        root.SerializeMap("Map", loadedMap);
        root.SerializeIntArray("Ints", loadedInts);
        root.SerializeIntBuffer("Buffer", loadedBuffer, 3);
    });
    EXPECT_EQ(loadedMap.GetCount(), 3);
    int value = 0;
    EXPECT_TRUE(loadedMap.Lookup("minus", value));
    EXPECT_EQ(value, -3);
    EXPECT_FALSE(loadedMap.Lookup("stale", value));
    ASSERT_EQ(loadedInts.GetSize(), 2);
    EXPECT_EQ(loadedInts[1], -8);
    EXPECT_EQ(loadedBuffer[2], 30);

    // A buffer longer than the stored list keeps its other slots.
    WriteFile("short.xml", "<Root><Buffer><int>1</int><int>2</int></Buffer></Root>");
    int four[4] = {-1, -1, -1, -1};
    Load("short.xml", [&](CXMLArchive&, CXMLArchiveNode& root) { root.SerializeIntBuffer("Buffer", four, 4); });
    EXPECT_EQ(four[0], 1);
    EXPECT_EQ(four[1], 2);
    EXPECT_EQ(four[2], -1);
    EXPECT_EQ(four[3], -1);
}

TEST_F(XmlArchiveTest, UnreadableDocumentsSayWhatIsWrongWithWhichFile)
{
    std::filesystem::create_directories(PathOf("folder.xml").GetString());
    const struct
    {
        const char* name;
        const char* bytes; // null: no file, or the folder made above
        const char* says;
    } cases[] = {
        {"missing.xml", nullptr, "was not found"},
        {"folder.xml", nullptr, "denied"},
        {"empty.xml", "", "not a readable XML file"},
        {"truncated.xml", "<Root><Calibration><CCalibration><Factor>1</Fac", "at byte"},
        {"mismatched.xml", "<Root><a></b></Root>", "at byte"},
        {"text.xml", "not xml at all", "not a readable XML file"},
        {"comment.xml", "<!-- only a comment -->", "not a readable XML file"},
    };
    for (const auto& c : cases) {
        if (c.bytes)
            WriteFile(c.name, c.bytes);
        try {
            CXMLArchive xml(PathOf(c.name), CArchive::load);
            ADD_FAILURE() << c.name << " loaded";
        } catch (const CException& e) {
            const CString text = e.GetErrorMessage();
            EXPECT_NE(text.Find(PathOf(c.name)), -1) << text.GetString();
            EXPECT_NE(text.Find(c.says), -1) << text.GetString();
            // Only a missing file is reported as one.
            EXPECT_EQ(dynamic_cast<const CFileException*>(&e) != nullptr, c.bytes == nullptr) << c.name;
        }
    }
}

TEST_F(XmlArchiveTest, ADocumentInWindows1252IsReadAsUtf8)
{
    WriteFile("cp1252.xml", "<?xml version=\"1.0\" encoding=\"windows-1252\"?><Root><Unit>\xB5m\xB2</Unit></Root>");
    WriteFile("latin1.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><Root><Unit>\xB5m\xB2</Unit></Root>");
    for (const char* name : {"cp1252.xml", "latin1.xml"}) {
        CString unit;
        Load(name, [&](CXMLArchive&, CXMLArchiveNode& root) { root.SerializeString("Unit", unit); });
        EXPECT_EQ(unit, "µm²") << name;
    }
}

TEST_F(XmlArchiveTest, AFailedSaveIsReportedOnceAndLeavesNothingBehind)
{
    WriteFile("plain", "a regular file");
    kestrun::testing::ScopedMessageBoxes boxes;
    int errors = 0;
    try {
        CXMLArchive xml(PathOf("plain/settings.xml"), CArchive::store);
        xml.GetChildNode("Root");
        xml.GetCurrentNode()->EndNode();
        xml.Close();
    } catch (const CFileException& e) {
        ++errors;
        EXPECT_NE(e.m_cause, CFileException::none);
    }
    EXPECT_EQ(errors, 1);
    EXPECT_TRUE(boxes->Texts().empty());
    EXPECT_EQ(EntryCount(m_folder.Path()), 1);
    EXPECT_EQ(ReadFile("plain"), "a regular file");
}

TEST_F(XmlArchiveTest, ASecondTopLevelElementIsRefused)
{
    CXMLArchive xml(PathOf("two.xml"), CArchive::store);
    xml.GetChildNode("Root");
    xml.GetCurrentNode()->EndNode();
    xml.GetChildNode("Again");
    EXPECT_THROW(xml.GetCurrentNode()->EndNode(), CArchiveException);
    xml.PopNode();
    xml.Close();
    EXPECT_EQ(ReadFile("two.xml"), "<Root/>");
}

TEST_F(XmlArchiveTest, AnArchiveNotClosedByItsOwnerReportsAFailedSaveWithoutThrowing)
{
    WriteFile("plain", "a regular file");
    kestrun::testing::ScopedMessageBoxes boxes;
    EXPECT_NO_THROW({
        CXMLArchive xml(PathOf("plain/settings.xml"), CArchive::store);
        xml.GetChildNode("Root");
        xml.GetCurrentNode()->EndNode();
    });
    EXPECT_EQ(boxes->Texts().size(), 1u);
}

TEST_F(XmlArchiveTest, CloseWritesOnceAndUnwindingKeepsTheOldFile)
{
    {
        CXMLArchive xml(PathOf("once.xml"), CArchive::store);
        xml.GetChildNode("Root");
        xml.GetCurrentNode()->EndNode();
        xml.Close();
        WriteFile("once.xml", "changed since");
        xml.Close();
    }
    EXPECT_EQ(ReadFile("once.xml"), "changed since");

    WriteFile("kept.xml", "<Root><Name>old</Name></Root>");
    EXPECT_THROW(
        {
            CXMLArchive xml(PathOf("kept.xml"), CArchive::store);
            xml.GetChildNode("Root");
            CString half = "half";
            xml.GetCurrentNode()->SerializeString("Name", half);
            throw std::runtime_error("serializer failed");
        },
        std::runtime_error);
    EXPECT_EQ(ReadFile("kept.xml"), "<Root><Name>old</Name></Root>");
}

TEST_F(XmlArchiveTest, AStreamTakesThePlaceOfTheFile)
{
    CMemFile stream;
    const char* old = "<Root><Name>a much longer old document</Name></Root>";
    stream.Write(old, static_cast<UINT>(std::strlen(old)));
    {
        CXMLArchive xml("", CArchive::store, &stream);
        xml.GetChildNode("Root");
        CString name = "new";
        xml.GetCurrentNode()->SerializeString("Name", name);
        xml.GetCurrentNode()->EndNode();
        xml.Close();
    }
    const auto& data = stream.Data();
    EXPECT_EQ(std::string(data.begin(), data.end()), "<Root><Name>new</Name></Root>");

    CString name;
    CXMLArchive xml("", CArchive::load, &stream);
    ASSERT_NE(xml.GetChildNode("Root"), nullptr);
    xml.GetCurrentNode()->SerializeString("Name", name);
    EXPECT_EQ(name, "new");
    EXPECT_EQ(xml.GetChildNode("Absent"), nullptr);
}

TEST(XmlArchiveClasses, CreateObjectByName)
{
    std::unique_ptr<CObject> calibration(CXMLArchive::CreateObjectByName("CCalibration"));
    EXPECT_NE(DYNAMIC_DOWNCAST(CCalibration, calibration.get()), nullptr);
    std::unique_ptr<CObject> record(CXMLArchive::CreateObjectByName("CBaseObjII"));
    ASSERT_NE(record, nullptr);
    EXPECT_STREQ(record->GetRuntimeClass()->m_lpszClassName, "CBaseObjII");
    // CNoRecord is created by name but never stored, like a document or a window.
    CNoRecord::s_nMade = 0;
    for (const char* name : {"#comment", "#text", "ccalibration", "CNoSuchClass", "", "CNoRecord"})
        EXPECT_EQ(CXMLArchive::CreateObjectByName(name), nullptr) << name;
    EXPECT_EQ(CNoRecord::s_nMade, 0);
}

TEST(XmlArchiveClasses, AByteArchiveIsNotAnXmlArchive)
{
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    CCalibration calibration;
    EXPECT_THROW(calibration.Serialize(ar), CArchiveException);
}

} // namespace
