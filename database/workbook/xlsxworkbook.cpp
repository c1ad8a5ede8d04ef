#include "database/workbook/xlsxworkbook.h"

#include <pugixml.hpp>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <fstream>
#include <sstream>

namespace kestrun {

namespace {

constexpr const char* kContentTypes = "[Content_Types].xml";
constexpr const char* kRootRelations = "_rels/.rels";
constexpr std::size_t kMaxSheets = 1024;
// The compound-file signature that 97-2003 workbooks start with.
constexpr char kCompoundFile[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
CWorkbookException OldFormat(const CString& source)
{
    return CWorkbookException(FormatString(
        "%s is a 97-2003 workbook (.xls), which cannot be edited here: save it as .xlsx.", source.GetString()));
}
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single;

// Element and attribute names without their namespace prefix.
const char* LocalName(const char* name)
{
    const char* colon = std::strrchr(name, ':');
    return colon != nullptr ? colon + 1 : name;
}

pugi::xml_node Child(pugi::xml_node node, const char* local)
{
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element && std::strcmp(LocalName(child.name()), local) == 0)
            return child;
    return {};
}

bool Is(pugi::xml_node node, const char* local)
{
    return node.type() == pugi::node_element && std::strcmp(LocalName(node.name()), local) == 0;
}

// The prefix ("x:") the part writes its elements with, from one of them.
std::string PrefixOf(pugi::xml_node node)
{
    const char* colon = std::strrchr(node.name(), ':');
    return colon != nullptr ? std::string(node.name(), colon + 1) : std::string();
}

bool EndsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

bool ParseXml(pugi::xml_document& document, const std::string& text)
{
    return document.load_buffer(text.data(), text.size(), kParseOptions, pugi::encoding_utf8).status ==
           pugi::status_ok;
}

std::string SaveXml(const pugi::xml_document& document)
{
    std::ostringstream out;
    document.save(out, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return out.str();
}

// The folder of a part ("xl/" of "xl/workbook.xml").
std::string FolderOfPart(const std::string& part)
{
    const auto slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

// A relationship target as a part name: relative to the folder, '.' and
// '..' resolved inside the package; empty when it leaves the package.
std::string ResolveTarget(const std::string& folder, std::string_view target)
{
    std::string path = target.starts_with('/') ? std::string(target.substr(1)) : folder + std::string(target);
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string piece = path.substr(start, end - start);
        if (piece == "..") {
            if (parts.empty())
                return {};
            parts.pop_back();
        } else if (!piece.empty() && piece != ".") {
            parts.push_back(piece);
        }
        start = end + 1;
    }
    std::string joined;
    for (const std::string& piece : parts)
        joined += (joined.empty() ? "" : "/") + piece;
    return joined;
}

std::string RelationsOf(const std::string& part)
{
    const std::string folder = FolderOfPart(part);
    return folder + "_rels/" + part.substr(folder.size()) + ".rels";
}

// The attribute "r:id" under whatever prefix the part gave the
// relationships namespace.
pugi::xml_attribute RelationId(pugi::xml_node node)
{
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute())
        if (std::strchr(a.name(), ':') != nullptr && std::strcmp(LocalName(a.name()), "id") == 0)
            return a;
    return {};
}

long ParseLong(const char* text)
{
    long value = 0;
    const char* end = text + std::strlen(text);
    const auto [ptr, ec] = std::from_chars(text, end, value);
    return ec == std::errc() && ptr == end ? value : -1;
}

// Text that XML 1.0 can carry: other control characters are written as
// the format's "_xHHHH_" escapes.
std::string CellText(const CString& text)
{
    std::string out;
    for (const char c : std::string_view(text.GetString(), static_cast<std::size_t>(text.GetLength()))) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 && u != '\t' && u != '\n' && u != '\r') {
            char escape[8];
            std::snprintf(escape, sizeof escape, "_x%04X_", u);
            out += escape;
        } else {
            out += c;
        }
    }
    return out;
}

std::string NumberText(double value)
{
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

// The text of a shared or inline string: its runs joined, phonetic hints left out.
std::string StringItemText(pugi::xml_node item)
{
    std::string text;
    for (pugi::xml_node child = item.first_child(); child; child = child.next_sibling()) {
        if (Is(child, "t"))
            text += child.text().get();
        else if (Is(child, "r"))
            text += Child(child, "t").text().get();
    }
    return text;
}

constexpr char kMinimalContentTypes[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>)"
    R"(<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>)"
    R"(</Types>)";
constexpr char kMinimalRootRelations[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>)"
    R"(</Relationships>)";
constexpr char kMinimalWorkbook[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
    R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
    R"(<sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>)";
constexpr char kMinimalWorkbookRelations[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)"
    R"(</Relationships>)";
constexpr char kMinimalSheet[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData/></worksheet>)";

} // namespace

CXlsxWorkbook::CXlsxWorkbook() = default;
CXlsxWorkbook::~CXlsxWorkbook() = default;

void CXlsxWorkbook::Open(const CString& path)
{
    std::ifstream in(path.GetString(), std::ios::binary);
    if (!in.is_open())
        throw CWorkbookException(FormatString("The workbook %s does not exist.", path.GetString()));
    char head[8] = {};
    in.read(head, sizeof head);
    if (in.gcount() == sizeof head && std::memcmp(head, kCompoundFile, sizeof head) == 0)
        throw OldFormat(path);
    in.close();
    m_package.LoadFile(path);
    ReadStructure(path);
}

void CXlsxWorkbook::Load(const void* data, std::size_t size, const CString& source)
{
    if (size >= 8 && std::memcmp(data, kCompoundFile, 8) == 0)
        throw OldFormat(source);
    m_package.Load(data, size, source);
    ReadStructure(source);
}

void CXlsxWorkbook::New()
{
    m_package = CXlsxPackage();
    m_package.Set(kContentTypes, kMinimalContentTypes);
    m_package.Set(kRootRelations, kMinimalRootRelations);
    m_package.Set("xl/workbook.xml", kMinimalWorkbook);
    m_package.Set("xl/_rels/workbook.xml.rels", kMinimalWorkbookRelations);
    m_package.Set("xl/worksheets/sheet1.xml", kMinimalSheet);
    ReadStructure("a new workbook");
}

void CXlsxWorkbook::ReadStructure(const CString& source)
{
    const auto fail = [&source](const char* what) {
        return CWorkbookException(
            FormatString("%s is not a workbook that can be read: %s", source.GetString(), what));
    };
    m_sheets.clear();
    m_sharedStrings.clear();
    m_bFormulaReplaced = false;
    m_strSource = source;

    // The main part, as the package's relationships name it.
    m_workbookPart = "xl/workbook.xml";
    if (const std::string* rels = m_package.Find(kRootRelations)) {
        pugi::xml_document document;
        if (!ParseXml(document, *rels))
            throw fail("its relationships are damaged");
        for (pugi::xml_node r : document.document_element().children()) {
            if (Is(r, "Relationship") && EndsWith(r.attribute("Type").value(), "/officeDocument")) {
                m_workbookPart = ResolveTarget({}, r.attribute("Target").value());
                break;
            }
        }
    }
    const std::string* workbook = m_package.Find(m_workbookPart);
    if (workbook == nullptr)
        throw fail("it has no workbook part");
    pugi::xml_document book;
    if (!ParseXml(book, *workbook) || !Is(book.document_element(), "workbook"))
        throw fail("its workbook part is damaged");

    // The parts the workbook refers to, by relationship id.
    std::vector<std::pair<std::string, std::string>> targets; // id, part
    std::string sharedStrings;
    const std::string folder = FolderOfPart(m_workbookPart);
    if (const std::string* rels = m_package.Find(RelationsOf(m_workbookPart))) {
        pugi::xml_document document;
        if (!ParseXml(document, *rels))
            throw fail("the workbook's relationships are damaged");
        for (pugi::xml_node r : document.document_element().children()) {
            if (!Is(r, "Relationship"))
                continue;
            const std::string type = r.attribute("Type").value();
            const std::string part = ResolveTarget(folder, r.attribute("Target").value());
            if (EndsWith(type, "/worksheet"))
                targets.emplace_back(r.attribute("Id").value(), part);
            else if (EndsWith(type, "/sharedStrings"))
                sharedStrings = part;
        }
    }
    for (pugi::xml_node sheet : Child(book.document_element(), "sheets").children()) {
        if (!Is(sheet, "sheet"))
            continue;
        const std::string id = RelationId(sheet).value();
        const auto target = std::ranges::find(targets, id, &std::pair<std::string, std::string>::first);
        if (target == targets.end())
            continue; // a chart sheet or a dialog sheet: not a worksheet
        if (m_package.Find(target->second) == nullptr)
            throw fail("a sheet is missing");
        if (m_sheets.size() == kMaxSheets)
            throw fail("it has too many sheets");
        CSheet entry;
        entry.m_strName = sheet.attribute("name").value();
        entry.m_part = target->second;
        m_sheets.push_back(std::move(entry));
    }
    if (m_sheets.empty())
        throw fail("it has no worksheet");
    if (!sharedStrings.empty())
        if (const std::string* text = m_package.Find(sharedStrings)) {
            pugi::xml_document document;
            if (!ParseXml(document, *text))
                throw fail("its shared strings are damaged");
            for (pugi::xml_node item : document.document_element().children())
                if (Is(item, "si"))
                    m_sharedStrings.push_back(StringItemText(item));
        }
}

void CXlsxWorkbook::SaveAs(const CString& path)
{
    for (CSheet& sheet : m_sheets) {
        if (sheet.m_bChanged)
            m_package.Set(sheet.m_part, SaveXml(*sheet.m_document));
    }
    if (m_bFormulaReplaced)
        ForgetCalculationChain();
    AskForRecalculation();
    m_package.SaveFile(path);
    for (CSheet& sheet : m_sheets)
        sheet.m_bChanged = false;
}

CString CXlsxWorkbook::GetSheetName(int index) const
{
    if (index < 0 || index >= GetSheetCount())
        throw CWorkbookException(FormatString("There is no sheet %d.", index + 1));
    return m_sheets[static_cast<std::size_t>(index)].m_strName;
}

int CXlsxWorkbook::FindSheet(const CString& name) const
{
    for (std::size_t i = 0; i < m_sheets.size(); ++i)
        if (m_sheets[i].m_strName.CompareNoCase(name) == 0)
            return static_cast<int>(i);
    return -1;
}

CXlsxWorkbook::CSheet& CXlsxWorkbook::Sheet(int index)
{
    if (index < 0 || index >= GetSheetCount())
        throw CWorkbookException(FormatString("There is no sheet %d.", index + 1));
    return m_sheets[static_cast<std::size_t>(index)];
}

pugi::xml_document& CXlsxWorkbook::SheetDocument(CSheet& sheet)
{
    if (!sheet.m_document) {
        auto document = std::make_unique<pugi::xml_document>();
        const std::string* text = m_package.Find(sheet.m_part);
        if (text == nullptr || !ParseXml(*document, *text) || !Is(document->document_element(), "worksheet") ||
            !Child(document->document_element(), "sheetData")) {
            throw CWorkbookException(FormatString("The sheet %s of %s is damaged.", sheet.m_strName.GetString(),
                                                  m_strSource.GetString()));
        }
        sheet.m_document = std::move(document);
    }
    return *sheet.m_document;
}

void CXlsxWorkbook::CheckCell(long row, long column)
{
    if (row < 1 || row > kMaxRows || column < 1 || column > kMaxColumns)
        throw CWorkbookException(FormatString("The cell (%ld, %ld) is outside the sheet.", row, column));
}

bool CXlsxWorkbook::ParseReference(const CString& text, long& row, long& column)
{
    const std::string_view s(text.GetString(), static_cast<std::size_t>(text.GetLength()));
    std::size_t i = 0;
    if (i < s.size() && s[i] == '$')
        ++i;
    long c = 0;
    const std::size_t letters = i;
    for (; i < s.size() && std::isalpha(static_cast<unsigned char>(s[i])) != 0 && i - letters < 3; ++i)
        c = c * 26 + (std::toupper(static_cast<unsigned char>(s[i])) - 'A' + 1);
    if (i == letters)
        return false;
    if (i < s.size() && s[i] == '$')
        ++i;
    long r = 0;
    const auto [end, ec] = std::from_chars(s.data() + i, s.data() + s.size(), r);
    if (ec != std::errc() || end != s.data() + s.size() || s[i] == '+' || s[i] == '-')
        return false;
    if (r < 1 || r > kMaxRows || c < 1 || c > kMaxColumns)
        return false;
    row = r;
    column = c;
    return true;
}

CString CXlsxWorkbook::MakeReference(long row, long column)
{
    std::string letters;
    for (long c = column; c > 0; c = (c - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    return FormatString("%s%ld", letters.c_str(), row);
}

pugi::xml_node CXlsxWorkbook::FindCell(CSheet& sheet, long row, long column, bool create)
{
    pugi::xml_node data = Child(SheetDocument(sheet).document_element(), "sheetData");
    const std::string prefix = PrefixOf(data);
    // Rows and cells without "r" follow the one before them.
    long index = 0;
    pugi::xml_node line;
    for (pugi::xml_node node = data.first_child(); node; node = node.next_sibling()) {
        if (!Is(node, "row"))
            continue;
        const long r = node.attribute("r") ? ParseLong(node.attribute("r").value()) : index + 1;
        if (r < 1)
            throw CWorkbookException(FormatString("The sheet %s of %s is damaged.", sheet.m_strName.GetString(),
                                                  m_strSource.GetString()));
        index = r;
        if (r == row) {
            line = node;
            break;
        }
        if (r > row) {
            if (!create)
                return {};
            line = data.insert_child_before((prefix + "row").c_str(), node);
            break;
        }
    }
    if (!line) {
        if (!create)
            return {};
        line = data.append_child((prefix + "row").c_str());
    }
    if (!line.attribute("r"))
        line.append_attribute("r").set_value(FormatString("%ld", row).GetString());

    long col = 0;
    for (pugi::xml_node node = line.first_child(); node; node = node.next_sibling()) {
        if (!Is(node, "c"))
            continue;
        long r = row;
        long c = col + 1;
        if (node.attribute("r") && !ParseReference(node.attribute("r").value(), r, c))
            throw CWorkbookException(FormatString("The sheet %s of %s is damaged.", sheet.m_strName.GetString(),
                                                  m_strSource.GetString()));
        col = c;
        if (c == column)
            return node;
        if (c > column) {
            if (!create)
                return {};
            pugi::xml_node cell = line.insert_child_before((prefix + "c").c_str(), node);
            cell.append_attribute("r").set_value(MakeReference(row, column).GetString());
            line.remove_attribute("spans");
            return cell;
        }
    }
    if (!create)
        return {};
    // Cells come before anything else a row may hold (extensions).
    pugi::xml_node cell = line.append_child((prefix + "c").c_str());
    cell.append_attribute("r").set_value(MakeReference(row, column).GetString());
    line.remove_attribute("spans");
    return cell;
}

COleVariant CXlsxWorkbook::GetCell(int sheetIndex, long row, long column)
{
    CheckCell(row, column);
    CSheet& sheet = Sheet(sheetIndex);
    const pugi::xml_node cell = FindCell(sheet, row, column, false);
    if (!cell)
        return {};
    const std::string type = cell.attribute("t").value();
    if (type == "inlineStr")
        return COleVariant(CString(StringItemText(Child(cell, "is")).c_str()));
    const pugi::xml_node value = Child(cell, "v");
    if (!value)
        return {};
    const char* text = value.text().get();
    if (type == "s") {
        const long index = ParseLong(text);
        if (index < 0 || static_cast<std::size_t>(index) >= m_sharedStrings.size())
            throw CWorkbookException(FormatString("The cell %s of %s refers to a missing text.",
                                                  MakeReference(row, column).GetString(), m_strSource.GetString()));
        return COleVariant(CString(m_sharedStrings[static_cast<std::size_t>(index)].c_str()));
    }
    if (type == "b")
        return COleVariant(static_cast<short>(std::strcmp(text, "1") == 0), VT_BOOL);
    if (type == "str" || type == "e")
        return COleVariant(text);
    double number = 0;
    const char* end = text + std::strlen(text);
    const auto [ptr, ec] = std::from_chars(text, end, number);
    if (ec != std::errc() || ptr != end)
        return COleVariant(text);
    return COleVariant(number);
}

void CXlsxWorkbook::SetCell(int sheetIndex, long row, long column, const COleVariant& given)
{
    CheckCell(row, column);
    const COleVariant& value = given.Deref();
    double number = 0;
    switch (value.vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_BSTR:
    case VT_BOOL:
        break;
    default:
        if ((value.vt & VT_ARRAY) != 0 || value.vt == VT_DISPATCH)
            throw CWorkbookException("Only a number, a text, a truth value or Empty can be written into a cell.");
        COleVariant converted = value;
        converted.ChangeType(VT_R8);
        number = converted.dblVal;
    }
    CSheet& sheet = Sheet(sheetIndex);
    pugi::xml_node cell = FindCell(sheet, row, column, true);
    const std::string prefix = PrefixOf(cell);
    // The cell keeps its style; its old value and formula go.
    cell.remove_attribute("t");
    for (pugi::xml_node child = cell.first_child(); child;) {
        const pugi::xml_node next = child.next_sibling();
        if (Is(child, "f"))
            m_bFormulaReplaced = true;
        if (Is(child, "f") || Is(child, "v") || Is(child, "is"))
            cell.remove_child(child);
        child = next;
    }
    switch (value.vt) {
    case VT_EMPTY:
    case VT_NULL:
        break;
    case VT_BSTR: {
        cell.append_attribute("t").set_value("inlineStr");
        pugi::xml_node text = cell.prepend_child((prefix + "is").c_str()).append_child((prefix + "t").c_str());
        text.append_attribute("xml:space").set_value("preserve");
        text.text().set(CellText(value.bstrVal).c_str());
        break;
    }
    case VT_BOOL:
        cell.append_attribute("t").set_value("b");
        cell.prepend_child((prefix + "v").c_str()).text().set(value.boolVal != VARIANT_FALSE ? "1" : "0");
        break;
    default:
        cell.prepend_child((prefix + "v").c_str()).text().set(NumberText(number).c_str());
    }
    sheet.m_bChanged = true;

    // The sheet's stated extent covers the new cell.
    pugi::xml_node dimension = Child(SheetDocument(sheet).document_element(), "dimension");
    if (dimension) {
        const std::string ref = dimension.attribute("ref").value();
        const auto colon = ref.find(':');
        long r1 = row, c1 = column, r2 = row, c2 = column;
        if (ParseReference(ref.substr(0, colon).c_str(), r1, c1)) {
            r2 = r1;
            c2 = c1;
            if (colon != std::string::npos)
                ParseReference(ref.substr(colon + 1).c_str(), r2, c2);
            const CString extent = MakeReference(std::min(r1, row), std::min(c1, column)) + ":" +
                                   MakeReference(std::max(r2, row), std::max(c2, column));
            dimension.attribute("ref").set_value(extent.GetString());
        }
    }
}

// The calculation chain lists formula cells; one that lists a cell whose
// formula was replaced makes the workbook look damaged, and it is rebuilt
// anyway when the workbook recalculates on opening.
void CXlsxWorkbook::ForgetCalculationChain()
{
    const std::string rels = RelationsOf(m_workbookPart);
    const std::string* relations = m_package.Find(rels);
    if (relations == nullptr)
        return;
    pugi::xml_document document;
    if (!ParseXml(document, *relations))
        return;
    std::string chain;
    for (pugi::xml_node r = document.document_element().first_child(); r; r = r.next_sibling()) {
        if (Is(r, "Relationship") && EndsWith(r.attribute("Type").value(), "/calcChain")) {
            chain = ResolveTarget(FolderOfPart(m_workbookPart), r.attribute("Target").value());
            document.document_element().remove_child(r);
            break;
        }
    }
    if (chain.empty())
        return;
    m_package.Set(rels, SaveXml(document));
    m_package.Remove(chain);
    if (const std::string* types = m_package.Find(kContentTypes)) {
        pugi::xml_document list;
        if (ParseXml(list, *types)) {
            for (pugi::xml_node o = list.document_element().first_child(); o; o = o.next_sibling()) {
                if (Is(o, "Override") && std::string(o.attribute("PartName").value()) == "/" + chain) {
                    list.document_element().remove_child(o);
                    break;
                }
            }
            m_package.Set(kContentTypes, SaveXml(list));
        }
    }
}

void CXlsxWorkbook::AskForRecalculation()
{
    pugi::xml_document book;
    const std::string* text = m_package.Find(m_workbookPart);
    if (text == nullptr || !ParseXml(book, *text))
        return;
    pugi::xml_node root = book.document_element();
    pugi::xml_node calc = Child(root, "calcPr");
    if (!calc) {
        // calcPr follows these in the workbook's order of elements.
        pugi::xml_node after;
        for (pugi::xml_node child = root.first_child(); child; child = child.next_sibling())
            for (const char* name : {"sheets", "functionGroups", "externalReferences", "definedNames"})
                if (Is(child, name))
                    after = child;
        const std::string name = PrefixOf(root) + "calcPr";
        calc = after ? root.insert_child_after(name.c_str(), after) : root.append_child(name.c_str());
    }
    if (calc.attribute("fullCalcOnLoad"))
        calc.attribute("fullCalcOnLoad").set_value("1");
    else
        calc.append_attribute("fullCalcOnLoad").set_value("1");
    m_package.Set(m_workbookPart, SaveXml(book));
}

} // namespace kestrun
