#pragma once
// CXMLArchive: the archive handed to Serialize for XML documents. Persistent
// classes turn the CArchive& back into the CXMLArchive (FromArchive), open
// an element named after their class with GetChildNode, serialize named
// items on GetCurrentNode and end the element with EndNode. The same code
// stores and loads; the mode decides.
//
// Format: elements only, no declaration, no indentation, UTF-8. A text
// ending in a blank, tab or line break gets the marker "_TRSP#@", removed
// again on loading; a carriage return is written as "&#13;".
//
// Loading parses the whole document in the constructor. Storing builds the
// tree in memory and writes it at Close, to a temporary file renamed over
// the target, so a failed save leaves the old file. Close runs once; the
// destructor closes an archive its owner did not close, never throws, and
// abandons the document when it runs during unwinding.

#include "platform/core/archive.h"

#include <pugixml.hpp>

#include <deque>
#include <memory>

class CMemFile;
class CXMLArchiveNode;

class CXMLArchive : public CArchive
{
public:
    // With a stream, the document is loaded from and saved to its bytes
    // instead of the file. Raises CFileException (fileNotFound, with the
    // file name) when loading finds no readable document.
    CXMLArchive(const CString& fileName, UINT mode, CMemFile* stream = nullptr, CDocument* document = nullptr);
    ~CXMLArchive() override;

    // Storing: writes the document (CFileException when it cannot be
    // written). Later calls do nothing, also after a failure.
    void Close();

    // Opens the child element name of the current node (of the document
    // when none is open) and makes it the current node. Loading returns null
    // when there is no such element; nothing is opened then.
    CXMLArchiveNode* GetChildNode(LPCTSTR name);
    // The innermost open node; null when none is open.
    CXMLArchiveNode* GetCurrentNode() const;
    // Deletes the innermost open node.
    void PopNode();

    // A new object of the registered class name; null for comments, text
    // nodes, unknown names and classes that cannot be created. Classes that
    // are never stored (no serial schema) are never constructed, since a
    // file names what it likes (documents, windows, the engine).
    static CObject* CreateObjectByName(const CString& name);
    // The same for a class of base's family only: the name of any other
    // class is null and that class is never constructed.
    static CObject* CreateObjectByName(const CString& name, const CRuntimeClass* base);

    // The XML archive behind an archive reference handed to Serialize;
    // CArchiveException (genericException) when it is a byte archive.
    static CXMLArchive& FromArchive(CArchive& ar);

private:
    friend class CXMLArchiveNode;

    void Load();
    std::string Render() const;
    void Save();
    // Stands for the document when storing: the elements ended at the top
    // level go here.
    pugi::xml_node DocumentNode() const;

    std::deque<std::unique_ptr<CXMLArchiveNode>> m_nodes;
    CMemFile* m_pStream = nullptr;
    pugi::xml_document m_document;
    // Storing: the finished top-level element goes under m_storeRoot;
    // elements wait under m_staging until they are ended, so the file
    // holds them in the order they were completed and never one left open.
    pugi::xml_node m_storeRoot;
    pugi::xml_node m_staging;
    bool m_bClosed = false;
    int m_nUncaughtAtStart = 0;
};
