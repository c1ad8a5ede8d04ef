// The XML archive: any bytes as a document, every kind of item read from
// it, and every stored class that the document names read from it, as the
// object lists do. A damaged document raises the archive's exceptions; what
// loads can be stored again.

#include "fuzz/fuzzsupport.h"
#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "platform/core/file.h"

#include <pugixml.hpp>

#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

// The first element names of the document, and those that name a class a
// file may create.
struct CNames
{
    std::vector<std::string> elements;
    std::set<std::string> classes;
};

CNames NamesOf(const std::uint8_t* data, std::size_t size)
{
    CNames names;
    pugi::xml_document document;
    if (!document.load_buffer(data, size))
        return names;
    document.find_node([&](pugi::xml_node n) {
        if (n.type() != pugi::node_element)
            return false;
        if (names.elements.size() < 4)
            names.elements.emplace_back(n.name());
        if (names.classes.size() < 16) {
            if (const std::unique_ptr<CObject> probe(CXMLArchive::CreateObjectByName(n.name())); probe)
                names.classes.insert(n.name());
        }
        return false;
    });
    return names;
}

// Every item kind read from the first element under the document's names.
void ReadItems(const std::vector<std::string>& elements, const std::uint8_t* data, std::size_t size)
{
    if (elements.empty())
        return;
    CMemFile stream(data, static_cast<UINT>(size));
    try {
        CXMLArchive xml("fuzz.xml", CArchive::load, &stream);
        CXMLArchiveNode* node = xml.GetChildNode(elements.front().c_str());
        if (node == nullptr)
            return;
        for (int k = 0; k < node->GetChildCount(); ++k)
            node->GetChildName(k);
        for (const std::string& name : elements) {
            const char* item = name.c_str();
            CString text;
            double d = 0;
            float f = 0;
            WORD w = 0;
            int i = 0;
            UINT u = 0;
            POINT p{};
            CStringArray strings;
            CMap<CString, LPCTSTR, int, int> map;
            CArray<int, int> ints;
            int buffer[8] = {};
            node->SerializeString(item, text);
            node->SerializeDouble(item, d);
            node->SerializeFloat(item, f);
            node->SerializeWord(item, w);
            node->SerializeInt(item, i);
            node->SerializeUInt(item, u);
            node->SerializePoint(item, p);
            node->SerializeStringArray(item, strings);
            node->SerializeMap(item, map);
            node->SerializeIntArray(item, ints);
            node->SerializeIntBuffer(item, buffer, 8);
        }
        xml.GetCurrentNode()->EndNode();
    } catch (const CException&) {
    }
}

void LoadAndStore(const std::string& name, const std::uint8_t* data, std::size_t size)
{
    std::unique_ptr<CObject> object(CXMLArchive::CreateObjectByName(name.c_str()));
    CMemFile stream(data, static_cast<UINT>(size));
    try {
        CXMLArchive xml("fuzz.xml", CArchive::load, &stream);
        object->Serialize(xml);
    } catch (const CException&) {
        return;
    }
    CMemFile stored;
    try {
        CXMLArchive xml("stored.xml", CArchive::store, &stored);
        object->Serialize(xml);
        xml.Close();
    } catch (const CException&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    kestrun::fuzz::Quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The archive alone: a document that does not parse is refused.
    {
        CMemFile stream(data, static_cast<UINT>(size));
        try {
            CXMLArchive xml("fuzz.xml", CArchive::load, &stream);
            xml.GetChildNode("Root");
        } catch (const CException&) {
        }
    }
    const CNames names = NamesOf(data, size);
    ReadItems(names.elements, data, size);
    for (const std::string& name : names.classes)
        LoadAndStore(name, data, size);
    return 0;
}
