#include "objectmodel/xmlarchive.h"

#include "objectmodel/xmlarchivenode.h"
#include "platform/core/atomicfile.h"
#include "platform/core/encoding.h"
#include "platform/core/exceptions.h"
#include "platform/core/file.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <exception>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>

namespace {

// The byte part of an XML archive is never used; every archive stands on
// this file.
CFile* PlaceholderFile()
{
    static CMemFile placeholder(0);
    return &placeholder;
}

// Whitespace between elements is layout, not content; comments count as
// children of their element.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_comments | pugi::parse_pi;

bool DeclaresWindows1252(const std::string& bytes)
{
    if (bytes.compare(0, 5, "<?xml") != 0)
        return false;
    const size_t end = bytes.find("?>");
    std::string declaration = bytes.substr(0, end);
    std::transform(declaration.begin(), declaration.end(), declaration.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return declaration.find("windows-1252") != std::string::npos;
}

struct StringWriter : pugi::xml_writer
{
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
    std::string text;
};

} // namespace

CXMLArchive::CXMLArchive(const CString& fileName, UINT mode, CMemFile* stream, CDocument* document)
    : CArchive(PlaceholderFile(), mode, 0), m_pStream(stream), m_nUncaughtAtStart(std::uncaught_exceptions())
{
    m_strFileName = fileName;
    m_pDocument = document;
    m_bForceFlat = FALSE;
    if (IsLoading()) {
        Load();
    } else {
        m_storeRoot = m_document.append_child(pugi::node_element);
        m_staging = m_document.append_child(pugi::node_element);
    }
}

CXMLArchive::~CXMLArchive()
{
    try {
        // An archive destroyed by an exception holds a partial document:
        // it must not replace the file.
        if (!m_bClosed && std::uncaught_exceptions() > m_nUncaughtAtStart)
            m_bClosed = true;
        Close();
    } catch (const CException& e) {
        // Only an owner that never called Close gets here.
        try {
            e.ReportError();
        } catch (...) {
        }
    } catch (...) {
    }
    m_nodes.clear();
}

namespace {

// A file that is there but is no XML document: the parser's word on what
// is wrong, and where.
class CXMLFormatException : public CArchiveException
{
public:
    CXMLFormatException(const CString& fileName, const pugi::xml_parse_result& result)
        : CArchiveException(badIndex, fileName),
          m_strProblem(result ? CString("it holds no element")
                              : FormatString("%s at byte %lld", result.description(),
                                             static_cast<long long>(result.offset)))
    {
    }
    CString GetErrorMessage() const override
    {
        return FormatString("%s is not a readable XML file: %s.", m_strFileName.GetString(), m_strProblem.GetString());
    }

private:
    CString m_strProblem;
};

// The whole file; a file that cannot be opened or read raises the file
// exception of its cause.
std::string ReadWholeFile(const CString& fileName)
{
    CFile file;
    CFileException error;
    if (!file.Open(fileName, CFile::modeRead | CFile::typeBinary, &error))
        throw error;
    std::string bytes;
    char chunk[65536];
    for (UINT got; (got = file.Read(chunk, sizeof chunk)) > 0;)
        bytes.append(chunk, got);
    return bytes;
}

} // namespace

void CXMLArchive::Load()
{
    std::string bytes;
    if (m_pStream != nullptr) {
        m_pStream->SeekToBegin();
        const auto& data = m_pStream->Data();
        bytes.assign(data.begin(), data.end());
    } else {
        bytes = ReadWholeFile(m_strFileName);
    }
    if (DeclaresWindows1252(bytes))
        bytes = kestrun::Cp1252ToUtf8(bytes);
    const pugi::xml_parse_result result =
        m_document.load_buffer(bytes.data(), bytes.size(), kParseOptions, pugi::encoding_auto);
    if (!result || !m_document.document_element())
        throw CXMLFormatException(m_strFileName, result);
}

std::string CXMLArchive::Render() const
{
    StringWriter writer;
    for (pugi::xml_node child = m_storeRoot.first_child(); child; child = child.next_sibling())
        child.print(writer, "", pugi::format_raw, pugi::encoding_utf8);
    // A carriage return written as it is comes back as a line feed (XML
    // readers normalise line ends); a character reference keeps it. Only
    // texts can hold one: names are the code's own.
    if (writer.text.find('\r') == std::string::npos)
        return std::move(writer.text);
    std::string text;
    text.reserve(writer.text.size());
    for (const char c : writer.text) {
        if (c == '\r')
            text += "&#13;";
        else
            text += c;
    }
    return text;
}

void CXMLArchive::Save()
{
    const std::string text = Render();
    if (m_pStream != nullptr) {
        if (text.size() > std::numeric_limits<UINT>::max())
            AfxThrowFileException(CFileException::diskFull, -1, m_strFileName);
        m_pStream->SetLength(0);
        m_pStream->SeekToBegin();
        m_pStream->Write(text.data(), static_cast<UINT>(text.size()));
        return;
    }
    kestrun::CAtomicFileWriter writer(m_strFileName);
    writer.Write(text.data(), text.size());
    writer.Commit();
}

void CXMLArchive::Close()
{
    if (m_bClosed)
        return;
    m_bClosed = true;
    CArchive::Close();
    if (IsStoring())
        Save();
}

pugi::xml_node CXMLArchive::DocumentNode() const
{
    return IsStoring() ? m_storeRoot : m_document.root();
}

CXMLArchiveNode* CXMLArchive::GetChildNode(LPCTSTR name)
{
    if (name == nullptr || *name == '\0')
        AfxThrowInvalidArgException();
    CXMLArchiveNode* current = GetCurrentNode();
    const pugi::xml_node parent = current ? current->m_element : DocumentNode();

    pugi::xml_node element;
    if (IsStoring()) {
        element = m_staging.append_child(name);
    } else if (current != nullptr && current->m_bChildrenFetched && current->m_nChildIndex >= 0 &&
               static_cast<size_t>(current->m_nChildIndex) < current->m_children.size()) {
        // Inside a list: the child at the running index, whatever its name.
        element = current->m_children[static_cast<size_t>(current->m_nChildIndex)];
    } else if (current != nullptr) {
        element = current->FindDescendant(name, current->m_nChildIndex);
    } else {
        element = m_document.find_node([name](pugi::xml_node n) {
            return n.type() == pugi::node_element && std::strcmp(n.name(), name) == 0;
        });
    }
    if (!element)
        return nullptr;
    m_nodes.push_back(std::make_unique<CXMLArchiveNode>(this, element, parent));
    return m_nodes.back().get();
}

CXMLArchiveNode* CXMLArchive::GetCurrentNode() const
{
    return m_nodes.empty() ? nullptr : m_nodes.back().get();
}

void CXMLArchive::PopNode()
{
    if (!m_nodes.empty())
        m_nodes.pop_back();
}

CObject* CXMLArchive::CreateObjectByName(const CString& name)
{
    return CreateObjectByName(name, RUNTIME_CLASS(CObject));
}

CObject* CXMLArchive::CreateObjectByName(const CString& name, const CRuntimeClass* base)
{
    if (name.IsEmpty() || name.GetAt(0) == '#')
        return nullptr;
    // The run-time class registry is the lookup; a cache beside it would
    // outlive classes of libraries that have been unloaded. Only classes
    // that are stored come from a file: a file names what it likes
    // (documents, windows, the engine), and those are never constructed.
    const CRuntimeClass* cls = CRuntimeClass::FromName(name);
    if (cls == nullptr || !cls->IsStorable() || !cls->IsDerivedFrom(base))
        return nullptr;
    return cls->CreateObject();
}

CXMLArchive& CXMLArchive::FromArchive(CArchive& ar)
{
    auto* xml = dynamic_cast<CXMLArchive*>(&ar);
    if (xml == nullptr)
        AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
    return *xml;
}
