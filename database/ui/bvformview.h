#pragma once
// CBVFormView: the base of the record forms. It owns one image document of
// its own, never shared with the application's templates, and on demand an
// image view embedded in the form, so that a form shows, grabs, loads and
// measures the image of its current record without an image window.
#include "platform/ui/formview.h"

#include <memory>

class CDIB;
class CDIBDocEx;
class CDIBVwEx;

class CBVFormView : public CFormView
{
    DECLARE_DYNAMIC(CBVFormView)

public:
    explicit CBVFormView(UINT nIDTemplate);
    ~CBVFormView() override;

    // Each form makes its embedded view; bVideo connects it to the grabber.
    virtual BOOL CreateImageView(BOOL bVideo) = 0;
    // A page taken over into the image document (made when missing); a
    // null page adds nothing. Null after a failure, with the image gone.
    virtual CDIBDocEx* AcquireImage(std::unique_ptr<CDIB> page);
    // The file opened into the image document (made when missing); null
    // after a failure, with the image gone unless it is a video document.
    virtual CDIBDocEx* OpenImageFile(LPCTSTR lpszPathName);
    // The view leaves the document unannounced and is destroyed, then the
    // document closes. Both are gone afterwards.
    void DetachImageView();

    // Before a count: when the image document's background check is on,
    // the active area's pattern is searched around it, and when the best
    // match is less similar than the document's threshold the operator is
    // asked. 1 to go on, 0 when the operator declined.
    int CheckBackground();

    CDIBDocEx* GetImageDocument() const { return m_pImageDoc; }
    CDIBVwEx* GetImageView() const { return m_pImageView; }

protected:
    // Made with plain construction; it deletes itself when it closes.
    CDIBDocEx* EnsureImageDocument();
    // The views redrawn, or the embedded view made.
    void ShowImage();
    // The embedded view made in the frame control nFrameID: the frame keeps
    // its top and right edge and takes the active page's ratio, its left
    // edge staying right of control nLimitID; the view ("Video", id 2) sits
    // one pixel inside it. bVideo connects it to the grabber; FALSE when
    // that or the view fails.
    BOOL CreateEmbeddedView(UINT nFrameID, UINT nLimitID, BOOL bVideo);
    // "Init Video" of the database forms: the image document becomes a
    // video document shown in the embedded view, and the box gets state 3.
    void InitVideo();
    // "MSG_STATE_TO_KISTE" to the main window.
    static void SendStateToBox(int state);
    // The parent frame over the main window's client area, less the bars.
    void FitFrameToMainWindow();

    CDIBVwEx* m_pImageView = nullptr;
    CDIBDocEx* m_pImageDoc = nullptr;
};
