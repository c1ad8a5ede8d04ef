#pragma once
// CXMLArchiveNode: one open element of a CXMLArchive and the item
// operations that store or load named values inside it.
//
// Items are child elements with the value as text. Loading looks an item
// up among all descendants of the archive's current element, in document
// order, at the node's child index (normally 0: the first one); a missing
// item leaves the value as it was.

#include "platform/core/arrays.h"
#include "platform/core/geometry.h"
#include "platform/core/maps.h"

#include <pugixml.hpp>

#include <string>
#include <unordered_map>
#include <vector>

class CXMLArchive;

class CXMLArchiveNode
{
public:
    CXMLArchiveNode(CXMLArchive* archive, pugi::xml_node element, pugi::xml_node parent);
    virtual ~CXMLArchiveNode() = default;
    CXMLArchiveNode(const CXMLArchiveNode&) = delete;
    CXMLArchiveNode& operator=(const CXMLArchiveNode&) = delete;

    // Storing: attaches the element to its parent. Then the archive pops
    // (and deletes) its innermost node: call it on GetCurrentNode.
    void EndNode();

    // All child nodes count: elements, comments and text.
    int GetChildCount();
    // An element's tag name, "#comment", "#text", "#cdata-section"; empty
    // for an index outside the children.
    CString GetChildName(int index);

    // The item element name at this node's child index, or null; text gets
    // its text without the blank marker and is untouched when none is found.
    pugi::xml_node GetChildText(LPCTSTR name, CString& text);
    // Appends an item element name with text.
    void AddChildText(LPCTSTR name, const CString& text);

    void SerializeString(LPCTSTR name, CString& value);
    void SerializeDouble(LPCTSTR name, double& value);
    void SerializeFloat(LPCTSTR name, float& value);
    void SerializeWord(LPCTSTR name, WORD& value);
    void SerializeInt(LPCTSTR name, int& value);
    // Stored as its signed 32-bit value.
    void SerializeUInt(LPCTSTR name, UINT& value);
    void SerializePoint(LPCTSTR name, POINT& value);
    // Stored as "true" or "false"; any other text reads as false.
    void SerializeBool(LPCTSTR name, bool& value);

    // Collections, each in a child element name. Loading replaces the
    // content (a missing element leaves it).
    void SerializeStringArray(LPCTSTR name, CStringArray& values);
    void SerializeMap(LPCTSTR name, CMap<CString, LPCTSTR, int, int>& map);
    void SerializeIntArray(LPCTSTR name, CArray<int, int>& values);
    // Exactly count values; a missing one leaves its slot.
    void SerializeIntBuffer(LPCTSTR name, int* values, int count);
    // The object's own element wrapped in an element name.
    void SerializeObject(LPCTSTR name, CObject& object);

    int GetChildIndex() const { return m_nChildIndex; }
    void SetChildIndex(int index) { m_nChildIndex = index; }
    pugi::xml_node GetElement() const { return m_element; }

private:
    friend class CXMLArchive;

    bool IsStoring() const;
    const std::vector<pugi::xml_node>& Children();
    // The index-th descendant element name of this node's element, in
    // document order. Loading only: the tree does not change then, so the
    // matches of a name are collected once.
    pugi::xml_node FindDescendant(LPCTSTR name, int index);
    // Opens the collection element name, runs body on it and ends it.
    template <class Body>
    void SerializeCollection(LPCTSTR name, Body&& body);

    pugi::xml_node m_element;
    pugi::xml_node m_parent;
    CXMLArchive* m_archive;
    std::vector<pugi::xml_node> m_children;
    bool m_bChildrenFetched = false;
    int m_nChildIndex = 0;
    std::unordered_map<std::string, std::vector<pugi::xml_node>> m_descendants;
};
