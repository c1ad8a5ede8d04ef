#pragma once
// CVideoOptionsDlg: Video > Options for the board's own sources: the frame
// rate of the sources the board paces, the simulated camera's size and
// scene (drifting objects, or the chessboard for the camera calibration),
// the folder the image-folder source plays and the video file the
// video-file source plays. Camera plug-ins bring dialogs of their own.

#include "platform/ui/dialog.h"

class FGBoard;

class CVideoOptionsDlg : public CDialog
{
public:
    // Starts from the board's settings.
    CVideoOptionsDlg(FGBoard& board, CWnd* pParentWnd = nullptr);

    // The values into the board; FALSE when the board refused one (the
    // others are taken).
    BOOL Apply();

    double m_dFrameRate = 25.0;
    int m_nWidth = 640;
    int m_nHeight = 480;
    int m_bChessboard = 0;
    CString m_strPlaybackFolder;
    CString m_strVideoFile;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

private:
    FGBoard& m_board;
};
