#pragma once
// CMDIBView: "Image List", the pages of an image document as thumbnails
// with the page operations of its menu: load a further page, close one,
// invert or spread the grey range of the current page, split it into its
// colour channels and form the difference of two pages. The image
// document shows it modally; OK answers the chosen page in m_nCurrent.

#include "imaging/ui/diblistctrl.h"

#include "platform/ui/menu.h"
#include "platform/ui/resizingdialog.h"

class CBV;
class CDIB;
class CDIBDoc;

class CMDIBView : public CResizingDialog
{
public:
    enum : UINT
    {
        IDD = 417,
        IDC_IMAGE_LIST = 2928,
        IDR_IMAGE_LIST_MENU = 47,
        ID_PAGE_LOAD = 33052,
        ID_PAGE_LOAD_BACKGROUND = 33053,
        ID_PAGE_INVERSE = 33054,
        ID_PAGE_CLOSE = 33055,
        ID_PAGE_GRAY_RANGE = 33056,
        ID_PAGE_OPTICAL_FLOW = 33105,
        ID_PAGE_COLOR_CHANNELS = 33120,
        ID_PAGE_DIFF = 33123,
    };

    CMDIBView(CDIBDoc& doc, CBV* pEngine, int nCurrent, CWnd* pParent = nullptr);

    CDIBDoc& m_doc;
    int m_nCurrent;
    CBV* m_pEngine;
    CMenu m_menu;
    CDIBListCtrl m_wndList;
    // Channels offered by "C&olor Channels": red, green, blue.
    int m_nRed = 1;
    int m_nGreen = 1;
    int m_nBlue = 1;
    // "Load &Background" only remembers the file.
    CString m_strBackground;

    BOOL OnInitDialog() override;
    void OnOK() override;

    void OnLoad();
    void OnLoadBackground();
    void OnInverse();
    void OnClosePage();
    void OnUpdateClosePage(CCmdUI* pCmdUI);
    void OnGrayRange();
    void OnUpdateNotAvailable(CCmdUI* pCmdUI);
    void OnColorChannels();
    void OnDiff();
    void OnListClick(NMHDR* pNMHDR, LRESULT* pResult);

protected:
    void OnCreateControls() override;

    DECLARE_MESSAGE_MAP()

private:
    // The current page; null, after "Actual Image not loaded", when the
    // index names none.
    CDIB* CurrentPageOrSay();
    // Appends a page to the document and the list.
    void AppendPage(std::unique_ptr<CDIB> page, const CString& caption);
    // The page changed: its thumbnail and the document's views follow.
    void PageChanged(int nIndex);
};
