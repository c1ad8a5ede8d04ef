#pragma once
// Shared by the filter sources only: the entry every page filter passes
// through, and the checks of settings that OpenCV would misread.

#include "outside/pixmere/dib.h"
#include "platform/core/exceptions.h"
#include "platform/core/messagebox.h"

#include <opencv2/core.hpp>

namespace kestrun::filters {

// A setting or page a filter refuses, with the text for the user.
class CFilterRefusal : public CInvalidArgException
{
public:
    explicit CFilterRefusal(const CString& text) : m_text(text) {}
    CString GetErrorMessage() const override { return m_text; }

private:
    CString m_text;
};

[[noreturn]] void Refuse(const char* filter, const CString& problem);

// Kernel and aperture widths: odd and inside [minimum, maximum].
void RequireOddWidth(const char* filter, const char* what, int width, int minimum, int maximum);

// A copy of the page's pixels, top down and without row padding; refuses
// a missing or empty page.
cv::Mat PageImage(const char* filter, const CDIB* page);

// Grey picture of a page: a copy of an 8-bit page, the luminance of a
// colour page.
cv::Mat GreyImage(const cv::Mat& image);

// The text of an OpenCV error for the user.
CString OpenCvErrorText(const char* filter, const cv::Exception& e);

// Runs work (which may throw) and turns every error into a message box and
// the answer failed.
template <class Result, class Work>
Result Guarded(const char* filter, Result failed, Work&& work)
{
    try {
        return work();
    } catch (const cv::Exception& e) {
        AfxMessageBox(OpenCvErrorText(filter, e), MB_ICONWARNING);
    } catch (const CException& e) {
        AfxMessageBox(e.GetErrorMessage(), MB_ICONWARNING);
    }
    return failed;
}

// The common shape of a page filter: the result of op on the page's image
// replaces the page's pixels (row by row, keeping an 8-bit page's palette).
template <class Op>
BOOL FilterPage(const char* filter, CDIB* page, Op&& op)
{
    return Guarded(filter, FALSE, [&]() -> BOOL {
        const cv::Mat result = op(PageImage(filter, page));
        page->AssignMat(result);
        return TRUE;
    });
}

} // namespace kestrun::filters
