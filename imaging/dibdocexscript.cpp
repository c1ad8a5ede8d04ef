// CDIBDocEx as the script object "Bild": scripts grab, load, filter and
// measure the image through it. The words the members take are compared
// exactly; an unknown word does nothing.

#include "imaging/dibdocex.h"

#include "imaging/framebufferlock.h"

#include "analysis/aoidoc.h"
#include "analysis/cvfilters.h"
#include "platform/automation/dispatchmap.h"
#include "platform/core/messages.h"
#include "platform/core/cstring.h"
#include "platform/ui/cmdtarget.h"

namespace {

using Args = std::span<const COleVariant>;

constexpr const char* kBildClassId = "{DD591203-E395-11D2-998A-0080AD38027C}";
// Move to the position, kept inside the image.
constexpr UINT kMoveInImage = CAOI::setPosition | CAOI::keepInImage;
// A handler that posts again on every call would keep the queue full for
// ever; after this many rounds the script goes on.
constexpr int kMaxPumpRounds = 64;

// What the script's change shows before the script goes on.
void DispatchPendingMessages()
{
    for (int round = 0; round < kMaxPumpRounds && kestrun::PumpMessages() > 0; ++round) {
    }
}

} // namespace

const kestrun::CDispatchMap& CDIBDocEx::GetDispatchMap() const
{
    static const kestrun::CDispatchMap map =
        kestrun::CDispatchMapBuilder<CDIBDocEx>("Bild", kBildClassId)
            .Property(
                "Bild", VT_I4, [](CDIBDocEx& doc, Args) { return static_cast<int>(doc.GetBild()); },
                [](CDIBDocEx&, Args, const COleVariant&) {})
            .Method("Mirror", VT_EMPTY, {}, [](CDIBDocEx& doc, Args) { doc.Mirror(); })
            .Method("Snapshot", VT_EMPTY, {}, [](CDIBDocEx& doc, Args) { doc.Snapshot(); })
            .Method("LoadImage", VT_EMPTY, {VT_BSTR},
                    [](CDIBDocEx& doc, Args args) { doc.LoadImage(CString(args[0].bstrVal)); })
            .Method("Show", VT_EMPTY, {VT_I4}, [](CDIBDocEx& doc, Args args) { doc.Show(args[0].lVal); })
            .Method("EdgeFilter", VT_EMPTY, {VT_BSTR},
                    [](CDIBDocEx& doc, Args args) { doc.EdgeFilter(CString(args[0].bstrVal)); })
            .Method("Filter", VT_EMPTY, {VT_BSTR},
                    [](CDIBDocEx& doc, Args args) { doc.Filter(CString(args[0].bstrVal)); })
            .Method("Measure", VT_BOOL, {VT_BSTR},
                    [](CDIBDocEx& doc, Args args) {
                        return COleVariant(short(doc.Measure(CString(args[0].bstrVal)) ? VARIANT_TRUE : 0), VT_BOOL);
                    })
            .Method("MoveAOI", VT_BOOL, {VT_I2, VT_I2},
                    [](CDIBDocEx& doc, Args args) {
                        return COleVariant(short(doc.MoveAOI(args[0].iVal, args[1].iVal) ? VARIANT_TRUE : 0),
                                           VT_BOOL);
                    })
            .Build();
    return map;
}

long CDIBDocEx::GetBild()
{
    // An address does not fit in a script's long: the page's number does.
    return GetActiveDIB() != nullptr ? GetActiveIndex() + 1 : 0;
}

void CDIBDocEx::Mirror()
{
    OnMirror();
    DispatchPendingMessages();
}

void CDIBDocEx::Snapshot()
{
    Grab(TRUE);
}

void CDIBDocEx::LoadImage(const CString& path)
{
    OnOpenDocument(path);
    UpdateImageViews();
    DispatchPendingMessages();
}

void CDIBDocEx::Show(long hdc)
{
    // Device contexts live only while a view paints; none is known by a
    // number a script could hold.
    throw COleDispatchException(
        DISP_E_EXCEPTION, FormatString("Bild.Show: there is no device context with the handle %ld", hdc));
}

void CDIBDocEx::ChangePageForScript(const std::function<void(CDIB&)>& change)
{
    const CFrameBufferLock hold(VideoBoard(), GetActiveDIB());
    if (CDIB* page = GetActiveDIB()) {
        CWaitCursor wait;
        PrepareAreas();
        change(*page);
    }
    UpdateImageViews();
    DispatchPendingMessages();
}

void CDIBDocEx::EdgeFilter(const CString& what)
{
    if (what == "Erode")
        ChangePageForScript([this](CDIB& page) { MorphObjects(page, true); });
    else if (what == "Dilate")
        ChangePageForScript([this](CDIB& page) { MorphObjects(page, false); });
}

void CDIBDocEx::Filter(const CString& what)
{
    if (what == "Smooth")
        ChangePageForScript([](CDIB& page) { SmoothFilter(&page, SMOOTH_GAUSSIAN); });
    else if (what == "Median")
        ChangePageForScript([](CDIB& page) { SmoothFilter(&page, SMOOTH_MEDIAN); });
    else if (what == "Laplace")
        ChangePageForScript([](CDIB& page) { LaplaceFilter(&page); });
}

BOOL CDIBDocEx::Measure(const CString& what)
{
    if (what == "Count") {
        SearchObjects();
    } else if (what == "Blob") {
        SearchBlobs();
    } else if (what == "AOI") {
        MeasureAreas();
        m_nDrawMode = kDrawModeResult;
    }
    DispatchPendingMessages();
    return TRUE;
}

BOOL CDIBDocEx::MoveAOI(short dx, short dy)
{
    CAOIDoc* areas = GetDataDoc();
    if (areas == nullptr || areas->GetAOICount() == 0)
        return TRUE;
    PrepareAreas();
    if (CAOI* aoi = areas->GetActiveAOI(false)) {
        const CRect image = areas->GetImageRect();
        aoi->SetPosition(aoi->GetLeft() + dx, aoi->GetTop() + dy, aoi->GetWidth(), aoi->GetHeight(), image.left,
                         image.top, image.left + image.Width(), image.top + image.Height(), kMoveInImage);
    }
    UpdateImageViews();
    DispatchPendingMessages();
    return TRUE;
}
