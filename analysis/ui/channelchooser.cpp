#include "analysis/ui/channelchooser.h"

#include "analysis/channelchooserparas.h"
#include "analysis/ui/analysisdlgresources.h"

#include "platform/ui/ddx.h"

using namespace kestrun::analysisui;

CChannelChooser::CChannelChooser(CWnd* pParentWnd)
    : CDialog((RegisterAnalysisDialogs(), IDD_CHANNEL_CHOOSER), pParentWnd)
{
}

UINT CChannelChooser::ChannelSet() const
{
    UINT channels = 0;
    if (m_bGreen == BST_CHECKED)
        channels |= CChannelChooserParas::channelGreen;
    if (m_bRed == BST_CHECKED)
        channels |= CChannelChooserParas::channelRed;
    if (m_bBlue == BST_CHECKED)
        channels |= CChannelChooserParas::channelBlue;
    return channels;
}

void CChannelChooser::SetChannels(UINT channels)
{
    m_bGreen = (channels & CChannelChooserParas::channelGreen) ? BST_CHECKED : BST_UNCHECKED;
    m_bRed = (channels & CChannelChooserParas::channelRed) ? BST_CHECKED : BST_UNCHECKED;
    m_bBlue = (channels & CChannelChooserParas::channelBlue) ? BST_CHECKED : BST_UNCHECKED;
}

void CChannelChooser::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_CHANNEL_RED, m_bRed);
    DDX_Check(pDX, IDC_CHANNEL_GREEN, m_bGreen);
    DDX_Check(pDX, IDC_CHANNEL_BLUE, m_bBlue);
    DDX_Radio(pDX, IDC_WEIGHT_HALF, m_nWeight);
}
