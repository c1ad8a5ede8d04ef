#pragma once
// CChannelChooser: which colour channels an analysis uses and the weight
// of the chosen colour. The caller turns the flags into the channel set
// (ChannelSet) and back (SetChannels).

#include "platform/ui/dialog.h"

class CChannelChooser : public CDialog
{
public:
    explicit CChannelChooser(CWnd* pParentWnd = nullptr);

    // The channel set of the flags: green 1, red 2, blue 4.
    UINT ChannelSet() const;
    void SetChannels(UINT channels);

    int m_bRed = 0;
    int m_bGreen = 0;
    int m_bBlue = 0;
    int m_nWeight = 0; // 0 "1/2", 1 "1/3"

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
