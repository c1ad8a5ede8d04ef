#include "objectmodel/xmlarchivenode.h"

#include "objectmodel/xmlarchive.h"
#include "platform/core/exceptions.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// A trailing blank would not survive a parser that trims text, and a text
// made only of blanks, tabs or line breaks would be read as layout between
// elements: such texts end in this marker.
constexpr std::string_view kBlankMarker = "_TRSP#@";

bool EndsInWhitespace(std::string_view text)
{
    return !text.empty() && std::string_view(" \t\n\r").find(text.back()) != std::string_view::npos;
}

// atoi as the stored files were read: leading blanks, a sign, digits up to
// the first other character, clamped to the int range. end, when given,
// gets the first character after the number; the text itself when there
// is none.
int ParseInt(const char* text, const char** end = nullptr)
{
    char* after = nullptr;
    const long long value = std::strtoll(text, &after, 10);
    if (end != nullptr)
        *end = after;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// The element's text: every text and CDATA node below it, in order.
CString TextOf(pugi::xml_node element)
{
    std::string text;
    for (pugi::xml_node n = element.first_child(); n;) {
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
            text += n.value();
        if (n.first_child()) {
            n = n.first_child();
            continue;
        }
        while (n && n != element && !n.next_sibling())
            n = n.parent();
        if (!n || n == element)
            break;
        n = n.next_sibling();
    }
    return CString(std::move(text));
}

bool IsNamedElement(pugi::xml_node n, const char* name)
{
    return n.type() == pugi::node_element && std::strcmp(n.name(), name) == 0;
}

} // namespace

CXMLArchiveNode::CXMLArchiveNode(CXMLArchive* archive, pugi::xml_node element, pugi::xml_node parent)
    : m_element(element), m_parent(parent), m_archive(archive)
{
}

bool CXMLArchiveNode::IsStoring() const
{
    return m_archive->IsStoring();
}

void CXMLArchiveNode::EndNode()
{
    if (IsStoring() && m_element) {
        if (!m_parent)
            AfxThrowArchiveException(CArchiveException::genericException, m_archive->m_strFileName);
        // A document has one top-level element.
        if (m_parent == m_archive->m_storeRoot && m_parent.first_child())
            AfxThrowArchiveException(CArchiveException::genericException, m_archive->m_strFileName);
        m_parent.append_move(m_element);
    }
    m_archive->PopNode(); // deletes this node
}

const std::vector<pugi::xml_node>& CXMLArchiveNode::Children()
{
    if (!m_bChildrenFetched) {
        for (pugi::xml_node child = m_element.first_child(); child; child = child.next_sibling())
            m_children.push_back(child);
        m_bChildrenFetched = true;
    }
    return m_children;
}

int CXMLArchiveNode::GetChildCount()
{
    if (!m_element)
        return 0;
    return static_cast<int>(Children().size());
}

CString CXMLArchiveNode::GetChildName(int index)
{
    if (!m_element)
        return {};
    const auto& children = Children();
    if (index < 0 || static_cast<size_t>(index) >= children.size())
        return {};
    const pugi::xml_node child = children[static_cast<size_t>(index)];
    switch (child.type()) {
    case pugi::node_element:
    case pugi::node_pi:
        return child.name();
    case pugi::node_comment:
        return "#comment";
    case pugi::node_cdata:
        return "#cdata-section";
    default:
        return "#text";
    }
}

pugi::xml_node CXMLArchiveNode::FindDescendant(LPCTSTR name, int index)
{
    if (index < 0 || !m_element)
        return {};
    if (IsStoring()) {
        int seen = 0;
        return m_element.find_node([&](pugi::xml_node n) { return IsNamedElement(n, name) && seen++ == index; });
    }
    auto [it, added] = m_descendants.try_emplace(name);
    if (added) {
        m_element.find_node([&, &found = it->second](pugi::xml_node n) {
            if (IsNamedElement(n, name))
                found.push_back(n);
            return false;
        });
    }
    const auto& found = it->second;
    return static_cast<size_t>(index) < found.size() ? found[static_cast<size_t>(index)] : pugi::xml_node();
}

pugi::xml_node CXMLArchiveNode::GetChildText(LPCTSTR name, CString& text)
{
    CXMLArchiveNode* scope = m_archive->GetCurrentNode();
    if (scope == nullptr)
        scope = this;
    const pugi::xml_node found = scope->FindDescendant(name, m_nChildIndex);
    if (!found)
        return {};
    CString value = TextOf(found);
    if (value.view().ends_with(kBlankMarker))
        value.Truncate(value.GetLength() - static_cast<int>(kBlankMarker.size()));
    text = value;
    return found;
}

void CXMLArchiveNode::AddChildText(LPCTSTR name, const CString& text)
{
    pugi::xml_node item = m_element.append_child(name);
    if (text.IsEmpty())
        return; // written as <name/>
    std::string value = text.str();
    if (EndsInWhitespace(value))
        value += kBlankMarker;
    item.append_child(pugi::node_pcdata).set_value(value.c_str());
}

void CXMLArchiveNode::SerializeString(LPCTSTR name, CString& value)
{
    if (!m_element)
        return;
    if (IsStoring())
        AddChildText(name, value);
    else
        GetChildText(name, value);
}

void CXMLArchiveNode::SerializeDouble(LPCTSTR name, double& value)
{
    if (!m_element)
        return;
    if (IsStoring()) {
        AddChildText(name, FormatString("%.15g", value));
        return;
    }
    CString text;
    if (GetChildText(name, text))
        value = std::atof(text);
}

void CXMLArchiveNode::SerializeFloat(LPCTSTR name, float& value)
{
    if (!m_element)
        return;
    if (IsStoring()) {
        AddChildText(name, FormatString("%f", static_cast<double>(value)));
        return;
    }
    CString text;
    if (GetChildText(name, text))
        value = static_cast<float>(std::atof(text));
}

void CXMLArchiveNode::SerializeWord(LPCTSTR name, WORD& value)
{
    if (!m_element)
        return;
    if (IsStoring()) {
        AddChildText(name, FormatString("%d", static_cast<int>(value)));
        return;
    }
    CString text;
    if (GetChildText(name, text))
        value = static_cast<WORD>(static_cast<unsigned>(ParseInt(text)) & 0xFFFFu);
}

void CXMLArchiveNode::SerializeInt(LPCTSTR name, int& value)
{
    if (!m_element)
        return;
    if (IsStoring()) {
        AddChildText(name, FormatString("%d", value));
        return;
    }
    CString text;
    if (GetChildText(name, text))
        value = ParseInt(text);
}

void CXMLArchiveNode::SerializeUInt(LPCTSTR name, UINT& value)
{
    int copy = static_cast<int>(value);
    SerializeInt(name, copy);
    value = static_cast<UINT>(copy);
}

void CXMLArchiveNode::SerializeBool(LPCTSTR name, bool& value)
{
    if (!m_element)
        return;
    if (IsStoring()) {
        AddChildText(name, value ? "true" : "false");
        return;
    }
    CString text;
    if (GetChildText(name, text))
        value = text == "true";
}

void CXMLArchiveNode::SerializePoint(LPCTSTR name, POINT& value)
{
    if (!m_element)
        return;
    if (IsStoring()) {
        AddChildText(name, FormatString("%d,%d", value.x, value.y));
        return;
    }
    CString text;
    if (!GetChildText(name, text))
        return;
    // "x,y"; a coordinate that is missing keeps its value. Out-of-range
    // numbers are clamped like every other int item.
    const char* x = text.GetString();
    const char* end = x;
    const int parsedX = ParseInt(x, &end);
    if (end == x)
        return;
    value.x = parsedX;
    if (*end != ',')
        return;
    const char* y = end + 1;
    const int parsedY = ParseInt(y, &end);
    if (end != y)
        value.y = parsedY;
}

template <class Body>
void CXMLArchiveNode::SerializeCollection(LPCTSTR name, Body&& body)
{
    if (!m_element)
        return;
    CXMLArchiveNode* collection = m_archive->GetChildNode(name);
    if (collection == nullptr)
        return;
    body(*collection);
    collection->m_nChildIndex = 0;
    m_archive->GetCurrentNode()->EndNode();
}

void CXMLArchiveNode::SerializeStringArray(LPCTSTR name, CStringArray& values)
{
    SerializeCollection(name, [&](CXMLArchiveNode& node) {
        if (IsStoring()) {
            for (CString& value : values)
                node.SerializeString("CString", value);
            return;
        }
        values.RemoveAll();
        const int count = node.GetChildCount();
        for (int k = 0; k < count; ++k) {
            node.m_nChildIndex = k;
            CString value;
            node.SerializeString("CString", value);
            values.Add(value);
        }
    });
}

void CXMLArchiveNode::SerializeMap(LPCTSTR name, CMap<CString, LPCTSTR, int, int>& map)
{
    SerializeCollection(name, [&](CXMLArchiveNode& node) {
        if (IsStoring()) {
            for (POSITION pos = map.GetStartPosition(); pos != nullptr;) {
                CString key;
                int value = 0;
                map.GetNextAssoc(pos, key, value);
                node.SerializeString("key", key);
                node.SerializeInt("value", value);
            }
            return;
        }
        map.RemoveAll();
        const int pairs = (node.GetChildCount() + 1) / 2;
        for (int k = 0; k < pairs; ++k) {
            node.m_nChildIndex = k;
            CString key;
            int value = 0;
            node.SerializeString("key", key);
            node.SerializeInt("value", value);
            map.SetAt(key, value);
        }
    });
}

void CXMLArchiveNode::SerializeIntArray(LPCTSTR name, CArray<int, int>& values)
{
    SerializeCollection(name, [&](CXMLArchiveNode& node) {
        if (IsStoring()) {
            for (int& value : values)
                node.SerializeInt("int", value);
            return;
        }
        values.RemoveAll();
        const int count = node.GetChildCount();
        for (int k = 0; k < count; ++k) {
            node.m_nChildIndex = k;
            int value = 0; // a child that is no "int" element reads as 0
            node.SerializeInt("int", value);
            values.Add(value);
        }
    });
}

void CXMLArchiveNode::SerializeIntBuffer(LPCTSTR name, int* values, int count)
{
    if (count > 0 && values == nullptr)
        AfxThrowInvalidArgException();
    SerializeCollection(name, [&](CXMLArchiveNode& node) {
        for (int k = 0; k < count; ++k) {
            node.m_nChildIndex = IsStoring() ? 0 : k;
            node.SerializeInt("int", values[k]);
        }
    });
}

void CXMLArchiveNode::SerializeObject(LPCTSTR name, CObject& object)
{
    if (!m_element)
        return;
    if (m_archive->GetChildNode(name) == nullptr)
        return;
    object.Serialize(*m_archive);
    m_archive->GetCurrentNode()->EndNode();
}
