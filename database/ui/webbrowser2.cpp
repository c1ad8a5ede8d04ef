#include "database/ui/webbrowser2.h"

#include "platform/core/errors.h"
#include "platform/core/folders.h"
#include "platform/core/messagebox.h"
#include "platform/ui/commondialogs.h"
#include "platform/ui/printing.h"

#include <QFile>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextBrowser>
#include <QTextDocument>

IMPLEMENT_DYNCREATE(CWebBrowser2, CWnd)

namespace {

// Reports are small; a larger file is no report of ours.
constexpr qint64 kMaxPageBytes = 64 << 20;

} // namespace

QWidget* CWebBrowser2::CreateWidget(QWidget* parent, const CREATESTRUCT& /*cs*/)
{
    auto* browser = new QTextBrowser(parent);
    // Links in a report never lead anywhere else.
    browser->setOpenLinks(false);
    browser->setOpenExternalLinks(false);
    return browser;
}

QTextBrowser* CWebBrowser2::Browser() const
{
    return qobject_cast<QTextBrowser*>(GetWidget());
}

void CWebBrowser2::Navigate(LPCTSTR lpszURL)
{
    m_strURL = lpszURL != nullptr ? lpszURL : "";
    QTextBrowser* browser = Browser();
    if (browser == nullptr)
        return;
    QFile file(QString::fromUtf8(m_strURL.GetString()));
    if (file.size() > kMaxPageBytes || !file.open(QIODevice::ReadOnly)) {
        browser->setPlainText(
            QString::fromUtf8(FormatString("The page %s cannot be shown.", m_strURL.GetString()).GetString()));
        return;
    }
    browser->setHtml(QString::fromUtf8(file.readAll()));
}

CString CWebBrowser2::GetPlainText() const
{
    QTextBrowser* browser = Browser();
    return browser != nullptr ? CString(browser->toPlainText().toUtf8().constData()) : CString();
}

void CWebBrowser2::ExecWB(long cmdID, long /*cmdexecopt*/)
{
    QTextBrowser* browser = Browser();
    if (browser == nullptr)
        return;
    switch (cmdID) {
    case kCmdPrint: Print(); break;
    case kCmdSaveAs: SaveAs(); break;
    case kCmdSelectAll: browser->selectAll(); break;
    case kCmdCopy: browser->copy(); break;
    default: break;
    }
}

void CWebBrowser2::Print()
{
    QPrinter& printer = kestrun::AppPrinter();
    QPrintDialog dialog(&printer, GetWidget());
    if (dialog.exec() != QDialog::Accepted)
        return;
    Browser()->document()->print(&printer);
}

BOOL CWebBrowser2::PrintToPdf(const CString& path)
{
    QTextBrowser* browser = Browser();
    if (browser == nullptr)
        return FALSE;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromUtf8(path.GetString()));
    browser->document()->print(&printer);
    return QFile::exists(QString::fromUtf8(path.GetString())) ? TRUE : FALSE;
}

void CWebBrowser2::SaveAs()
{
    CFileDialog dialog(FALSE, "html", "report.html", OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY,
                       "HTML Files (*.html;*.htm)|*.html;*.htm|All Files (*.*)|*.*||", this);
    if (dialog.DoModal() != IDOK)
        return;
    const CString target = dialog.GetPathName();
    if (!CopyFile(m_strURL, target, FALSE))
        AfxMessageBox(FormatString("The report could not be saved as %s.", target.GetString()), MB_ICONEXCLAMATION);
}
