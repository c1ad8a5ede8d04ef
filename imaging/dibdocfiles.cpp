// CDIBDoc: image files, the file dialogs and the result document's file.

#include "imaging/dibdoc.h"

#include "imaging/resulttable.h"
#include "imaging/src.h"

#include "platform/core/atomicfile.h"
#include "platform/core/exceptions.h"
#include "platform/core/messagebox.h"
#include "platform/ui/commondialogs.h"
#include "platform/ui/doctemplate.h"

namespace {

constexpr const char* kLoadFilter = "Image Files|*.bmp;*.jpg;*.jp2;*.tif;*.png;*.pga;*.pcx;*.wmf;*.jbg;*.pgx||";
constexpr const char* kSaveFilter = "Bitmap Files (*.bmp) |*.bmp||";
constexpr const char* kSaveAsFilter = "Bitmap Files (*.bmp) |*.bmp|Tagged Image Format (*.tif) |*.tif|"
                                      "JPEG Files (*.jpg) |*.jpg|JPEG2000 Files (*.jp2) |*.jp2||";

// Puts a flag back when the scope ends.
class CRestoreFlag
{
public:
    explicit CRestoreFlag(BOOL& flag) : m_flag(flag), m_value(flag) {}
    ~CRestoreFlag() { m_flag = m_value; }
    CRestoreFlag(const CRestoreFlag&) = delete;
    CRestoreFlag& operator=(const CRestoreFlag&) = delete;

private:
    BOOL& m_flag;
    BOOL m_value;
};

} // namespace

BOOL CDIBDoc::OnOpenDocument(LPCTSTR lpszPathName)
{
    const CString path(lpszPathName ? lpszPathName : "");
    DeleteContents();
    PopUndo(undoClear);

    // A video document with several pages loads into its last page.
    CDIB* target = nullptr;
    std::unique_ptr<CDIB> newPage;
    if (m_bVideo && GetPageCount() > 1)
        target = m_pages.back().get();
    else if (m_bAppend || m_pages.empty())
        newPage = std::make_unique<CDIB>();
    else
        target = GetActiveDIB();

    // The file is read into a page of its own first, so that a failure
    // leaves every page as it was.
    CDIB loaded;
    BOOL ok = FALSE;
    {
        CWaitCursor wait;
        ok = loaded.Read(path);
        SetModifiedFlag(FALSE);
    }
    if (!ok) {
        AfxMessageBox(FormatString("Couldn't load Image: %s", path.GetString()), MB_ICONINFORMATION);
        return FALSE;
    }
    if (newPage)
        *newPage = std::move(loaded);
    else
        CopyPage(*target, loaded);

    if (!m_bVideo)
        SetPathName(path, TRUE);
    if (newPage) {
        m_pages.push_back(std::move(newPage));
        m_nActivePage = GetPageCount() - 1;
    }
    m_lastImageSize = GetPageSize();
    PropagateImageSize(m_lastImageSize);
    return TRUE;
}

BOOL CDIBDoc::AddTwainImage(HGLOBAL hDIB)
{
    // Read apart first, so that a bitmap we cannot read changes nothing.
    CDIB scanned;
    if (!scanned.CreateFromHANDLE(hDIB))
        return FALSE;
    // A video document with several pages takes it into its last page.
    CDIB* target = (m_bVideo && GetPageCount() > 1) ? m_pages.back().get() : GetActiveDIB();
    if (target == nullptr) {
        m_pages.push_back(std::make_unique<CDIB>(std::move(scanned)));
        m_nActivePage = GetPageCount() - 1;
    } else {
        // Undo brings back the page the scan replaced.
        if (target == GetActiveDIB())
            PushUndo(FALSE);
        CopyPage(*target, scanned);
    }
    m_lastImageSize = GetPageSize();
    PropagateImageSize(m_lastImageSize);
    SetPathName("Image from TWAIN", FALSE);
    UpdateImageViews();
    m_bFreshImage = FALSE;
    return TRUE;
}

BOOL CDIBDoc::OnSaveDocument(LPCTSTR lpszPathName)
{
    const CString path(lpszPathName ? lpszPathName : "");
    // Whether a file can be made there is tried beside the target, never
    // by truncating it: the page is written to a temporary file renamed
    // over the target, and a save that fails keeps the old file.
    try {
        kestrun::CAtomicFileWriter probe(path);
    } catch (const CFileException& e) {
        if (m_bSilent)
            SetStatusText("Error writing file");
        else
            ReportSaveLoadException(path, &e, TRUE, AFX_IDP_FAILED_TO_SAVE_DOC);
        return FALSE;
    }

    CString upper = path;
    upper.MakeUpper();
    const int format = upper.Right(3) == "TIF" ? CxImage::FormatTif : CxImage::FormatUnknown;

    BOOL ok = FALSE;
    CString error = "There is no image to save.";
    {
        CWaitCursor wait;
        if (const CDIB* page = GetActiveDIB()) {
            // A copy, so that live frames cannot change the page while it is encoded.
            CDIB image;
            CopyPage(image, *page);
            ok = image.Write(path, nullptr, 0, format);
            if (!ok)
                error = image.GetLastError();
        }
    }
    if (!ok) {
        // Still modified: closing the document will ask again.
        if (m_bSilent)
            SetStatusText("Error: Couldn't save DIB ->" + error);
        else
            AfxMessageBox("Couldn't save DIB " + error, MB_ICONINFORMATION);
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDIBDoc::OnLoadImageFile(BOOL bAppend)
{
    CFileDialog dialog(TRUE, "bmp", nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, kLoadFilter);
    dialog.m_ofn.lpstrTitle = "Load";
    dialog.m_ofn.nFilterIndex = static_cast<DWORD>(m_nFilterIndex);
    if (dialog.DoModal() != IDOK)
        return FALSE;
    m_nFilterIndex = static_cast<int>(dialog.m_ofn.nFilterIndex);
    {
        CRestoreFlag restore(m_bAppend);
        if (bAppend == 1)
            m_bAppend = TRUE;
        OnOpenDocument(dialog.GetPathName());
    }
    m_bFreshImage = FALSE;
    return TRUE;
}

void CDIBDoc::OnFileSave()
{
    // A file this document was saved to takes the next save without asking;
    // an opened file is not overwritten unasked.
    if (!m_strSavedPath.IsEmpty() && kestrun::SamePath(m_strSavedPath, GetPathName())) {
        OnSaveDocument(m_strSavedPath);
        return;
    }
    SaveThroughDialog(kSaveFilter, "Speichern");
}

void CDIBDoc::OnFileSaveAs()
{
    SaveThroughDialog(kSaveAsFilter, "Speichern unter");
}

void CDIBDoc::SaveThroughDialog(LPCTSTR lpszFilter, LPCTSTR lpszTitle)
{
    CFileDialog dialog(FALSE, "bmp", nullptr, OFN_OVERWRITEPROMPT, lpszFilter);
    dialog.m_ofn.lpstrTitle = lpszTitle;
    if (dialog.DoModal() != IDOK)
        return;
    const CString path = dialog.GetPathName();
    if (!OnSaveDocument(path))
        return;
    // A live document keeps its name, as it does when it opens a file.
    if (m_bVideo)
        return;
    m_strSavedPath = path;
    SetPathName(path, TRUE);
}

BOOL CDIBDoc::LoadObjectData(LPCTSTR lpszPathName, BOOL bGridFrame)
{
    if (m_pResultDoc == nullptr) {
        CSRC* templates = GetTemplates();
        CMultiDocTemplate* objects =
            templates ? templates->GetTemplate(bGridFrame ? CSRC::kObjGridTemplate : CSRC::kObjTemplate) : nullptr;
        if (objects)
            m_pResultDoc = objects->OpenDocumentFile(lpszPathName, TRUE);
        if (CResultTable* table = GetResultTable())
            table->AttachSources(templates->GetTemplate(CSRC::kChartTemplate),
                                 templates->GetTemplate(CSRC::kGridTemplate), GetEngine());
    } else {
        // Reloaded in place: views and tools keep their document.
        m_pResultDoc->DeleteContents();
        if (CResultTable* table = GetResultTable())
            table->SetCurrentIndex(0);
        if (m_pResultDoc->OnOpenDocument(lpszPathName) == TRUE)
            m_pResultDoc->UpdateAllViews(nullptr);
    }
    if (m_pResultDoc == nullptr)
        return FALSE;
    m_nDrawMode = kDrawModeResult;
    UpdateImageViews();
    return TRUE;
}
