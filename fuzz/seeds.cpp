// fuzz_seeds <folder>: a small starting corpus for each fuzz program, made
// by the code that writes such files: <folder>/image, aoi, xml, ini, classes,
// dgoparams, track, script, chartfile, measurementdoc, workbook, packeddib,
// traysidefile.

#include "analysis/aoi.h"
#include "analysis/aoidoc.h"
#include "analysis/classes.h"
#include "analysis/track.h"
#include "database/tests/workbookfixture.h"
#include "database/trayoutput.h"
#include "database/workbook/xlsxworkbook.h"
#include "objectmodel/rpolygon.h"
#include "objectmodel/xmlarchive.h"
#include "outside/pixmere/dib.h"
#include "outside/pixmere/packeddib.h"
#include "platform/core/archive.h"
#include "platform/core/file.h"
#include "scripthost/contscript.h"
#include "scripthost/scripttext.h"
#include "series/chartfile.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

void Save(const fs::path& path, const std::vector<BYTE>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void Save(const fs::path& path, const std::string& text)
{
    Save(path, std::vector<BYTE>(text.begin(), text.end()));
}

// The fuzz program reads the first byte as the format to expect.
void ImageSeeds(const fs::path& folder)
{
    const int formats[] = {CxImage::FormatUnknown, CxImage::FormatBmp, CxImage::FormatJpg,
                           CxImage::FormatPng, CxImage::FormatTif, CxImage::FormatJp2};
    for (const int bpp : {8, 24}) {
        CDIB page;
        page.InitDIB(33, 32, bpp);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 33; ++x)
                page.SetPixel(x, y, RGB(x * 7, y * 8, (x + y) * 3));
        for (size_t k = 1; k < std::size(formats); ++k) {
            std::vector<BYTE> bytes;
            if (!page.Encode(bytes, formats[k]))
                continue;
            bytes.insert(bytes.begin(), static_cast<BYTE>(k));
            Save(folder / ("page" + std::to_string(bpp) + "-" + std::to_string(formats[k])), bytes);
        }
    }
}

void AoiSeeds(const fs::path& folder)
{
    CAOIDoc doc;
    auto rectangle = std::make_unique<CAOI2>(CRect(10, 20, 70, 60));
    rectangle->CreateRaster(3, 2, 4);
    std::unique_ptr<CAOI> area = std::move(rectangle);
    doc.AddAOI(area);
    auto parallelogram = std::make_unique<CAOI3>();
    parallelogram->SetFromPoints({5, 5}, {40, 12}, {30, 40});
    area = std::move(parallelogram);
    doc.AddAOI(area);
    CRPolygon outline;
    for (const POINT& p : {POINT{0, 0}, POINT{30, 0}, POINT{30, 8}, POINT{10, 8}, POINT{10, 30}, POINT{0, 30}})
        outline.Add(p);
    doc.AddPolygonAOI(outline);
    auto ring = std::make_unique<CAOIRing>();
    ring->SetRingWidth(6);
    ring->SetFromCorners(200, 100, 260, 140);
    area = std::move(ring);
    doc.AddAOI(area);
    auto ellipse = std::make_unique<CAOIEllipse>();
    ellipse->SetFromCorners(300, 300, 361, 321);
    ellipse->SetAngle(0.7);
    area = std::move(ellipse);
    doc.AddAOI(area);

    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        doc.Serialize(ar);
        ar.Close();
    }
    Save(folder / "list.AOI", file.Data());
}

// Every class a file may create, stored on its own.
void XmlSeeds(const fs::path& folder)
{
    for (const CRuntimeClass* cls : CRuntimeClass::RegisteredClasses()) {
        const std::unique_ptr<CObject> object(CXMLArchive::CreateObjectByName(cls->m_lpszClassName));
        if (!object)
            continue;
        CMemFile stream;
        try {
            CXMLArchive xml("seed.xml", CArchive::store, &stream);
            object->Serialize(xml);
            xml.Close();
        } catch (const CException&) {
            continue;
        }
        if (!stream.Data().empty())
            Save(folder / (std::string(cls->m_lpszClassName) + ".xml"), stream.Data());
    }
}

void IniSeeds(const fs::path& folder)
{
    Save(folder / "settings.ini", std::string("\xEF\xBB\xBF; settings\r\n[Camera]\r\nGain = 12\r\nMode=\"live\"\r\n\r\n"
                                              "[Paths]\r\nExport=script\\export.txt\r\n; end\r\n[Empty]\r"));
}

void ClassesSeeds(const fs::path& folder)
{
    CClasses classes;
    classes.AddClass("round");
    classes.AddClass("long");
    const fs::path binary = folder / "binary.classes";
    const fs::path xml = folder / "xml.classes";
    classes.SaveFile(binary.c_str(), CClasses::formatBinary);
    classes.SaveFile(xml.c_str(), CClasses::formatXML);
}

void DgoParamsSeeds(const fs::path& folder)
{
    Save(folder / "ellipse.txt", std::string("/* ellipse fit */\nnParameter: 5\nMaxRuns: 300 MinDeltaChi: 0.001\n"
                                             "UseHalfDeriv: 0\nStepFactor: 0.01 0.01 0.01 0.01 0.0001\n"
                                             "StepDivisor: 1.3 1.3 1.3 1.3 1.3\nMinStep: 0.001 0.001 0.001 0.001 1e-5\n"
                                             "MaxStep: 5 5 5 5 0.1\nIncludeOpt: 1 1 1 1 0\n"
                                             "DerivStep: 0.001 0.001 0.001 0.001 1e-5\n"));
}

void TrackSeeds(const fs::path& folder)
{
    CTrack track;
    track.SetSize(3);
    for (int k = 0; k < 3; ++k) {
        C3DTrackElement2009 element;
        element.m_dwTime = static_cast<DWORD>(1000 + 40 * k);
        element.m_wX = static_cast<WORD>(10 + k);
        element.m_dwArea = 50;
        track.AddPoint(element, static_cast<WORD>(k), 1);
    }
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        track.SerializeFrames(ar, CTrack::layout2009);
        ar.Close();
    }
    // The first byte picks the layout in fuzz_track: 9 is the 32-byte element.
    std::vector<BYTE> bytes{9};
    bytes.insert(bytes.end(), file.Data().begin(), file.Data().end());
    Save(folder / "frames.bin", bytes);
}

// The first byte picks the reader: 0 VBScript text, 1 a container
// archive, 2 the editor's text archive.
void ScriptSeeds(const fs::path& folder)
{
    const char* const sources[] = {
        "Option Explicit\r\nDim a(3), i\r\nFor i = 0 To 3: a(i) = i * 2: Next\r\nMsgBox Join(a, \",\")\r\n",
        "Function F(ByVal n)\n If n <= 1 Then F = 1 Else F = n * F(n - 1)\nEnd Function\nSub S(x)\n x = x + 1\nEnd "
        "Sub\nOn Error Resume Next\ny = F(5): S y\n",
        "Select Case Bild.Bild\nCase 0, 10\n MsgBox \"none\"\nCase Else\n If Bild.Measure(\"Count\") Then "
        "Bild.MoveAOI 5, -5\nEnd Select\n",
        "With Tabelle\n For r = 1 To .Count\n  s = s & .Title(1) & \"=\" & .Value(r, 1) & vbCrLf\n Next\nEnd With\n",
        "Execute \"x = 1\" & vbLf & \"y = Eval(\"\"x + 1\"\")\"\nd = DateAdd(\"m\", 1, #2024-01-31#)\nn = "
        "DateDiff(\"d\", d, Now) + Rnd(-1)\nDo While n > 0: n = n - 1: Loop\n",
    };
    int index = 0;
    for (const char* source : sources) {
        Save(folder / ("vbs" + std::to_string(index++)), std::string(1, '\0') + source);
    }
    const auto archived = [&folder](const char* name, BYTE kind, const std::function<void(CArchive&)>& store) {
        CMemFile file;
        {
            CArchive ar(&file, CArchive::store);
            store(ar);
            ar.Close();
        }
        std::vector<BYTE> bytes = file.Data();
        bytes.insert(bytes.begin(), kind);
        Save(folder / name, bytes);
    };
    archived("container-global", 1, [](CArchive& ar) {
        CContScript script;
        script.SetCode("MsgBox \"Hallo\"");
        script.Serialize(ar);
    });
    archived("container-handler", 1, [](CArchive& ar) {
        CContScript script("Bild", "Click", "(x)");
        script.SetCode("MsgBox x");
        script.Serialize(ar);
    });
    archived("text", 2, [](CArchive& ar) {
        CString text("x = 1\r\nMsgBox x");
        kestrun::SerializeScriptText(ar, text);
    });
}

// A chart on a time axis with a filter, a gap and a negative value, and
// an empty one.
void ChartSeeds(const fs::path& folder)
{
    CCurveChart chart;
    chart.SetXTitle("Time");
    chart.SetYTitle("AreaAOI");
    chart.SetXRange(3600.0, 7200.0, 60.0);
    chart.SetFilter(CDataFilter::filterMean, 3);
    chart.SetMethod(1);
    const int first = chart.AddCurve("AOI 1", RGB(255, 0, 0));
    const int second = chart.AddCurve("AOI 2", RGB(0, 0, 255));
    chart.SetCurveStyle(second, 0x2000003);
    for (int i = 0; i < 8; ++i) {
        chart.AddValue(static_cast<float>(100.0 * std::exp(0.2 * i)), first);
        chart.AddValue(i == 3 ? NAN : static_cast<float>(i - 2) * 1e-7F, second);
    }
    Save(folder / "curves.cht", kestrun::ChartFileText(chart.Data()));
    Save(folder / "empty.cht", kestrun::ChartFileText(CCurveChartData{}));
}

// A measurement run's chart: one item per area on a time axis from a
// clock start, and one that never measured.
void MeasurementDocSeeds(const fs::path& folder)
{
    CCurveChart chart;
    chart.SetXTitle("Time");
    chart.SetYTitle("AreaAOI");
    chart.SetXKind(2);
    chart.SetXRange(37800.0, 38400.0, 30.0);
    chart.SetDate(46082.5);
    const int first = chart.AddCurve("AOI1", RGB(255, 0, 0));
    const int second = chart.AddCurve("AOI2", RGB(0, 255, 0));
    for (int i = 0; i < 20; ++i) {
        chart.AddValue(static_cast<float>(1200 + 15 * i), first);
        chart.AddValue(static_cast<float>(800 - 3 * i), second);
    }
    Save(folder / "run.cht", kestrun::ChartFileText(chart.Data()));
    CCurveChart fresh;
    fresh.SetYTitle("Growth");
    fresh.AddCurve("Screen", 255);
    Save(folder / "fresh.cht", kestrun::ChartFileText(fresh.Data()));
}

// The test template and a new workbook with a value in it.
void WorkbookSeeds(const fs::path& folder)
{
    Save(folder / "template.xlsx", kestrun::testing::FixtureWorkbookBytes());
    kestrun::CXlsxWorkbook book;
    book.New();
    book.SetCell(0, 2, 3, COleVariant("seed"));
    book.SaveAs((folder / "new.xlsx").c_str());
}

// Packed bitmaps as our source manager hands them over.
void PackedDibSeeds(const fs::path& folder)
{
    for (const int bpp : {8, 24}) {
        CDIB page;
        page.InitDIB(5, 3, bpp);
        page.SetPixel(1, 1, RGB(90, 60, 30));
        HGLOBAL handle = kestrun::PackPage(page);
        const auto* bytes = static_cast<const BYTE*>(GlobalLock(handle));
        Save(folder / ("packed" + std::to_string(bpp)), std::vector<BYTE>(bytes, bytes + GlobalSize(handle)));
        GlobalUnlock(handle);
        GlobalFree(handle);
    }
}

// A side file as the tray form writes it, and one with Windows line ends.
void TraySideFileSeeds(const fs::path& folder)
{
    const kestrun::tray::CSideFile side{"30_20", "20260304 090507 1001.jpg", "128", 2, 1};
    kestrun::tray::WriteSideFile((folder / "side.txt").c_str(), side);
    CString text = kestrun::tray::SideFileText(side);
    text.Replace("\n", "\r\n");
    Save(folder / "crlf.txt", text.str());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    const struct
    {
        const char* name;
        void (*make)(const fs::path&);
    } kinds[] = {{"image", ImageSeeds}, {"aoi", AoiSeeds}, {"xml", XmlSeeds}, {"ini", IniSeeds}, {"classes", ClassesSeeds},
                 {"dgoparams", DgoParamsSeeds}, {"track", TrackSeeds}, {"script", ScriptSeeds},
                 {"chartfile", ChartSeeds}, {"measurementdoc", MeasurementDocSeeds}, {"workbook", WorkbookSeeds},
                 {"packeddib", PackedDibSeeds}, {"traysidefile", TraySideFileSeeds}};
    try {
        for (const auto& kind : kinds) {
            fs::create_directories(root / kind.name);
            kind.make(root / kind.name);
        }
    } catch (const CException& e) {
        std::fprintf(stderr, "%s\n", e.GetErrorMessage().GetString());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
