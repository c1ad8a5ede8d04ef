#include "platform/ui/printing.h"

#include "platform/core/exceptions.h"
#include "platform/core/messagebox.h"
#include "platform/core/paths.h"
#include "platform/ui/qtdc.h"

#include <QCoreApplication>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

// ---------------------------------------------------------------- CPrintInfo

void CPrintInfo::SetPageRange(UINT from, UINT to)
{
    m_nFromPage = from;
    m_nToPage = to;
}

UINT CPrintInfo::GetFromPage() const { return m_nFromPage != 0 ? m_nFromPage : m_nMinPage; }

UINT CPrintInfo::GetToPage() const { return m_nToPage != 0 ? m_nToPage : m_nMaxPage; }

void IPrintable::OnPrepareDC(CDC*, CPrintInfo* info)
{
    if (info != nullptr)
        info->m_bContinuePrinting = info->GetMaxPage() != CPrintInfo::kUnknownMaxPage || info->m_nCurPage == info->GetFromPage();
}

namespace {

// The pages on a painter that is already printing.
int runPages(IPrintable& printable, QPainter& painter, QPrinter& printer, CPrintInfo& info)
{
    CQtDC dc(painter);
    int printed = 0;
    printable.OnBeginPrinting(&dc, &info);
    for (UINT page = info.GetFromPage(); page <= info.GetToPage() && page != 0; ++page) {
        info.m_nCurPage = page;
        info.m_bContinuePrinting = TRUE;
        // Every page starts from the state the job began with.
        const int saved = dc.SaveDC();
        printable.OnPrepareDC(&dc, &info);
        if (!info.m_bContinuePrinting) {
            dc.RestoreDC(saved);
            break;
        }
        if (printed > 0)
            printer.newPage();
        CRect area(0, 0, dc.GetDeviceCaps(HORZRES), dc.GetDeviceCaps(VERTRES));
        dc.DPtoLP(&area);
        info.m_rectDraw = area;
        printable.OnPrint(&dc, &info);
        dc.RestoreDC(saved);
        ++printed;
    }
    printable.OnEndPrinting(&dc, &info);
    return printed;
}

// A temporary file beside the target, for the printer to write.
fs::path makeTemporary(const fs::path& target)
{
    std::string name(".");
    name.append(target.filename().string()).append(".XXXXXX");
    std::string pattern = (target.parent_path() / name).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        const int error = errno;
        AfxThrowFileException(CFileException::ErrnoToCause(error), error, CString(target.string()));
    }
    ::close(fd);
    return fs::path(pattern);
}

void reportFailure(const std::exception& error)
{
    if (const auto* known = dynamic_cast<const CException*>(&error))
        known->ReportError();
    else
        AfxMessageBox(error.what(), MB_ICONERROR);
}

} // namespace

namespace kestrun {

QPrinter& AppPrinter()
{
    static std::unique_ptr<QPrinter> printer;
    if (!printer) {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        // The printer's engine needs the application: it goes first.
        qAddPostRoutine([] { printer.reset(); });
    }
    return *printer;
}

int PrintPages(IPrintable& printable, QPrinter& printer, CPrintInfo& info)
{
    QPainter painter;
    if (!painter.begin(&printer))
        AfxThrowNotSupportedException();
    try {
        const int printed = runPages(printable, painter, printer, info);
        painter.end();
        return printed;
    } catch (...) {
        printer.abort();
        throw;
    }
}

BOOL PrintToPdf(IPrintable& printable, const CString& path)
{
    CPrintInfo info;
    info.m_bDirect = TRUE;
    if (!printable.OnPreparePrinting(&info))
        return FALSE;

    const fs::path target(NativePath(path).str());
    const fs::path temporary = makeTemporary(target);
    auto fail = [&](int cause, int error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        AfxThrowFileException(cause, error, path);
    };

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(temporary.string()));
    QPainter painter;
    if (!painter.begin(&printer))
        fail(CFileException::genericException, -1);
    try {
        runPages(printable, painter, printer, info);
    } catch (...) {
        painter.end();
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw;
    }
    if (!painter.end())
        fail(CFileException::hardIO, -1);

    std::error_code error;
    fs::permissions(temporary, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read,
                    error);
    fs::rename(temporary, target, error);
    if (error)
        fail(CFileException::ErrnoToCause(error.value()), error.value());
    return TRUE;
}

BOOL PrintWithDialog(IPrintable& printable, QWidget* parent)
{
    CPrintInfo info;
    if (!printable.OnPreparePrinting(&info))
        return FALSE;
    QPrinter& printer = AppPrinter();
    if (!info.m_bDirect) {
        QPrintDialog dialog(&printer, parent);
        const bool knownRange = info.GetMaxPage() != CPrintInfo::kUnknownMaxPage;
        dialog.setMinMax(static_cast<int>(info.GetMinPage()),
                         static_cast<int>(knownRange ? info.GetMaxPage() : info.GetMinPage()));
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, knownRange);
        if (dialog.exec() != QDialog::Accepted)
            return FALSE;
        if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0)
            info.SetPageRange(static_cast<UINT>(printer.fromPage()), static_cast<UINT>(printer.toPage()));
    }
    PrintPages(printable, printer, info);
    return TRUE;
}

std::unique_ptr<QPrintPreviewDialog> MakePrintPreview(IPrintable& printable, QWidget* parent)
{
    CPrintInfo info;
    info.m_bPreview = TRUE;
    if (!printable.OnPreparePrinting(&info))
        return nullptr;
    auto dialog = std::make_unique<QPrintPreviewDialog>(&AppPrinter(), parent);
    QObject::connect(dialog.get(), &QPrintPreviewDialog::paintRequested, dialog.get(), [&printable, info](QPrinter* printer) {
        // A slot: errors are reported here, never thrown into Qt.
        try {
            CPrintInfo pageInfo = info;
            PrintPages(printable, *printer, pageInfo);
        } catch (const std::exception& error) {
            reportFailure(error);
        }
    });
    return dialog;
}

void ShowPrintPreview(IPrintable& printable, QWidget* parent)
{
    if (const auto dialog = MakePrintPreview(printable, parent))
        dialog->exec();
}

BOOL ShowPrintSetup(QWidget* parent)
{
    QPageSetupDialog dialog(&AppPrinter(), parent);
    return dialog.exec() == QDialog::Accepted ? TRUE : FALSE;
}

} // namespace kestrun
