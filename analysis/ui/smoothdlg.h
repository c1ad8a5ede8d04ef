#pragma once
// CSmoothDLG: contour smoothing on or off and the grade and turn limit of
// each of the five passes. The fields work on copies; OK keeps them.

#include "platform/ui/dialog.h"

class CSmoothDLG : public CDialog
{
public:
    enum
    {
        passes = 5,
    };

    explicit CSmoothDLG(CWnd* pParentWnd = nullptr);

    // The kept values: the caller sets them, OK takes the fields over.
    int m_bSmooth = 0;
    int m_nGrade[passes] = {};
    int m_nMaxTurns[passes] = {};

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

private:
    int m_bSmoothField = 0;
    int m_nGradeField[passes] = {};
    int m_nMaxTurnsField[passes] = {};
};
