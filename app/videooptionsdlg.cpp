#include "app/videooptionsdlg.h"

#include "app/appresources.h"
#include "app/resource.h"

#include "outside/grabwell/fgboard.h"
#include "platform/core/messagebox.h"
#include "platform/ui/ddx.h"

namespace p = kestrun::fgparam;

CVideoOptionsDlg::CVideoOptionsDlg(FGBoard& board, CWnd* pParentWnd)
    : CDialog(IDD_VIDEO_OPTIONS, pParentWnd), m_board(board)
{
    kestrun::RegisterAppResources();
    const kestrun::CBoardSettings settings = board.GetSettings();
    m_dFrameRate = settings.frameRate;
    m_nWidth = settings.simulatedWidth;
    m_nHeight = settings.simulatedHeight;
    m_bChessboard = settings.simulatedScene == 1 ? 1 : 0;
    m_strPlaybackFolder = settings.playbackFolder;
    m_strVideoFile = settings.videoFile;
}

void CVideoOptionsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_VIDEO_FRAME_RATE, m_dFrameRate);
    DDV_MinMaxDouble(pDX, m_dFrameRate, 0.1, 1000.0);
    DDX_Text(pDX, IDC_VIDEO_WIDTH, m_nWidth);
    DDV_MinMaxInt(pDX, m_nWidth, 1, 8192);
    DDX_Text(pDX, IDC_VIDEO_HEIGHT, m_nHeight);
    DDV_MinMaxInt(pDX, m_nHeight, 1, 8192);
    DDX_Check(pDX, IDC_VIDEO_CHESSBOARD, m_bChessboard);
    DDX_Text(pDX, IDC_VIDEO_PLAYBACK_FOLDER, m_strPlaybackFolder);
    DDX_Text(pDX, IDC_VIDEO_FILE, m_strVideoFile);
}

void CVideoOptionsDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    if (!Apply())
        AfxMessageBox("The video board did not take every setting.", MB_ICONEXCLAMATION);
    EndDialog(IDOK);
}

BOOL CVideoOptionsDlg::Apply()
{
    BOOL taken = m_board.SetParameterDouble(p::kFrameRate, m_dFrameRate);
    // The live size parameters set the simulated camera's size.
    taken = m_board.SetParameter(p::kLiveWidth, m_nWidth) && taken;
    taken = m_board.SetParameter(p::kLiveHeight, m_nHeight) && taken;
    taken = m_board.SetParameter(p::kSimulatedScene, m_bChessboard ? 1 : 0) && taken;
    taken = m_board.SetParameterString(p::kPlaybackFolder, m_strPlaybackFolder) && taken;
    taken = m_board.SetParameterString(p::kVideoFile, m_strVideoFile) && taken;
    return taken;
}
