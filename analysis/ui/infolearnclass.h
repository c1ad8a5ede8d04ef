#pragma once
// CInfoLearnClass: the modeless window in which classes are taught. It
// edits the class list it is given in place: adds, renames, deletes and
// resets classes, sets their colour and their features, and learns the
// features of clicked objects (or the channels of a clicked colour) into
// the current class. The feature list shows each feature's statistic; its
// Min and Max cells can be edited. Closing it posts WM_USER+5 (1, 425) to
// the owner.

#include "analysis/ui/infodlgs.h"

#include "platform/ui/colorbutton.h"
#include "platform/ui/listctrl.h"

#include <memory>

class CClasses;
class CEdit;
class CObjDataBase;

class CInfoLearnClass : public CInfoToolDlg
{
public:
    // The feature list's columns.
    enum
    {
        colIndex = 0,
        colName,
        colMin,
        colMax,
        colAvg,
        colDev,
        colCount
    };

    CInfoLearnClass(CWnd* pOwner, CClasses& classes);
    ~CInfoLearnClass() override;

    // A click over the image: an object under it (null: none) is learned
    // while learning was asked for; without one the prompt stays.
    void OnObjectClicked(const CObjDataBase* pObject);
    // Adds the features selected in the feature list that the object
    // carries to the current class.
    void LearnObject(const CObjDataBase& object);
    // A colour clicked while learning: its channels go to the current
    // class's colour features.
    void LearnColor(COLORREF color);
    // The combo box's names, then the current class.
    void RefreshClassList();
    // The image changed under the window: asks for a new click.
    void OnImageChanged();
    // Asks for a click over an object.
    void ShowPrompt();
    // An edited Min or Max cell; false, and nothing changes, for another
    // column, a text that is not a number, or a minimum above the maximum.
    bool EditCell(int nRow, int nColumn, const CString& text);

    // The code of a feature name (1, 2, 4, ... 128); -1 for other names.
    static int FeatureCode(const CString& name);

    // Clicks are being learned (after "Learn").
    bool IsLearning() const { return m_bLearning; }
    int GetCurrentClass() const { return m_nCurrent; }
    // Where clicked objects come from: objectsOfTable, or objectsGone
    // after the table went away, until an object of a new count is clicked.
    void SetObjectSource(int nSource) { m_nObjectSource = nSource; }
    int GetObjectSource() const { return m_nObjectSource; }
    CListCtrl& GetFeatureList() { return m_List; }

    static constexpr const char* kPrompt = "Click over the object to learn!";
    static constexpr int objectsOfTable = 0;
    static constexpr int objectsGone = 1;
    // The editor put over a Min or Max cell.
    static constexpr UINT kEditorId = 2511;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

    void OnAdd();
    void OnModify();
    void OnDelete();
    void OnReset();
    void OnColor();
    void OnLearn();
    void OnInclude();
    void OnExclude();
    void OnHelp();
    void OnNameChanged();
    void OnSelectClass();
    void OnFeatureDoubleClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnEditorDone();
    DECLARE_MESSAGE_MAP()

private:
    void ShowCurrentClass();
    void FillFeatureList(bool bClear);
    void EnableControls();
    // The class of the name in the combo box; -1 when there is none.
    int FindNamedClass() const;
    CString ComboText() const;
    // The name selected in one of the two feature list boxes; empty: none.
    CString SelectedFeature(UINT nListId) const;

    CClasses& m_Classes;
    int m_nCurrent = -1;
    int m_nObjectSource = objectsOfTable;
    bool m_bModified = false;
    bool m_bLearning = false;
    CColorButton m_ColorButton;
    CListCtrl m_List;
    std::unique_ptr<CEdit> m_pEditor; // over the cell being edited
    int m_nEditRow = -1;
    int m_nEditColumn = -1;
};
