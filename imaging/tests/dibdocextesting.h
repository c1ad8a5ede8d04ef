#pragma once
// What the image-command tests share: the program of the image tests with
// an engine, a template of CDIBDocEx documents, pages of dark discs on a
// bright ground, and the commands sent as the menu sends them.

#include "imaging/dibdocex.h"
#include "imaging/imagecommands.h"

#include "analysis/bv.h"
#include "analysis/filterparams.h"
#include "imaging/tests/imagingtesting.h"

#include <opencv2/imgproc.hpp>

#include <memory>

namespace kestrun::testing {

inline constexpr BYTE kGround = 240;

class CDIBDocExTest : public CImagingTest
{
protected:
    void SetUp() override
    {
        CImagingTest::SetUp();
        sFilterParams = sFilterParameters{};
        m_services.m_pEngine = &m_engine;
        m_exTemplate = new CDIBMultiDocTemplate(IDR_TEST_IMAGE, RUNTIME_CLASS(CDIBDocEx), RUNTIME_CLASS(CMDIChildWnd),
                                                RUNTIME_CLASS(CCountingView));
        m_app.AddDocTemplate(m_exTemplate);
        // Dark objects: every channel at most 145 (the mixed pixels of a
        // smoothed edge keep their side); marks in white.
        m_engine.GetSettings().m_SegThres = CSegThres(RGB(145, 145, 145), RGB(250, 250, 250), CSegThres::modeDark);
    }

    // A new document whose only page is a bright page of that size.
    CDIBDocEx* NewDocument(int width, int height)
    {
        auto* doc = dynamic_cast<CDIBDocEx*>(m_exTemplate->OpenDocumentFile(nullptr));
        EXPECT_NE(doc, nullptr);
        auto page = std::make_unique<CDIB>();
        EXPECT_TRUE(page->InitDIB(width, height, 24));
        page->GetMat().setTo(cv::Scalar::all(kGround));
        doc->AddPage(std::move(page));
        return doc;
    }

    // Draws a filled disc into the active page; answers its pixel count.
    static int DrawDisc(CDIBDoc& doc, cv::Point centre, int radius, COLORREF colour)
    {
        cv::Mat pixels = doc.GetActiveDIB()->GetMat();
        cv::circle(pixels, centre, radius, cv::Scalar(GetBValue(colour), GetGValue(colour), GetRValue(colour)),
                   cv::FILLED, cv::LINE_8);
        cv::Mat mask(pixels.size(), CV_8U, cv::Scalar(0));
        cv::circle(mask, centre, radius, cv::Scalar(255), cv::FILLED, cv::LINE_8);
        return cv::countNonZero(mask);
    }

    static void Command(CDocument& doc, UINT id) { doc.OnCmdMsg(id, CN_COMMAND, nullptr, nullptr); }

    static bool IsEnabled(CDocument& doc, UINT id)
    {
        CCmdUI state;
        state.m_nID = id;
        state.DoUpdate(&doc, TRUE);
        return state.m_bEnabled;
    }

    static cv::Mat Pixels(CDIBDoc& doc) { return doc.GetActiveDIB()->GetMat().clone(); }

    static bool Same(const cv::Mat& a, const cv::Mat& b)
    {
        return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0.0;
    }

    CBV m_engine;
    CDIBMultiDocTemplate* m_exTemplate = nullptr;
};

} // namespace kestrun::testing
