#pragma once
// A small formatted workbook template for tests: a title cell with a style
// and a merged range, a number that a formula doubles, a wide first
// column, a second sheet "Daten", shared strings, styles, a theme and a
// calculation chain.

#include "database/workbook/xlsxpackage.h"

#include <string>

namespace kestrun::testing {

inline const char* const kFixtureStyles =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
    R"(<fonts count="2"><font><sz val="11"/><name val="Calibri"/></font><font><b/><sz val="14"/><name val="Calibri"/></font></fonts>)"
    R"(<fills count="2"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill></fills>)"
    R"(<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>)"
    R"(<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>)"
    R"(<cellXfs count="3"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>)"
    R"(<xf numFmtId="0" fontId="1" fillId="0" borderId="0" xfId="0" applyFont="1"/>)"
    R"(<xf numFmtId="2" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/></cellXfs>)"
    R"(</styleSheet>)";
inline const char* const kFixtureTheme =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<a:theme xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main" name="Lab"/>)";

inline std::string FixtureWorkbookBytes()
{
    CXlsxPackage package;
    package.Set("[Content_Types].xml",
                R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
                R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
                R"(<Default Extension="xml" ContentType="application/xml"/>)"
                R"(<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>)"
                R"(<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>)"
                R"(<Override PartName="/xl/worksheets/sheet2.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>)"
                R"(<Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>)"
                R"(<Override PartName="/xl/theme/theme1.xml" ContentType="application/vnd.openxmlformats-officedocument.theme+xml"/>)"
                R"(<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>)"
                R"(<Override PartName="/xl/calcChain.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml"/>)"
                R"(</Types>)");
    package.Set("_rels/.rels",
                R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
                R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>)"
                R"(</Relationships>)");
    package.Set("xl/workbook.xml",
                R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
                R"(<sheets><sheet name="Bericht" sheetId="1" r:id="rId1"/><sheet name="Daten" sheetId="2" r:id="rId2"/></sheets>)"
                R"(<calcPr calcId="191029"/></workbook>)");
    package.Set("xl/_rels/workbook.xml.rels",
                R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
                R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)"
                R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/xl/worksheets/sheet2.xml"/>)"
                R"(<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
                R"(<Relationship Id="rId4" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/theme" Target="theme/theme1.xml"/>)"
                R"(<Relationship Id="rId5" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>)"
                R"(<Relationship Id="rId6" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/calcChain" Target="calcChain.xml"/>)"
                R"(</Relationships>)");
    package.Set("xl/worksheets/sheet1.xml",
                R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
                R"(<dimension ref="A1:C2"/><cols><col min="1" max="1" width="30" customWidth="1"/></cols><sheetData>)"
                R"(<row r="1" spans="1:3"><c r="A1" s="1" t="s"><v>0</v></c><c r="C1" t="s"><v>1</v></c></row>)"
                R"(<row r="2" spans="1:3"><c r="A2" s="2"><v>1</v></c><c r="C2" s="2"><f>A2*2</f><v>2</v></c></row>)"
                R"(</sheetData><mergeCells count="1"><mergeCell ref="A1:B1"/></mergeCells></worksheet>)");
    package.Set("xl/worksheets/sheet2.xml",
                R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData/></worksheet>)");
    package.Set("xl/styles.xml", kFixtureStyles);
    package.Set("xl/theme/theme1.xml", kFixtureTheme);
    package.Set("xl/sharedStrings.xml",
                R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="2" uniqueCount="2">)"
                R"(<si><t>Bericht Titel</t></si><si><r><t>Dop</t></r><r><t>pelt</t></r></si></sst>)");
    package.Set("xl/calcChain.xml",
                R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                R"(<calcChain xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><c r="C2" i="1"/></calcChain>)");
    return package.Save();
}

} // namespace kestrun::testing
