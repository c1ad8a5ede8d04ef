#include "platform/ui/pathdialog.h"

#include "platform/core/folders.h"
#include "platform/core/messagebox.h"
#include "platform/core/paths.h"
#include "platform/ui/button.h"
#include "platform/ui/staticedit.h"
#include "platform/ui/uitext.h"
#include "platform/ui/widgetbridge.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTreeView>

IMPLEMENT_DYNAMIC(CPathDialogSub, CDialog)

namespace {

constexpr int kMaxPath = 260;

bool folderExists(const CString& path)
{
    const QFileInfo info(kestrun::ToQString(path));
    return info.exists() && info.isDir();
}

} // namespace

// The folder tree: a Qt view over the file system, folders only.
struct CPathDialogSub::CTree
{
    QTreeView* view = nullptr;
    QFileSystemModel* model = nullptr;
};

BEGIN_MESSAGE_MAP(CPathDialogSub, CDialog)
    ON_EN_CHANGE(IDC_PATH_EDIT, OnPathChange)
END_MESSAGE_MAP()

CPathDialogSub::CPathDialogSub(CPathDialog& owner)
    : CDialog(0, owner.m_pParent), m_owner(owner), m_tree(std::make_unique<CTree>())
{
    BuildMessageMap();
}

CPathDialogSub::~CPathDialogSub()
{
    DestroyHandleNow();
}

void CPathDialogSub::OnCreateControls()
{
    auto prompt = std::make_unique<CStatic>();
    prompt->Create(m_owner.m_strTitle, WS_CHILD | WS_VISIBLE, CRect(10, 8, 330, 36), this, IDC_PROMPT);
    AddControl(std::move(prompt));
    // The path box lies in the 23 pixels above the bottom of the prompt area.
    auto edit = std::make_unique<CEdit>();
    edit->Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, CRect(10, 40, 330, 63), this, IDC_PATH_EDIT);
    AddControl(std::move(edit));
    auto status = std::make_unique<CStatic>();
    status->Create("", WS_CHILD, CRect(10, 300, 330, 316), this, IDC_STATUS);
    AddControl(std::move(status));
    auto ok = std::make_unique<CButton>();
    ok->Create("OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, CRect(170, 322, 245, 346), this, IDOK);
    AddControl(std::move(ok));
    auto cancel = std::make_unique<CButton>();
    cancel->Create("Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(255, 322, 330, 346), this, IDCANCEL);
    AddControl(std::move(cancel));

    auto* view = new QTreeView(GetClientWidget());
    auto* model = new QFileSystemModel(view);
    model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model->setRootPath(QDir::rootPath());
    view->setModel(model);
    for (int column = 1; column < model->columnCount(); ++column)
        view->hideColumn(column);
    view->header()->hide();
    view->setGeometry(10, 70, 320, 226);
    view->show();
    QObject::connect(view->selectionModel(), &QItemSelectionModel::currentChanged, view,
                     [view, model](const QModelIndex& current) {
                         if (auto* self = kestrun::WindowOf<CPathDialogSub>(view))
                             kestrun::GuardedCall(
                                 [&] { self->SelectionChanged(kestrun::FromQString(model->filePath(current))); });
                     });
    m_tree->view = view;
    m_tree->model = model;
}

BOOL CPathDialogSub::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (!m_owner.m_strCaption.IsEmpty())
        SetWindowText(m_owner.m_strCaption);
    if (CWnd* status = GetDlgItem(IDC_STATUS))
        status->ShowWindow(SW_HIDE);
    if (GetFont()) {
        if (CEdit* edit = PathEdit())
            edit->SetFont(GetFont());
    }
    const CString start =
        m_owner.m_strInitialPath.IsEmpty() ? kestrun::FromQString(QDir::currentPath()) : m_owner.m_strInitialPath;
    SelectFolder(kestrun::NativePath(start));
    return TRUE;
}

CEdit* CPathDialogSub::PathEdit() const
{
    return DYNAMIC_DOWNCAST(CEdit, GetDlgItem(static_cast<int>(IDC_PATH_EDIT)));
}

BOOL CPathDialogSub::IsOkEnabled() const
{
    const CWnd* ok = GetDlgItem(IDOK);
    return ok && ok->IsWindowEnabled();
}

void CPathDialogSub::SelectFolder(const CString& path)
{
    if (m_tree->view == nullptr)
        return;
    const QModelIndex index = m_tree->model->index(kestrun::ToQString(path));
    if (index.isValid()) {
        m_tree->view->setCurrentIndex(index);
        m_tree->view->scrollTo(index);
    } else {
        SelectionChanged(path);
    }
}

void CPathDialogSub::SelectionChanged(const CString& path)
{
    // Only a place in the file system can be taken.
    const bool real = !path.IsEmpty() && QDir::isAbsolutePath(kestrun::ToQString(path));
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->EnableWindow(real ? TRUE : FALSE);
    if (!real)
        return;
    m_owner.m_strPath = path.Left(kMaxPath);
    SetDlgItemText(IDC_STATUS, path);
    if (CEdit* edit = PathEdit())
        edit->SetWindowText(path);
}

void CPathDialogSub::OnPathChange()
{
    CString text;
    GetDlgItemText(IDC_PATH_EDIT, text);
    m_owner.m_strPath = text.Left(kMaxPath);
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->EnableWindow(text.IsEmpty() ? FALSE : TRUE);
}

void CPathDialogSub::OnOK()
{
    CString text;
    GetDlgItemText(IDC_PATH_EDIT, text);
    const CString path = kestrun::NativePath(text).Left(kMaxPath);
    m_owner.m_strPath = path;
    bool ready = !path.IsEmpty() && folderExists(path);
    if (!path.IsEmpty() && !ready) {
        const CString question = FormatString(
            "The folder:\n\n%s\n\ndoes not exist. Do you want the folder to be created?", path.GetString());
        if (AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) == IDYES)
            ready = CPathDialog::MakeSurePathExists(path) != FALSE;
    }
    if (!ready) {
        GotoDlgCtrl(PathEdit());
        return;
    }
    m_owner.m_bOK = TRUE;
    EndDialog(IDOK);
}

// ---- CPathDialog ------------------------------------------------------------------------------

CPathDialog::CPathDialog(LPCTSTR lpszCaption, LPCTSTR lpszTitle, LPCTSTR lpszInitialPath, CWnd* pParent)
    : m_strCaption(lpszCaption ? lpszCaption : ""),
      m_strTitle(lpszTitle ? lpszTitle : ""),
      m_strInitialPath(lpszInitialPath ? lpszInitialPath : ""),
      m_pParent(pParent)
{
}

CPathDialog::~CPathDialog() = default;

INT_PTR CPathDialog::DoModal()
{
    m_bOK = FALSE;
    CPathDialogSub dialog(*this);
    m_pSub = &dialog;
    dialog.DoModal();
    m_pSub = nullptr;
    return m_bOK ? IDOK : IDCANCEL;
}

BOOL CPathDialog::MakeSurePathExists(const CString& path)
{
    if (path.IsEmpty())
        return FALSE;
    return kestrun::CreateFolderTree(kestrun::NativePath(path)) ? TRUE : FALSE;
}
