#include "imaging/ui/mdibview.h"

#include "imaging/dibdoc.h"
#include "imaging/imagelistwindow.h"

#include "analysis/bv.h"
#include "analysis/cvfilters.h"
#include "analysis/ui/channelchooser.h"
#include "outside/pixmere/dibext.h"

#include "platform/core/messagebox.h"
#include "platform/ui/commondialogs.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/winapp.h"

#include <mutex>

namespace {

constexpr const char* kNotLoaded = "Actual Image not loaded";
constexpr const char* kBackgroundFilter =
    "Bitmap (*.bmp) |*.bmp|Tagged Image Format (*.tif) |*.tif|JPEG (*.jpg)|*.jpg||";
// Every difference between the two pages shows.
constexpr int kDiffThreshold = 0;
// The channel pages' excess weight: half or a third of the other two.
constexpr int kExcessHalf = 2;
constexpr int kExcessThird = 3;

void RegisterImageListResources()
{
    static std::once_flag once;
    std::call_once(once, [] {
        using namespace kestrun;
        CDialogTemplate layout{"Image List",
                               CRect(0, 0, 319, 210),
                               {
                                   DefPushButton("OK", IDOK, 262, 189, 50, 14),
                               }};
        layout.style |= WS_THICKFRAME;
        RegisterDialogTemplate(CMDIBView::IDD, std::move(layout));
        RegisterMenuResource(
            CMDIBView::IDR_IMAGE_LIST_MENU,
            {Popup("&Image", {MenuItem("&Load", CMDIBView::ID_PAGE_LOAD),
                              MenuItem("Load &Background", CMDIBView::ID_PAGE_LOAD_BACKGROUND), MenuSeparator(),
                              MenuItem("&Inverse", CMDIBView::ID_PAGE_INVERSE),
                              MenuItem("Increase &Gray Range", CMDIBView::ID_PAGE_GRAY_RANGE),
                              MenuItem("C&olor Channels", CMDIBView::ID_PAGE_COLOR_CHANNELS),
                              MenuItem("&Diff", CMDIBView::ID_PAGE_DIFF),
                              MenuItem("&Calculate Optical Flow", CMDIBView::ID_PAGE_OPTICAL_FLOW), MenuSeparator(),
                              MenuItem("&Close", CMDIBView::ID_PAGE_CLOSE)})});
    });
}

CString PageName(int nNumber)
{
    CString name;
    name.Format("Bild%d", nNumber);
    return name;
}

// The image list of the image documents, while this library is loaded.
class CUiImageListWindow : public CImageListWindow
{
public:
    INT_PTR ShowImageList(CDIBDoc& doc, int& nIndex) override
    {
        CMDIBView dialog(doc, doc.GetEngine(), nIndex, AfxGetMainWnd());
        const INT_PTR result = dialog.DoModal();
        if (result == IDOK)
            nIndex = dialog.m_nCurrent;
        return result;
    }
};

struct CImageListInstaller
{
    CImageListInstaller() { kestrun::SetImageListWindow(&m_window); }
    ~CImageListInstaller()
    {
        if (kestrun::ImageListWindow() == &m_window)
            kestrun::SetImageListWindow(nullptr);
    }
    CUiImageListWindow m_window;
};

const CImageListInstaller g_installer;

} // namespace

BEGIN_MESSAGE_MAP(CMDIBView, CResizingDialog)
    ON_COMMAND(ID_PAGE_LOAD, OnLoad)
    ON_COMMAND(ID_PAGE_LOAD_BACKGROUND, OnLoadBackground)
    ON_COMMAND(ID_PAGE_INVERSE, OnInverse)
    ON_COMMAND(ID_PAGE_CLOSE, OnClosePage)
    ON_UPDATE_COMMAND_UI(ID_PAGE_CLOSE, OnUpdateClosePage)
    ON_COMMAND(ID_PAGE_GRAY_RANGE, OnGrayRange)
    ON_UPDATE_COMMAND_UI(ID_PAGE_OPTICAL_FLOW, OnUpdateNotAvailable)
    ON_COMMAND(ID_PAGE_COLOR_CHANNELS, OnColorChannels)
    ON_COMMAND(ID_PAGE_DIFF, OnDiff)
    ON_NOTIFY(NM_CLICK, IDC_IMAGE_LIST, OnListClick)
END_MESSAGE_MAP()

CMDIBView::CMDIBView(CDIBDoc& doc, CBV* pEngine, int nCurrent, CWnd* pParent)
    : CResizingDialog((RegisterImageListResources(), IDD), pParent), m_doc(doc), m_nCurrent(nCurrent),
      m_pEngine(pEngine)
{
    BuildMessageMap();
}

void CMDIBView::OnCreateControls()
{
    m_wndList.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT, kestrun::DialogUnitsToPixels(CRect(7, 7, 312, 180)),
                     this, IDC_IMAGE_LIST);
}

BOOL CMDIBView::OnInitDialog()
{
    if (m_menu.LoadMenu(IDR_IMAGE_LIST_MENU))
        SetMenu(&m_menu);
    AddAnchor(IDC_IMAGE_LIST, kStretchX | kStretchY);
    AddAnchor(IDOK, kMoveX | kMoveY);
    const int count = m_doc.GetPageCount();
    if (count > 0) {
        m_wndList.SetNumColumnsRows(2, count);
        for (int i = 0; i < count; ++i)
            m_wndList.AddImage(*m_doc.GetPage(i), PageName(i + 1));
    }
    if (m_nCurrent >= 0 && m_nCurrent < count)
        m_wndList.SetItemState(m_nCurrent, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    return CResizingDialog::OnInitDialog();
}

void CMDIBView::OnOK()
{
    // The page the user picked last, however it was picked.
    if (const int focused = m_wndList.GetNextItem(-1, LVNI_FOCUSED); focused >= 0 &&
        (m_wndList.GetItemState(focused, LVIS_SELECTED) & LVIS_SELECTED))
        m_nCurrent = focused;
    else if (POSITION pos = m_wndList.GetFirstSelectedItemPosition())
        m_nCurrent = m_wndList.GetNextSelectedItem(pos);
    CResizingDialog::OnOK();
}

void CMDIBView::OnListClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    const int item = reinterpret_cast<NMITEMACTIVATE*>(pNMHDR)->iItem;
    if (item >= 0 && item < m_doc.GetPageCount()) {
        m_nCurrent = item;
        m_doc.SetActiveIndex(item);
        m_doc.UpdateAllViews(nullptr);
    }
    *pResult = 0;
}

CDIB* CMDIBView::CurrentPageOrSay()
{
    if (m_nCurrent < 0 || m_nCurrent >= m_doc.GetPageCount()) {
        AfxMessageBox(kNotLoaded);
        return nullptr;
    }
    return m_doc.GetPage(m_nCurrent);
}

void CMDIBView::PageChanged(int nIndex)
{
    m_wndList.UpdateImage(nIndex, *m_doc.GetPage(nIndex));
    Invalidate(FALSE);
    m_doc.UpdateAllViews(nullptr);
}

void CMDIBView::AppendPage(std::unique_ptr<CDIB> page, const CString& caption)
{
    const CDIB* added = m_doc.AddPage(std::move(page));
    m_wndList.AddImage(*added, caption);
}

void CMDIBView::OnLoad()
{
    const int before = m_doc.GetPageCount();
    m_doc.OnLoadImageFile(TRUE);
    const int count = m_doc.GetPageCount();
    if (count > before) {
        m_wndList.AddImage(*m_doc.GetPage(count - 1), PageName(count));
        Invalidate(FALSE);
    }
}

void CMDIBView::OnLoadBackground()
{
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, kBackgroundFilter);
    dialog.m_ofn.lpstrTitle = "Open File";
    if (dialog.DoModal() != IDOK)
        return;
    m_strBackground = dialog.GetPathName();
    m_strBackground.MakeUpper();
    Invalidate(FALSE);
    // Nothing reads the path yet: the user must not take it for loaded.
    AfxMessageBox("Loading a background image is not available: the file was not loaded.", MB_ICONINFORMATION);
}

void CMDIBView::OnInverse()
{
    CDIB* page = CurrentPageOrSay();
    if (page == nullptr || m_pEngine == nullptr)
        return;
    m_pEngine->InvertImageInAOI(page);
    PageChanged(m_nCurrent);
}

void CMDIBView::OnUpdateClosePage(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_doc.GetPageCount() >= 2);
}

void CMDIBView::OnClosePage()
{
    const int count = m_doc.GetPageCount();
    if (count < 2 || m_nCurrent < 0 || m_nCurrent >= count)
        return;
    if (m_doc.DeletePage(m_nCurrent) != 1)
        return;
    m_wndList.RemoveImage(m_nCurrent);
    // The current and the active page stay pages of the document.
    m_nCurrent = std::min(m_nCurrent, m_doc.GetPageCount() - 1);
    m_doc.SetActiveIndex(m_doc.GetActiveIndex());
    Invalidate(FALSE);
    m_doc.UpdateAllViews(nullptr);
}

void CMDIBView::OnGrayRange()
{
    CDIB* page = CurrentPageOrSay();
    if (page == nullptr)
        return;
    CDIBExt sums;
    if (!sums.InitDIB(page->GetWidth(), page->GetHeight(), page->GetBitCount()))
        return;
    sums.Add(*page);
    sums.IncreaseDynamic();
    sums.WriteBack(*page, CDIBExt::WriteSum);
    PageChanged(m_nCurrent);
}

void CMDIBView::OnUpdateNotAvailable(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(FALSE);
}

void CMDIBView::OnColorChannels()
{
    CChannelChooser chooser(this);
    chooser.m_bRed = m_nRed;
    chooser.m_bGreen = m_nGreen;
    chooser.m_bBlue = m_nBlue;
    if (m_pEngine != nullptr)
        chooser.m_nWeight = m_pEngine->GetSettings().m_ChannelChooser.GetWeight();
    if (chooser.DoModal() != IDOK)
        return;
    m_nRed = chooser.m_bRed;
    m_nGreen = chooser.m_bGreen;
    m_nBlue = chooser.m_bBlue;
    if (m_pEngine != nullptr) {
        m_pEngine->GetSettings().m_ChannelChooser.SetColor(chooser.ChannelSet());
        m_pEngine->GetSettings().m_ChannelChooser.SetWeight(chooser.m_nWeight);
    }
    if (!m_nRed && !m_nGreen && !m_nBlue)
        return;
    CDIB* page = CurrentPageOrSay();
    if (page == nullptr || m_pEngine == nullptr)
        return;
    struct Channel
    {
        int chosen;
        const char* name;
        std::unique_ptr<CDIB> page;
    };
    Channel channels[] = {{m_nRed, "ImgRed", nullptr}, {m_nGreen, "ImgGreen", nullptr}, {m_nBlue, "ImgBlue", nullptr}};
    for (Channel& channel : channels) {
        if (!channel.chosen)
            continue;
        channel.page = std::make_unique<CDIB>();
        if (!channel.page->InitDIB(page->GetWidth(), page->GetHeight(), 8)) {
            AfxMessageBox("Error InitDIB()");
            channel.page.reset();
        }
    }
    m_pEngine->SplitColorChannels(page, channels[0].page.get(), channels[1].page.get(), channels[2].page.get(),
                                  chooser.m_nWeight == 0 ? kExcessHalf : kExcessThird);
    for (Channel& channel : channels) {
        if (channel.page)
            AppendPage(std::move(channel.page), channel.name);
    }
    Invalidate(FALSE);
    m_doc.UpdateAllViews(nullptr);
}

void CMDIBView::OnDiff()
{
    POSITION pos = m_wndList.GetFirstSelectedItemPosition();
    const int first = pos != nullptr ? m_wndList.GetNextSelectedItem(pos) : -1;
    const int second = pos != nullptr ? m_wndList.GetNextSelectedItem(pos) : -1;
    if (first < 0 || second < 0) {
        AfxMessageBox("Please select two images!");
        return;
    }
    const CDIB& a = *m_doc.GetPage(first);
    CDIB& b = *m_doc.GetPage(second);
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight() || a.GetBitCount() != b.GetBitCount()) {
        AfxMessageBox("The two images differ in size or colour depth: no difference is formed.", MB_ICONEXCLAMATION);
        return;
    }
    auto diff = std::make_unique<CDIB>(a);
    if (!DifferenceThreshold(diff.get(), &b, nullptr, kDiffThreshold))
        return;
    AppendPage(std::move(diff), "Diff");
    Invalidate(FALSE);
    m_doc.UpdateAllViews(nullptr);
}
