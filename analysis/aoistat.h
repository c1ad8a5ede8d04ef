#pragma once
// CAOIStat: the statistics of one area of interest - its size, mean
// colour, brightness and share of object pixels - with the pixels sorted
// into colour classes: the area's own class and one per learned class.
// The area measurement fills it through IThresholdAreaRecord.

#include "analysis/colordouble.h"
#include "analysis/objdatabase.h"
#include "analysis/thresholdarea.h"
#include "objectmodel/normstat.h"

#include <memory>
#include <vector>

class CAOI;
class Device;

class CColorClass : public CObject
{
    DECLARE_DYNAMIC(CColorClass)

public:
    CColorClass() = default;
    CColorClass(COLORREF color, const CString& name) : m_Color(color), m_strName(name) {}
    ~CColorClass() override = default;

    // The point, and its colour bytes to the three channel statistics.
    void AddPixel(int x, int y, COLORREF color);
    void Finish();
    int GetPointCount() const { return static_cast<int>(m_arrPoints.GetSize()); }

    COLORREF m_Color = 255;
    CString m_strName;
    CArray<POINT, POINT> m_arrPoints;
    int m_nFlag = 0;
    CNormStat m_Channels[3];
};

class CAOIStat : public CObjDataBase, public IThresholdAreaRecord
{
    DECLARE_SERIAL(CAOIStat)

public:
    static constexpr WORD kind = 2;

    CAOIStat();
    ~CAOIStat() override;

    // Base element, pixel count, object pixels, share and homogeneity.
    void Serialize(CArchive& ar) override;
    void GetColumnTitles(CStringArray& titles, int selection) override;
    CString GetColumnValues(int column) override;
    // One colour class's cells (class index k; the number of listed
    // classes stands for the area's own class).
    CString GetColumnValuesAt(int classIndex, int column) override;
    double GetArea() const override;
    COLORREF GetMeanColor() const override { return m_MeanColor; }
    double GetHomogeneity() const override { return m_dHomogeneity; }
    // A cross at the marked point (when set), the listed classes' pixels in
    // their colours and the own class's pixels in color.
    void DrawPixels(CDC* pDC, COLORREF color) const;

    // ---- colour classes ----
    void AddClass(COLORREF color, const CString& name);
    int GetClassCount() const { return static_cast<int>(m_Classes.size()); }
    // Invalid argument outside 0..GetClassCount().
    const CColorClass& GetClass(int classIndex) const;
    CString GetClassName(int classIndex) const;
    COLORREF GetClassColor(int classIndex) const;
    int GetClassMean(int classIndex, int channel) const;
    double GetClassArea(int classIndex) const;
    int GetClassShare(int classIndex) const;

    // The spread of the area's colours: m_ColorSpread gets each channel's
    // standard deviation, the homogeneity is 1 - their mean / 128 (1 for a
    // flat area, at least 0). Pixels outside the image do not count; an
    // area without pixels keeps both.
    void MeasureHomogeneity(const CAOI& aoi, const Device& image);

    // ---- IThresholdAreaRecord ----
    void ResetTotals() override;
    // Class number 0: the own class; n: listed class n - 1 (ignored past
    // the list).
    void AddPixel(int x, int y, COLORREF color, int classNumber) override;
    void SetTotals(DWORD total, COLORREF meanColor, DWORD passing, int share) override;
    void FinishStatistics() override;

    CCalibration m_Calibration;
    DWORD m_nPixels = 1;
    DWORD m_nObjectPixels = 0;
    DWORD m_nObjectShare = 0; // percent
    double m_dHomogeneity = 1.0;
    COLORREF m_MeanColor = 0;
    double m_dBright[3] = {0.0, 0.0, 0.0};
    Color_Double m_ColorMean;
    Color_Double m_ColorSpread;
    CPoint m_ptMarked{0, 0};

private:
    CColorClass m_OwnClass{255, "Normal"};
    std::vector<std::unique_ptr<CColorClass>> m_Classes;
};
