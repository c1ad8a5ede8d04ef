#pragma once
// Pages for the engine's main run with known truth: filled discs (and
// rings) drawn on a uniform background, with the pixel count of each
// drawn shape. The engine takes dark objects (every channel at most 80)
// and marks them in white; the results go to an owning list.

#include "analysis/bv.h"
#include "analysis/objdata.h"
#include "analysis/resultdocument.h"

#include "tracepage.h"

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <vector>

namespace enginetest {

inline constexpr BYTE kBackground = 200;
inline constexpr COLORREF kDark = RGB(30, 40, 50);

struct sDisc
{
    cv::Point centre;
    int radius = 0;
    COLORREF color = kDark;
    // A hole of this radius around the centre; 0: none.
    int holeRadius = 0;
};

inline cv::Scalar ToBGR(COLORREF color)
{
    return cv::Scalar(GetBValue(color), GetGValue(color), GetRValue(color));
}

class CEngineScene
{
public:
    CEngineScene(int width, int height, int bits = 24)
    {
        page.InitDIB(width, height, bits);
        page.GetMat().setTo(cv::Scalar::all(kBackground));
        engine.GetSettings().m_SegThres = tracetest::DarkThreshold();
    }
    CEngineScene(const CEngineScene&) = delete;
    CEngineScene& operator=(const CEngineScene&) = delete;

    // Draws the disc (ring) and answers the number of its pixels.
    int Draw(const sDisc& disc)
    {
        cv::Mat pixels = page.GetMat();
        const cv::Scalar color = page.GetBitCount() == 8 ? cv::Scalar::all(GetGValue(disc.color)) : ToBGR(disc.color);
        cv::circle(pixels, disc.centre, disc.radius, color, cv::FILLED, cv::LINE_8);
        cv::Mat mask(pixels.size(), CV_8U, cv::Scalar(0));
        cv::circle(mask, disc.centre, disc.radius, cv::Scalar(255), cv::FILLED, cv::LINE_8);
        if (disc.holeRadius > 0) {
            cv::circle(pixels, disc.centre, disc.holeRadius, cv::Scalar::all(kBackground), cv::FILLED, cv::LINE_8);
            cv::circle(mask, disc.centre, disc.holeRadius, cv::Scalar(0), cv::FILLED, cv::LINE_8);
        }
        return cv::countNonZero(mask);
    }

    CAOI2 WholePage() const { return tracetest::WholePage(page); }

    int Run(CAOI& aoi, int progress = 0) { return engine.Analyse(&page, &aoi, &results, progress); }

    std::vector<CObjData*> Records() const
    {
        std::vector<CObjData*> records;
        for (int i = 0; i < results.GetObjectCount(); ++i)
            records.push_back(dynamic_cast<CObjData*>(results.GetObjectAt(i)));
        return records;
    }

    // The record whose centroid lies within 2 pixels of the point; null
    // when there is none.
    CObjData* RecordAt(cv::Point point) const
    {
        for (CObjData* record : Records())
            if (record && std::abs(record->m_ptCentroid.x - point.x) <= 2 &&
                std::abs(record->m_ptCentroid.y - point.y) <= 2)
                return record;
        return nullptr;
    }

    bool HasDiagnostic(const char* step) const { return engine.GetRunDiagnostics().Find(step) != nullptr; }
    // The objects the last run noted for a step not in this build; -1: the
    // step was not noted.
    int DiagnosticObjects(const char* step) const
    {
        const sRunNote* note = engine.GetRunDiagnostics().Find(step);
        return note ? note->objects : -1;
    }

    CFormThres& Form() { return engine.GetSettings().m_FormThres; }

    CDIB page;
    CBV engine;
    CResultObjectList results;
};

// A document that takes two records and throws at the third.
class CThrowingDocument : public CResultObjectList
{
public:
    void AddObject(std::unique_ptr<CBaseObj> object) override
    {
        if (GetObjectCount() == 2)
            throw std::runtime_error("document full");
        CResultObjectList::AddObject(std::move(object));
    }
};

} // namespace enginetest
