#pragma once
// Printing: the page loop that views print through, on a printer chosen in
// the print dialog, in the print preview, or into a PDF file without any
// window. Each page is drawn on a CQtDC over the printer; its device units
// are printer pixels.

#include "platform/core/cstring.h"
#include "platform/core/geometry.h"

#include <memory>

class CDC;
class QPrinter;
class QPrintPreviewDialog;
class QWidget;

// What one print job knows about its pages. Pages count from 1; a maximum
// of 0xFFFF means "not known": the printable decides page by page through
// m_bContinuePrinting.
class CPrintInfo
{
public:
    static constexpr UINT kUnknownMaxPage = 0xFFFF;

    void SetMinPage(UINT page) { m_nMinPage = page; }
    void SetMaxPage(UINT page) { m_nMaxPage = page; }
    UINT GetMinPage() const { return m_nMinPage; }
    UINT GetMaxPage() const { return m_nMaxPage; }
    // The range the user chose; the whole document unless set.
    void SetPageRange(UINT from, UINT to);
    UINT GetFromPage() const;
    UINT GetToPage() const;
    // The number of the first printed page less one.
    UINT GetOffsetPage() const { return GetFromPage() - 1; }

    BOOL m_bDirect = FALSE;          // no print dialog
    BOOL m_bPreview = FALSE;         // drawn for the print preview
    BOOL m_bContinuePrinting = TRUE; // cleared to end the job before this page
    UINT m_nCurPage = 1;
    UINT m_nNumPreviewPages = 1;
    CString m_strPageDesc;
    void* m_lpUserData = nullptr;
    CRect m_rectDraw; // the printable area of the page, logical, after OnPrepareDC

private:
    UINT m_nMinPage = 1;
    UINT m_nMaxPage = kUnknownMaxPage;
    UINT m_nFromPage = 0; // 0: from the minimum page
    UINT m_nToPage = 0;   // 0: to the maximum page
};

// What prints: a view, or anything that draws pages.
class IPrintable
{
public:
    virtual ~IPrintable() = default;
    // Sets the page range before the dialog; FALSE cancels the job.
    virtual BOOL OnPreparePrinting(CPrintInfo* /*info*/) { return TRUE; }
    virtual void OnBeginPrinting(CDC* /*dc*/, CPrintInfo* /*info*/) {}
    // Prepares the context for the current page. Without a known maximum
    // page this prints one page; override to print more.
    virtual void OnPrepareDC(CDC* dc, CPrintInfo* info);
    virtual void OnPrint(CDC* dc, CPrintInfo* info) = 0;
    virtual void OnEndPrinting(CDC* /*dc*/, CPrintInfo* /*info*/) {}
};

namespace kestrun {

// The process's printer settings, shared by printing, preview and print
// set-up. Lives until the application object goes.
QPrinter& AppPrinter();

// The page loop on a printer that is set up: OnBeginPrinting, then per page
// OnPrepareDC, OnPrint, then OnEndPrinting. Answers the number of pages
// printed. Throws CNotSupportedException when the printer cannot start.
int PrintPages(IPrintable& printable, QPrinter& printer, CPrintInfo& info);

// A whole job into a PDF file, without any window. The file appears only
// when every page printed; a failure leaves an existing file as it was.
// FALSE when OnPreparePrinting cancels; throws CFileException when the file
// cannot be written.
BOOL PrintToPdf(IPrintable& printable, const CString& path);

// A job on the application's printer: the print dialog unless the
// printable asks for direct printing. FALSE when cancelled.
BOOL PrintWithDialog(IPrintable& printable, QWidget* parent);

// The print preview dialog over the printable, not yet shown; null when
// OnPreparePrinting cancels. The printable must outlive the dialog.
std::unique_ptr<QPrintPreviewDialog> MakePrintPreview(IPrintable& printable, QWidget* parent);
// Shows that dialog and returns when it closes.
void ShowPrintPreview(IPrintable& printable, QWidget* parent);

// The page set-up dialog for the application's printer; FALSE when cancelled.
BOOL ShowPrintSetup(QWidget* parent);

} // namespace kestrun
