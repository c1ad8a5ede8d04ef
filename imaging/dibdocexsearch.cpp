// Counting and measuring the objects of the active page into the result
// table, the region search, and the classification of the objects.

#include "imaging/dibdocex.h"

#include "imaging/framebufferlock.h"
#include "imaging/resulttable.h"
#include "imaging/src.h"

#include "analysis/aoiraster.h"
#include "analysis/bv.h"
#include "analysis/featurecodes.h"
#include "analysis/objdatabase.h"
#include "analysis/resultdocument.h"
#include "platform/core/exceptions.h"
#include "platform/core/messagebox.h"
#include "platform/ui/doctemplate.h"
#include "platform/ui/frame.h"

#include <opencv2/core.hpp>

#include <algorithm>
#include <cfloat>
#include <utility>

namespace {

// Kinds of records that are classified.
constexpr WORD kKindObject = 5;
constexpr WORD kKindContourSegment = 13;
constexpr DWORD kClassifiedFlag = 0x80000000;

// The engine hands its records to the bound table through this.
class CResultTableSink : public IResultDocument
{
public:
    explicit CResultTableSink(CResultTable& table) : m_table(table) {}

    void AddObject(std::unique_ptr<CBaseObj> object) override
    {
        if (!object)
            return;
        m_table.AddObject(object.get());
        object.release();
    }
    int GetObjectCount() const override { return m_table.GetCount(); }
    CBaseObj* GetObjectAt(int index) const override { return m_table.GetAt(index); }

private:
    CResultTable& m_table;
};

bool HasSubAreas(const CAOI& aoi)
{
    return aoi.GetRaster() != nullptr && aoi.GetRaster()->GetSize() > 0;
}

bool SamePixels(const CDIB& a, const CDIB& b)
{
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight() || a.GetBitCount() != b.GetBitCount())
        return false;
    if (a.GetBitCount() == 8 && !std::ranges::equal(a.GetPalette(), b.GetPalette()))
        return false;
    return cv::norm(a.GetMat(), b.GetMat(), cv::NORM_INF) == 0.0;
}

} // namespace

// ---- the result table ----------------------------------------------------------------------

CResultTable* CDIBDocEx::EnsureResultTable(bool& bNew)
{
    bNew = false;
    if (GetResultDoc() != nullptr)
        return GetResultTable();
    CSRC* templates = GetTemplates();
    CMultiDocTemplate* objects =
        templates ? templates->GetTemplate(GetEmbeddedView() ? CSRC::kObjGridTemplate : CSRC::kObjTemplate) : nullptr;
    if (objects == nullptr) {
        AfxMessageBox("There is no object table to count into.", MB_ICONINFORMATION);
        return nullptr;
    }
    CDocument* doc = objects->CreateNewDocument();
    auto* table = dynamic_cast<CResultTable*>(doc);
    if (table == nullptr || !doc->OnNewDocument()) {
        if (doc)
            doc->OnCloseDocument();
        return nullptr;
    }
    objects->SetDefaultTitle(doc);
    table->AttachSources(templates->GetTemplate(CSRC::kChartTemplate), templates->GetTemplate(CSRC::kGridTemplate),
                         GetEngine());
    SetResultDoc(doc);
    bNew = true;
    return table;
}

CResultTable* CDIBDocEx::PrepareResultTable(bool& bNew)
{
    bNew = false;
    if (GetEngine() == nullptr || GetActiveDIB() == nullptr)
        return nullptr;
    CResultTable* table = EnsureResultTable(bNew);
    if (table != nullptr)
        GetResultDoc()->DeleteContents();
    return table;
}

void CDIBDocEx::ShowResultTable(bool bNew)
{
    CDocument* doc = GetResultDoc();
    if (doc == nullptr)
        return;
    if (!bNew) {
        doc->UpdateAllViews(nullptr);
        return;
    }
    // A template without a frame keeps its tables without a window.
    CDocTemplate* owner = doc->GetDocTemplate();
    if (owner == nullptr)
        return;
    const BOOL autoDelete = doc->m_bAutoDelete;
    doc->m_bAutoDelete = FALSE;
    CFrameWnd* frame = owner->CreateNewFrame(doc, nullptr);
    doc->m_bAutoDelete = autoDelete;
    if (frame)
        owner->InitialUpdateFrame(frame, doc);
}

void CDIBDocEx::ClassifyResults(CResultTable& table, bool bContourSegments)
{
    const CBV* engine = GetEngine();
    if (engine == nullptr || engine->m_Classes.GetCount() == 0)
        return;
    for (int i = 0; i < table.GetCount(); ++i) {
        auto* record = dynamic_cast<CObjDataBase*>(table.GetAt(i));
        if (record == nullptr)
            continue;
        if (record->m_ID != kKindObject && !(bContourSegments && record->m_ID == kKindContourSegment))
            continue;
        ClassifyObject(engine->m_Classes, *record);
        record->m_Type |= kClassifiedFlag;
    }
}

// ---- counting ------------------------------------------------------------------------------------

void CDIBDocEx::SearchObjects()
{
    // The count's outlines must match the picture they are drawn over.
    FreezeLiveVideo();
    const CFrameBufferLock hold(VideoBoard(), GetActiveDIB());
    bool bNew = false;
    CResultTable* table = PrepareResultTable(bNew);
    if (table == nullptr)
        return;
    CBV* engine = GetEngine();
    CDIB* page = GetActiveDIB();
    CWaitCursor wait;

    // The chain filters the page for the count only: the unfiltered page
    // is kept apart and comes back, whatever the user's undo stack holds.
    const bool filtered = engine->GetSettings().m_ObjectFilter.GetFilterCount() > 0;
    CDIB unfiltered;
    if (filtered)
        CopyPage(unfiltered, *page);
    try {
        RunImageFilter();
        // The perspective step straightens into another page, which is
        // the one to count.
        CDIB* counted = GetActiveDIB();
        PrepareAreas();
        CResultTableSink sink(*table);
        CAOI* aoi = GetDataDoc()->GetActiveAOI(true);
        if (engine->GetSettings().m_FormThres.m_Model == CFormThres::modelEdgeObject)
            engine->MeasureEdgeObject(counted, &sink);
        else if (HasSubAreas(*aoi))
            engine->AnalyseSubAreas(counted, aoi, &sink);
        else
            engine->Analyse(counted, aoi, &sink, 1);
    } catch (...) {
        if (filtered)
            CopyPage(*page, unfiltered);
        throw;
    }
    if (filtered)
        CopyPage(*page, unfiltered);
    ClassifyResults(*table, true);
    ShowResultTable(bNew);
    UpdateImageViews();
    ShowRunDiagnostics(engine->GetRunDiagnostics());
    ReportNothingFound(*table);
}

void CDIBDocEx::SearchBlobs()
{
    FreezeLiveVideo();
    const CFrameBufferLock hold(VideoBoard(), GetActiveDIB());
    bool bNew = false;
    CResultTable* table = PrepareResultTable(bNew);
    if (table == nullptr)
        return;
    CBV* engine = GetEngine();
    CDIB* page = GetActiveDIB();
    CWaitCursor wait;

    // A repeated search starts from the page the last one was run on, not
    // from its filtered and painted result.
    if (m_pBlobSource && m_pBlobResult && SamePixels(*page, *m_pBlobResult))
        CopyPage(*page, *m_pBlobSource);
    auto source = std::make_unique<CDIB>();
    CopyPage(*source, *page);
    // Closing the table takes back this step, when it is ours.
    const int steps = GetUndoCount();
    PushUndo(FALSE);
    if (GetUndoCount() > steps)
        MarkUndoStep(GetResultDoc());
    RunImageFilter();
    PrepareAreas();
    CResultTableSink sink(*table);
    engine->SegmentWithProgress(page, &sink);
    table->SetCurrentIndex(1);
    ClassifyResults(*table, false);
    ShowResultTable(bNew);

    m_pBlobSource = std::move(source);
    m_pBlobResult = std::make_unique<CDIB>();
    CopyPage(*m_pBlobResult, *page);
    UpdateImageViews();
    ShowRunDiagnostics(engine->GetRunDiagnostics());
    ReportNothingFound(*table);
}

void CDIBDocEx::ShowRunDiagnostics(const CRunDiagnostics& notes)
{
    if (notes.IsEmpty()) {
        // A count that did all it was asked takes back the last one's line.
        if (std::exchange(m_bNotesInStatusBar, false))
            SetStatusText("");
        return;
    }
    SetStatusText(notes.FormatShort());
    m_bNotesInStatusBar = true;
    AfxMessageBox(notes.FormatMessage(), MB_ICONWARNING);
}

void CDIBDocEx::ReportNothingFound(const CResultTable& table)
{
    // Notes of the run say more and stay.
    if (table.GetCount() != 0 || m_bNotesInStatusBar)
        return;
    SetStatusText("No object was found");
    m_bNotesInStatusBar = true;
}

// ---- classes ---------------------------------------------------------------------------------------

void CDIBDocEx::ClassifyObject(const CClasses& classes, CObjDataBase& record)
{
    const CVectorNormal* winner = nullptr;
    double best = DBL_MAX;
    for (const CVectorNormal& candidate : classes) {
        double sum = 0.0;
        int compared = 0;
        bool rejected = false;
        for (int i = 0; i < candidate.GetFeatureCount() && !rejected; ++i) {
            const int code = candidate.GetFeature(i).m_nType;
            if (!IsFeatureOn(record, code))
                continue;
            const double distance = candidate.GetFeatureDistance(GetFeatureValue(record, code), i);
            rejected = distance >= 1.0;
            sum += distance;
            ++compared;
        }
        if (rejected || compared == 0)
            continue;
        // The later class wins a tie.
        if (sum / compared <= best) {
            best = sum / compared;
            winner = &candidate;
        }
    }
    if (winner) {
        record.m_dClass = static_cast<WORD>(winner->m_nClass);
        record.m_strClassName = winner->m_strName;
        record.m_ClassColor = winner->m_Color;
    } else {
        record.m_dClass = 0;
        record.m_strClassName = "NC";
        record.m_ClassColor = 255;
    }
}
