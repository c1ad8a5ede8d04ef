// The place a defect search found, marked in the image view from the
// plain table that holds it.

#include "imaging/ui/tests/viewtesting.h"

#include "analysis/objsegments.h"
#include "series/griddoc2.h"

#include <algorithm>
#include <memory>

namespace {

using kestrun::testing::CImageViewTest;

using ViewDefectsTest = CImageViewTest;

TEST_F(ViewDefectsTest, ADefectOfAPlainTableIsMarkedWithItsNumber)
{
    auto table = std::make_unique<CGridDoc2>();
    auto defect = std::make_unique<CDefect>();
    defect->SetDefect(100, 80, 4.0);
    table->AddObject(defect.release());
    m_doc->SetResultDoc(table.get());
    m_doc->UpdateAllViews(nullptr);

    CRecordingDC dc;
    Render(m_view, dc);
    const CPoint at = m_view->ImageToClient(CPoint(100, 80));
    const auto& records = dc.Records();
    EXPECT_TRUE(std::any_of(records.begin(), records.end(), [&](const CDCRecord& r) {
        return r.op == "LineTo" && r.points.size() == 2 && r.points[0].y == at.y && r.points[0].x < at.x &&
               r.points[1].x > at.x;
    }));
    EXPECT_TRUE(std::any_of(records.begin(), records.end(),
                            [](const CDCRecord& r) { return r.op == "TextOut" && r.text == "1"; }));
    m_doc->SetResultDoc(nullptr);
}

} // namespace
