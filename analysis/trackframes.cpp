// The frames of a track in byte archives (the element layouts of the
// series files) and the whole track in XML tables.

#include "analysis/track.h"

#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "platform/core/archive.h"
#include "platform/core/exceptions.h"

#include <array>
#include <cstring>
#include <utility>
#include <vector>

namespace {

constexpr const char* kElementName = "C3DTrackElement2009";

// Bytes of one stored element; 0 for an unknown layout.
int RecordSize(int layout)
{
    switch (layout) {
    case CTrack::layout2DShort:
        return 10;
    case CTrack::layout3DShort:
        return 12;
    case CTrack::layoutAngle:
    case CTrack::layoutAngleB:
    case CTrack::layoutAngleC:
    case CTrack::layoutAngleD:
        return 20;
    case CTrack::layoutGreen:
    case CTrack::layoutGreenB:
    case CTrack::layoutGreenC:
        return 28;
    case CTrack::layout2009:
        return C3DTrackElement2009::kSize;
    default:
        return 0;
    }
}

using CRecordBytes = std::array<BYTE, C3DTrackElement2009::kSize>;

// Reads the little-endian fields of a record one after the other.
class CFieldReader
{
public:
    explicit CFieldReader(const CRecordBytes& bytes) : m_bytes(bytes) {}

    WORD Word()
    {
        const auto value = static_cast<WORD>(m_bytes[m_at] | (m_bytes[m_at + 1] << 8));
        m_at += 2;
        return value;
    }
    DWORD Dword()
    {
        const DWORD low = Word();
        return low | (static_cast<DWORD>(Word()) << 16);
    }
    float Float()
    {
        const DWORD bits = Dword();
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

private:
    const CRecordBytes& m_bytes;
    size_t m_at = 0;
};

void PutWord(CRecordBytes& b, int at, WORD value)
{
    b[at] = static_cast<BYTE>(value);
    b[at + 1] = static_cast<BYTE>(value >> 8);
}

void PutDword(CRecordBytes& b, int at, DWORD value)
{
    for (int k = 0; k < 4; ++k)
        b[at + k] = static_cast<BYTE>(value >> (8 * k));
}

// The stored record of the layout as a 32-byte element; missing fields 0,
// 16-bit areas and perimeters widened.
C3DTrackElement2009 Convert(const CRecordBytes& bytes, int size)
{
    CFieldReader r(bytes);
    C3DTrackElement2009 e;
    if (size == 10 || size == 12) {
        e.m_dwTime = r.Word();
        e.m_wX = r.Word();
        e.m_wY = r.Word();
        if (size == 12)
            e.m_wZ = r.Word();
        e.m_dwArea = r.Word();
        e.m_wPerimeter = r.Word();
        return e;
    }
    e.m_dwTime = r.Dword();
    e.m_wX = r.Word();
    e.m_wY = r.Word();
    e.m_wZ = r.Word();
    if (size == C3DTrackElement2009::kSize) {
        e.m_wPad1 = r.Word();
        e.m_dwArea = r.Dword();
        e.m_wPerimeter = r.Word();
        e.m_wPad2 = r.Word();
    } else {
        e.m_dwArea = r.Word();
        e.m_wPerimeter = r.Word();
        r.Word(); // padding
    }
    e.m_fAngle = r.Float();
    if (size >= 28) {
        e.m_dwGreenEven = r.Dword();
        e.m_dwGreenOdd = r.Dword();
    }
    return e;
}

CRecordBytes Encode(const C3DTrackElement2009& e)
{
    CRecordBytes b{};
    PutDword(b, 0, e.m_dwTime);
    PutWord(b, 4, e.m_wX);
    PutWord(b, 6, e.m_wY);
    PutWord(b, 8, e.m_wZ);
    PutWord(b, 10, e.m_wPad1);
    PutDword(b, 12, e.m_dwArea);
    PutWord(b, 16, e.m_wPerimeter);
    PutWord(b, 18, e.m_wPad2);
    DWORD angle = 0;
    std::memcpy(&angle, &e.m_fAngle, sizeof angle);
    PutDword(b, 20, angle);
    PutDword(b, 24, e.m_dwGreenEven);
    PutDword(b, 28, e.m_dwGreenOdd);
    return b;
}

C3DTrackElement2009 ReadRecord(CArchive& ar, int size)
{
    CRecordBytes bytes{};
    ar.EnsureRead(bytes.data(), static_cast<UINT>(size));
    return Convert(bytes, size);
}

// The frame number of record k (from 1 on) and, for the short layouts,
// its time from that frame.
WORD FrameOf(int layout, C3DTrackElement2009& e, WORD previous, DWORD firstTime)
{
    switch (layout) {
    case CTrack::layout2DShort:
    case CTrack::layout3DShort: {
        const DWORD step = layout == CTrack::layout2DShort ? (e.m_dwTime + 2) >> 2 : e.m_dwTime >> 2;
        const auto frame = static_cast<WORD>(previous + (step & 0xFFFF));
        e.m_dwTime = static_cast<DWORD>(frame) * CTrack::kFrameInterval;
        return frame;
    }
    default:
        return static_cast<WORD>((e.m_dwTime - firstTime) / CTrack::kFrameInterval + 1);
    }
}

} // namespace

// ---- byte archives ----

void CTrack::SerializeFrames(CArchive& ar, int layout)
{
    if (ar.IsLoading()) {
        LoadFrames(ar, layout);
        return;
    }
    // An empty track still writes its first record, count 0, so that what
    // is stored loads again.
    if (m_nCount == 0) {
        const CRecordBytes bytes = Encode(C3DTrackElement2009{});
        ar.Write(bytes.data(), static_cast<UINT>(bytes.size()));
        return;
    }
    for (int i = 0; i < m_nCount; ++i) {
        C3DTrackElement2009 element = m_arrElements[static_cast<size_t>(i)];
        // The first record tells the reader how many follow.
        if (i == 0)
            element.m_dwTime = static_cast<DWORD>(m_nCount);
        const CRecordBytes bytes = Encode(element);
        ar.Write(bytes.data(), static_cast<UINT>(bytes.size()));
    }
}

void CTrack::LoadFrames(CArchive& ar, int layout)
{
    const int size = RecordSize(layout);
    if (size == 0)
        AfxThrowArchiveException(CArchiveException::badSchema);
    const C3DTrackElement2009 first = ReadRecord(ar, size);
    const DWORD n = first.m_dwTime;
    if (n == 0)
        return;
    if (n > static_cast<DWORD>(kMaxElements))
        AfxThrowArchiveException(CArchiveException::badIndex);
    if (static_cast<ULONGLONG>(n - 1) * static_cast<ULONGLONG>(size) > ar.BytesLeft())
        AfxThrowArchiveException(CArchiveException::endOfFile);

    // Read everything before the track changes: a failure leaves it.
    std::vector<C3DTrackElement2009> elements(n);
    std::vector<WORD> frames(n, 0);
    elements[0] = first;
    DWORD firstTime = 0;
    for (DWORD k = 1; k < n; ++k) {
        C3DTrackElement2009 element = ReadRecord(ar, size);
        if (k == 1)
            firstTime = element.m_dwTime;
        frames[k] = FrameOf(layout, element, frames[k - 1], firstTime);
        elements[k] = element;
    }
    SetSize(static_cast<int>(n));
    for (DWORD k = 0; k < n; ++k)
        AddPoint(elements[k], frames[k], 1);
}

// ---- XML ----

void CTrack::Serialize(CArchive& ar)
{
    CXMLArchive& xml = CXMLArchive::FromArchive(ar);
    if (xml.GetChildNode("CTrack") == nullptr)
        return;
    CXMLArchiveNode& node = *xml.GetCurrentNode();
    node.SerializeInt("m_nWHOClass", m_nWHOClass);
    node.SerializeInt("m_nHyperactivated", m_nHyperactivated);
    node.SerializeDouble("m_dRadius", m_dRadius);
    node.SerializeDouble("m_dDistance", m_dDistance);
    node.SerializeDouble("m_dVCL", m_dVCL);
    node.SerializeDouble("m_dVSL", m_dVSL);
    node.SerializeDouble("m_dVAP", m_dVAP);
    node.SerializeDouble("m_dBCF", m_dBCF);
    node.SerializeDouble("m_dALH", m_dALH);
    SerializeFramesXML(ar);
    SerializeStopsXML(ar);
    CBaseObj::Serialize(ar);
    xml.GetCurrentNode()->EndNode();
}

void CTrack::SerializeFramesXML(CArchive& ar)
{
    CXMLArchive& xml = CXMLArchive::FromArchive(ar);
    CXMLArchiveNode* list = xml.GetChildNode("m_arrElements");
    if (list == nullptr)
        return;
    const auto serializeElement = [&](C3DTrackElement2009& e, WORD& frame) {
        CXMLArchiveNode& item = *xml.GetCurrentNode();
        item.SerializeWord("m_wFrame", frame);
        UINT time = e.m_dwTime;
        item.SerializeUInt("m_dwTime", time);
        e.m_dwTime = time;
        item.SerializeWord("m_wX", e.m_wX);
        item.SerializeWord("m_wY", e.m_wY);
        item.SerializeWord("m_wZ", e.m_wZ);
        UINT area = e.m_dwArea;
        item.SerializeUInt("m_dwArea", area);
        e.m_dwArea = area;
        item.SerializeWord("m_wPerimeter", e.m_wPerimeter);
        item.SerializeFloat("m_fAngle", e.m_fAngle);
        UINT even = e.m_dwGreenEven;
        item.SerializeUInt("m_dwGreenEven", even);
        e.m_dwGreenEven = even;
        UINT odd = e.m_dwGreenOdd;
        item.SerializeUInt("m_dwGreenOdd", odd);
        e.m_dwGreenOdd = odd;
        item.EndNode();
    };

    if (ar.IsStoring()) {
        for (int i = 0; i < m_nCount; ++i) {
            xml.GetChildNode(kElementName);
            serializeElement(m_arrElements[static_cast<size_t>(i)], m_arrFrameNumbers[static_cast<size_t>(i)]);
        }
        list->EndNode();
        return;
    }

    const int children = list->GetChildCount();
    int count = 0;
    for (int i = 0; i < children; ++i)
        count += list->GetChildName(i) == kElementName ? 1 : 0;
    if (count > kMaxElements)
        AfxThrowArchiveException(CArchiveException::badIndex);
    std::vector<C3DTrackElement2009> elements;
    std::vector<WORD> frames;
    elements.reserve(static_cast<size_t>(count));
    frames.reserve(static_cast<size_t>(count));
    for (int i = 0; i < children; ++i) {
        if (list->GetChildName(i) != kElementName)
            continue;
        list->SetChildIndex(i);
        if (xml.GetChildNode(kElementName) == nullptr)
            continue;
        C3DTrackElement2009 element;
        WORD frame = 0;
        serializeElement(element, frame);
        elements.push_back(element);
        frames.push_back(frame);
    }
    list->EndNode();
    SetSize(count);
    for (size_t k = 0; k < elements.size(); ++k)
        AddPoint(elements[k], frames[k], 1);
}

void CTrack::SerializeStopsXML(CArchive& ar)
{
    CXMLArchive& xml = CXMLArchive::FromArchive(ar);
    CXMLArchiveNode* list = xml.GetChildNode("m_arrStops");
    if (list == nullptr)
        return;
    if (ar.IsStoring()) {
        for (CStopReaction& stop : m_arrStops)
            stop.SerializeItems(ar);
        list->EndNode();
        return;
    }
    std::vector<CStopReaction> stops;
    const int children = list->GetChildCount();
    for (int i = 0; i < children; ++i) {
        if (list->GetChildName(i) != "CStopReaction")
            continue;
        list->SetChildIndex(i);
        CStopReaction stop;
        stop.SerializeItems(ar);
        stops.push_back(stop);
    }
    list->EndNode();
    m_arrStops = std::move(stops);
}
