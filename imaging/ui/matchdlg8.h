#pragma once
// CMatchDlg8: "Pattern Matching Control", the image view's modeless
// pattern-matching window (see CPatternMatch for what a run does). Learn
// takes the reference from the active area, Match judges every area once,
// Start matches every live frame of the board until Stop; the list shows
// each area's value and judgement, the lamp lights while every area is
// "OK", and while live the status line shows the running statistics once a
// second.
//
// The board's frame callback runs on the board's thread and only posts
// "MSG_GRABBER" 23 to the window; the match runs on the window's thread
// inside the board's buffer lock. A frame that comes while one is matched
// is dropped.

#include "imaging/patternmatch.h"
#include "imaging/ui/matchdlg.h"
#include "imaging/ui/matchlistctrl.h"

#include "platform/ui/bitmapbutton.h"

#include <atomic>

class CDIBDocEx;
class FGBoard;

class CMatchDlg8 : public CMatchDlg
{
    DECLARE_DYNAMIC(CMatchDlg8)

public:
    enum
    {
        IDD = 468,
        IDC_LIST = 2539,
        IDC_LINES = 2815,
        IDC_HEXAGONES = 2816,
        IDC_AREA_PATTERN = 2817,
        IDC_STATUS = 2954,
        IDC_START = 2955,
        IDC_STOP = 2956,
        IDC_SIGNAL = 2958,
        // The window's commands.
        ID_MATCH_SETTINGS = 33108,
        ID_MATCH_LEARN = 33109,
        ID_MATCH_MATCH = 33110,
        ID_MATCH_DRAW = 33111,
        ID_MATCH_LEARN_PROFILE = 33112,
        ID_MATCH_MOVE_BACK = 33113,
        kTimer = 1,
        kTimerPeriod = 1000,
        kPictureReady = 23,
        kBufferWait = 5,
    };

    CMatchDlg8();
    ~CMatchDlg8() override;

    // The document whose active page and areas count; set before Create.
    void SetDocument(CDIBDocEx* document) { m_pDocument = document; }
    // The board whose frames live matching takes; GetFG() by default.
    void SetBoard(FGBoard* board) { m_pBoard = board; }
    BOOL Create(CWnd* pOwner);

    void OnLearn();
    void OnMatch();
    void OnStart();
    void OnStop();
    // Kinds 1 and 2 refill the list.
    void OnUpdateNotice(int nKind, int nWord) override;

    // The frame callback of the board (its thread).
    static int GrabberCallback(void* context);

    bool IsLive() const { return m_bLive != 0; }
    const CPatternMatch& GetMatch() const { return m_Match; }
    CPatternMatch& GetMatch() { return m_Match; }
    const CString& GetStatusText() const { return m_strStatus; }
    CMatchListCtrl& GetList() { return m_List; }
    CBitmapButton& GetSignal() { return m_Signal; }
    // Frames whose buffer could not be locked in time.
    int GetMissedFrames() const { return m_nMissedFrames; }

    // "Lines", "Hexagones" or "Area Pattern"; stored only.
    int m_nMethod = 0;

    static UINT s_msgGrabber;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnDestroy() override;
    void OnTimer(UINT_PTR nIDEvent) override;
    void OnSettings();
    void OnDraw();
    void OnLearnProfile();
    void OnMoveBack();
    void OnMethod();
    LRESULT OnGrabber(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    // Live matching ends: the board forgets the callback once no call of
    // it runs any more.
    void RemoveCallBack();
    // One run, then the list, the lamp and the views.
    void RunMatch();
    void FillList();
    void ReadProfile();
    void WriteProfile();
    void RedrawViews();

    CDIBDocEx* m_pDocument = nullptr;
    FGBoard* m_pBoard = nullptr;
    int m_bLive = 0;
    UINT_PTR m_nTimer = 0;
    int m_bTick = 0;
    CString m_strStatus;
    CPatternMatch m_Match;
    CMatchListCtrl m_List;
    CBitmapButton m_Signal;
    int m_nMissedFrames = 0;
    // A frame notice is on its way: the board's frames meanwhile are
    // dropped, not queued.
    std::atomic<bool> m_bFramePending{false};
    // Where the callback posts, set while live: the board's thread never
    // reads the window itself.
    std::atomic<HWND> m_hFrameTarget{nullptr};
    // A frame is being matched, in any window of the program.
    static std::atomic<bool> s_bFrameBusy;
};
