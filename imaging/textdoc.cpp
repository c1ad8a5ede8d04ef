#include "imaging/textdoc.h"

#include "platform/ui/cmdtarget.h"
#include "platform/ui/windefs.h"

IMPLEMENT_DYNCREATE(CTextDoc, CDocument)

BEGIN_MESSAGE_MAP(CTextDoc, CDocument)
    ON_UPDATE_COMMAND_UI(ID_FILE_SAVE, OnUpdateFileSave)
    ON_UPDATE_COMMAND_UI(ID_FILE_SAVE_AS, OnUpdateFileSave)
END_MESSAGE_MAP()

CTextDoc::CTextDoc()
{
    BuildMessageMap();
    EnableAutomation();
}

CTextDoc::~CTextDoc() = default;

void CTextDoc::Serialize(CArchive& /*ar*/) {}

void CTextDoc::OnUpdateFileSave(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(FALSE);
}
