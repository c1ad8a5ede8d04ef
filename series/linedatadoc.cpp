// CLineDataDoc: settings, charts, events and the ".cht" file.

#include "series/linedatadoc.h"

#include "series/chartfile.h"
#include "series/curvechart.h"
#include "series/runhost.h"

#include "imaging/dibdoc.h"
#include "outside/grabwell/fgboard.h"
#include "platform/core/exceptions.h"
#include "platform/core/library.h"
#include "platform/core/messagebox.h"
#include "platform/core/profile.h"
#include "platform/ui/doctemplate.h"

#include <algorithm>
#include <exception>

IMPLEMENT_SERIAL(CLineDataDoc, CDocument, VERSIONABLE_SCHEMA | 2)

BEGIN_MESSAGE_MAP(CLineDataDoc, CDocument)
    ON_COMMAND(ID_MEASUREMENT_OPTIONS, OnOptions)
    ON_UPDATE_COMMAND_UI(ID_MEASUREMENT_OPTIONS, OnUpdateOptions)
    ON_COMMAND(ID_MEASUREMENT_ASCII, OnExportText)
    ON_COMMAND(ID_MEASUREMENT_SHOW_TABLE, OnShowTable)
    ON_COMMAND(ID_MEASUREMENT_PEAKS, OnSearchPeaks)
END_MESSAGE_MAP()

namespace {

// The output settings, each kept under its key in the kind's section.
struct sOutputKey
{
    const char* key;
    int CLineDataDoc::*field;
};

constexpr sOutputKey kOutputKeys[] = {
    {"Timing Synchron", &CLineDataDoc::m_bTimingSynchron},
    {"Write AVI", &CLineDataDoc::m_bWriteAVI},
    {"Write File", &CLineDataDoc::m_bWriteFile},
    {"ImageFilter", &CLineDataDoc::m_bImageFilter},
    {"ImageFilterType", &CLineDataDoc::m_nImageFilterType},
    {"LPT Extern", &CLineDataDoc::m_bLPTExtern},
    {"UwScanner", &CLineDataDoc::m_bUwScanner},
    {"UwScannerInfo", &CLineDataDoc::m_bUwScannerInfo},
    {"LPT Extern Delay1", &CLineDataDoc::m_nDelay1},
    {"LPT Extern Delay2", &CLineDataDoc::m_nDelay2},
};

} // namespace

CLineDataDoc::CLineDataDoc()
{
    BuildMessageMap();
    m_Charts.push_back(std::make_unique<CCurveChart>());
}

CLineDataDoc::~CLineDataDoc()
{
    try {
        WriteSettings();
    } catch (const CException& e) {
        e.ReportError();
    } catch (const std::exception& e) {
        AfxMessageBox(e.what(), MB_ICONEXCLAMATION);
    }
    if (m_hDrevant != nullptr)
        FreeLibrary(m_hDrevant);
}

void CLineDataDoc::WriteSettings() const
{
    const CString section = GetDocTypeName();
    for (const sOutputKey& k : kOutputKeys)
        WriteProfileInt(section, k.key, this->*k.field);
}

void CLineDataDoc::LoadSettings(int kind, CBV* engine, CDocTemplate* tableTemplate, CDocTemplate* imageTemplate)
{
    m_nDocType = kind;
    m_pEngine = engine;
    m_pTableTemplate = tableTemplate;
    m_pImageTemplate = imageTemplate;
    m_bNewMeasurement = 1;
    const CString section = GetDocTypeName();
    for (const sOutputKey& k : kOutputKeys)
        this->*k.field = static_cast<int>(GetProfileInt(section, k.key, this->*k.field));
}

CString CLineDataDoc::GetDocTypeName() const
{
    switch (m_nDocType) {
    case kindImage:
        return "BV-Document";
    case kindAnalogue:
        return "AD-Document";
    case kindCount:
        return "CNT-Document";
    default:
        return "Undefined";
    }
}

CRunHost& CLineDataDoc::Host() const
{
    return m_pHost != nullptr ? *m_pHost : kestrun::GetRunHost();
}

void CLineDataDoc::SetBoard(FGBoard* board)
{
    m_pBoard = board;
    m_bBoardSet = true;
}

FGBoard* CLineDataDoc::GetInitBoard() const
{
    FGBoard* board = m_bBoardSet ? m_pBoard : GetFG();
    return board != nullptr && board->IsInit() ? board : nullptr;
}

// ---- charts ---------------------------------------------------------------

CCurveChart* CLineDataDoc::GetChart(int index) const
{
    if (index < 0)
        return nullptr;
    const auto owned = static_cast<int>(m_Charts.size());
    if (index < owned)
        return m_Charts[static_cast<size_t>(index)].get();
    const auto attached = static_cast<size_t>(index - owned);
    return attached < m_AttachedCharts.size() ? m_AttachedCharts[attached] : nullptr;
}

void CLineDataDoc::AttachChart(CCurveChart* chart)
{
    if (chart != nullptr && std::find(m_AttachedCharts.begin(), m_AttachedCharts.end(), chart) == m_AttachedCharts.end())
        m_AttachedCharts.push_back(chart);
}

void CLineDataDoc::DetachChart(CCurveChart* chart)
{
    std::erase(m_AttachedCharts, chart);
}

// ---- events -----------------------------------------------------------------

void CLineDataDoc::ProcessEvent(const CString& name)
{
    if (m_hDrevant != nullptr && m_pProcessEvent != nullptr)
        m_pProcessEvent(name.GetString());
}

void CLineDataDoc::LoadDeviceEventHandler()
{
    if (m_hDrevant == nullptr)
        m_hDrevant = LoadLibrary(m_strDrevant);
    if (m_hDrevant != nullptr)
        m_pProcessEvent = reinterpret_cast<ProcessEventFn>(GetProcAddress(m_hDrevant, "_ProcessEvent@4"));
}

void CLineDataDoc::CheckLimits(double value)
{
    if (m_dLowerLimit == m_dUpperLimit)
        return;
    if (value > m_dUpperLimit) {
        if (m_nUpperState == 0) {
            m_nUpperState = 1;
            ProcessEvent("HighOn");
        }
    } else if (m_nUpperState == 1) {
        m_nUpperState = 0;
        ProcessEvent("HighOff");
    }
    if (value < m_dLowerLimit) {
        if (m_nLowerState == 0) {
            m_nLowerState = 1;
            ProcessEvent("LowOn");
        }
    } else if (m_nLowerState == 1) {
        m_nLowerState = 0;
        ProcessEvent("LowOff");
    }
}

// ---- other documents ------------------------------------------------------------

CDIBDoc* CLineDataDoc::FindLiveImage() const
{
    if (m_pImageTemplate == nullptr)
        return nullptr;
    for (CDocument* doc : m_pImageTemplate->Documents())
        if (auto* image = dynamic_cast<CDIBDoc*>(doc); image != nullptr && image->IsVideo())
            return image;
    return nullptr;
}

void CLineDataDoc::ClearOverlay(int fromBoard)
{
    if (fromBoard != 0) {
        if (FGBoard* board = GetInitBoard())
            board->ClearOverlay();
    } else if (CDIBDoc* live = FindLiveImage()) {
        // What a step drew over the live image goes with the repaint.
        live->RedrawImage(TRUE);
    }
}

// ---- commands ---------------------------------------------------------------------

void CLineDataDoc::OnOptions()
{
    ConfigureMeasurement();
    UpdateAllViews(nullptr, kHintSetUp);
}

void CLineDataDoc::OnUpdateOptions(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_bNewMeasurement == 1);
}

// ---- file ---------------------------------------------------------------------------

void CLineDataDoc::Serialize(CArchive&)
{
    // The document's own part of the file is empty: the file is the chart.
}

BOOL CLineDataDoc::OnOpenDocument(LPCTSTR lpszPathName)
{
    const CString path(lpszPathName != nullptr ? lpszPathName : "");
    try {
        kestrun::LoadChartFile(*m_Charts.front(), path);
    } catch (const CException& e) {
        ReportSaveLoadException(path, &e, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
        return FALSE;
    }
    m_bNewMeasurement = 0;
    m_strPathName = path;
    SetModifiedFlag(FALSE);
    UpdateAllViews(nullptr, kHintSetUp);
    return TRUE;
}

BOOL CLineDataDoc::OnSaveDocument(LPCTSTR lpszPathName)
{
    const CString path(lpszPathName != nullptr ? lpszPathName : "");
    try {
        // Written beside the target and renamed over it: a failure keeps
        // the old file and the document stays modified.
        kestrun::SaveChartFile(*m_Charts.front(), path);
    } catch (const CException& e) {
        ReportSaveLoadException(path, &e, TRUE, AFX_IDP_FAILED_TO_SAVE_DOC);
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}
