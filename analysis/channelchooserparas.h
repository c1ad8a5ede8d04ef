#pragma once
// CChannelChooserParas: which colour channels an analysis uses and how the
// chosen channel is weighted.

#include "platform/core/object.h"

class CChannelChooserParas : public CObject
{
    DECLARE_SERIAL(CChannelChooserParas)

public:
    // Color bits
    enum : UINT
    {
        channelGreen = 1,
        channelRed = 2,
        channelBlue = 4,
        channelAll = 7,
    };
    // Weight
    enum
    {
        weightHalf = 0,  // "1/2"
        weightThird = 1, // "1/3"
    };

    CChannelChooserParas() = default;
    CChannelChooserParas(const CChannelChooserParas& other) = default;
    CChannelChooserParas& operator=(const CChannelChooserParas& other) = default;
    ~CChannelChooserParas() override = default;

    // XML form: element "CChannelChooserParas" with "Color" and "Weight".
    void Serialize(CArchive& ar) override;
    virtual void Copy(const CChannelChooserParas& other) { *this = other; }

    void SetColor(UINT color) { m_Color = color; }
    void SetWeight(int weight) { m_Weight = weight; }
    UINT GetColor() const { return m_Color; }
    int GetWeight() const { return m_Weight; }

private:
    UINT m_Color = channelAll;
    int m_Weight = weightHalf;
};
