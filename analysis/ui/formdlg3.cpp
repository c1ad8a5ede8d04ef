// Page 3 of the form-parameter sheet: the contour analyses and the object
// model.

#include "analysis/formthres.h"
#include "analysis/ui/analysisdlgresources.h"
#include "analysis/ui/formdlgs.h"

#include "platform/ui/ddx.h"

using namespace kestrun::analysisui;

IMPLEMENT_DYNAMIC(CFormDlg3, CPropertyPage)

namespace {

struct sParameterBox
{
    UINT id;
    UINT bit;
};

const sParameterBox kParameters[] = {
    {IDC_ISTHMUS, 0x2}, {IDC_CONVEX, 0x4}, {IDC_CONCAVE, 0x8},
    {IDC_SPLIT, 0x10},  {IDC_CLUSTER, 0x20}, {IDC_MERGE, 0x40},
};

} // namespace

BEGIN_MESSAGE_MAP(CFormDlg3, CPropertyPage)
    ON_COMMAND_RANGE(IDC_CONVEX, IDC_MERGE, OnParameter)
    ON_COMMAND(IDC_CLUSTER, OnClusterClicked)
    ON_COMMAND_RANGE(IDC_MODEL_CONTOUR, IDC_MODEL_SEGMENT, OnModel)
END_MESSAGE_MAP()

CFormDlg3::CFormDlg3() : CPropertyPage((RegisterAnalysisDialogs(), IDD_FORM_MODEL))
{
    BuildMessageMap();
}

CFormDlg3::~CFormDlg3()
{
    DestroyHandleNow();
}

BOOL CFormDlg3::OnInitDialog()
{
    const BOOL result = CPropertyPage::OnInitDialog();
    EnableCluster();
    return result;
}

void CFormDlg3::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    UINT parameter = 0;
    for (const sParameterBox& box : kParameters) {
        int checked = (m_pFormThres->m_Parameter & box.bit) != 0 ? BST_CHECKED : BST_UNCHECKED;
        DDX_Check(pDX, static_cast<int>(box.id), checked);
        if (checked == BST_CHECKED)
            parameter |= box.bit;
    }
    int model = static_cast<int>(m_pFormThres->m_Model);
    DDX_Radio(pDX, IDC_MODEL_CONTOUR, model);
    int distance = m_pFormThres->m_MaxDistance;
    DDX_Text(pDX, IDC_MAX_DISTANCE, distance);
    if (pDX->m_bSaveAndValidate) {
        m_pFormThres->m_Parameter = parameter;
        if (model >= 0)
            m_pFormThres->m_Model = static_cast<UINT>(model);
        m_pFormThres->m_MaxDistance = distance;
    }
}

void CFormDlg3::OnParameter(UINT)
{
    SetModified();
}

void CFormDlg3::OnClusterClicked()
{
    EnableCluster();
    SetModified();
}

void CFormDlg3::OnModel(UINT)
{
    EnableCluster();
    SetModified();
}

void CFormDlg3::EnableCluster()
{
    const int model = GetCheckedRadioButton(IDC_MODEL_CONTOUR, IDC_MODEL_SEGMENT);
    const bool group = model == IDC_MODEL_CONTOUR || model == IDC_MODEL_SKELETON;
    GetDlgItem(IDC_CLUSTER)->EnableWindow(group);
    GetDlgItem(IDC_MAX_DISTANCE)->EnableWindow(group && IsDlgButtonChecked(IDC_CLUSTER) == BST_CHECKED);
}
