#include "database/ui/dbformtrayscan.h"

#include "database/dbdocado.h"
#include "database/ui/dbdlgresources.h"
#include "platform/automation/dispatchmap.h"

using namespace kestrun::dbui;

IMPLEMENT_DYNCREATE(CDBFormTrayScan, CBVFormView)

BEGIN_MESSAGE_MAP(CDBFormTrayScan, CBVFormView)
    ON_COMMAND(ID_DB_NEW_RECORD, OnNewRecord)
    ON_COMMAND(ID_DB_PRINT_REPORT, OnPrintReport)
    ON_COMMAND(ID_DB_SAVE_IMAGE, OnSaveImage)
    ON_COMMAND(ID_DB_SHOW_TABLE, OnShowTable)
    ON_COMMAND(ID_DB_IMPORT, OnImport)
    ON_COMMAND(ID_DB_SEARCH_RECORD, OnSearchRecord)
    ON_BN_CLICKED(IDC_NEWCOUNT, OnNewCount)
    ON_BN_CLICKED(IDC_COUNT, OnCount)
    ON_BN_CLICKED(IDC_TS_COUNT_ALL, OnCountAll)
END_MESSAGE_MAP()

CDBFormTrayScan::CDBFormTrayScan() : CBVFormView((RegisterTrayScanForm(), IDD_DBFORMTRAYSCAN))
{
    BuildMessageMap();
}

CDBFormTrayScan::~CDBFormTrayScan() = default;

CDBDocADO* CDBFormTrayScan::GetDocument() const
{
    return dynamic_cast<CDBDocADO*>(m_pDocument);
}

BOOL CDBFormTrayScan::CreateImageView(BOOL bVideo)
{
    return CreateEmbeddedView(IDC_PICTURE, IDC_FRAME_LIMIT, bVideo);
}

void CDBFormTrayScan::OnInitialUpdate()
{
    CBVFormView::OnInitialUpdate();
}

void CDBFormTrayScan::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint)
{
    CBVFormView::OnUpdate(pSender, lHint, pHint);
}

BOOL CDBFormTrayScan::PreTranslateMessage(MSG* pMsg)
{
    return CBVFormView::PreTranslateMessage(pMsg);
}

void CDBFormTrayScan::DoDataExchange(CDataExchange* pDX)
{
    CBVFormView::DoDataExchange(pDX);
}

void CDBFormTrayScan::OnDestroy()
{
    CBVFormView::OnDestroy();
    DetachImageView();
}

void CDBFormTrayScan::OnSize(UINT nType, int cx, int cy)
{
    CBVFormView::OnSize(nType, cx, cy);
}

const kestrun::CDispatchMap& CDBFormTrayScan::GetDispatchMap() const
{
    static const kestrun::CDispatchMap map =
        kestrun::CDispatchMapBuilder<CDBFormTrayScan>("DBFront", kDBFrontClassId).Build();
    return map;
}

std::vector<CString> CDBFormTrayScan::GetReportTitleArray()
{
    return {"Index",          "Date/Time",      "ImageName",     "BarCode", "Tray",  "Pos",   "Number", "Area (Total)",
            "Area (Avg)",     "Area (Dev)",     "Area (Median)", "N [%]",   "K [%]", "A [%]", "L [%]"};
}
