// The result document an image document binds, the template holder it
// comes from, and what the image document's end does to it.

#include "imaging/tests/imagingtesting.h"

#include <fstream>

namespace {

using kestrun::testing::CImagingTest;
using kestrun::testing::CResultListDoc;

class ResultDocTest : public CImagingTest
{
protected:
    CString WriteObjects(const char* name, std::initializer_list<const char*> classes)
    {
        std::ofstream out(PathOf(name).GetString());
        for (const char* c : classes)
            out << c << '\n';
        return PathOf(name);
    }
};

TEST_F(ResultDocTest, ObjectDataOpensIntoANewTableAndLaterReloadsInPlace)
{
    CDIBDoc* doc = NewImageDocument();
    ASSERT_NE(doc, nullptr);
    const int updates = FirstView(doc)->m_nUpdates;

    ASSERT_TRUE(doc->LoadObjectData(WriteObjects("first.xml", {"A", "B"}), FALSE));
    auto* table = dynamic_cast<CResultListDoc*>(doc->GetResultDoc());
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->GetDocTemplate(), m_templates.GetTemplate(CSRC::kObjTemplate));
    EXPECT_EQ(doc->GetResultTable(), table);
    EXPECT_EQ(table->GetCount(), 2);
    EXPECT_EQ(doc->m_nDrawMode, CDIBDoc::kDrawModeResult);
    EXPECT_EQ(FirstView(doc)->m_nUpdates, updates + 1);

    // The second file goes into the same table, which starts at its first record.
    table->SetCurrentIndex(1);
    const int tableUpdates = FirstView(table)->m_nUpdates;
    ASSERT_TRUE(doc->LoadObjectData(WriteObjects("second.xml", {"C", "D", "E"}), FALSE));
    EXPECT_EQ(doc->GetResultDoc(), table);
    EXPECT_EQ(table->m_nLoads, 2);
    ASSERT_EQ(table->GetCount(), 3);
    EXPECT_EQ(table->GetAt(0)->m_strClassName, "C");
    EXPECT_EQ(table->GetCurrentIndex(), 0);
    EXPECT_EQ(FirstView(table)->m_nUpdates, tableUpdates + 1);
    EXPECT_EQ(m_templates.GetTemplate(CSRC::kObjTemplate)->Documents().size(), 1u);
}

TEST_F(ResultDocTest, AGridFrameTableComesFromItsOwnTemplate)
{
    CDIBDoc* doc = NewImageDocument();
    ASSERT_TRUE(doc->LoadObjectData(WriteObjects("objects.xml", {"A"}), TRUE));
    EXPECT_EQ(doc->GetResultDoc()->GetDocTemplate(), m_templates.GetTemplate(CSRC::kObjGridTemplate));
}

TEST_F(ResultDocTest, WithoutAResultDocumentNothingIsBound)
{
    CDIBDoc* doc = NewImageDocument();
    // A file the table cannot open.
    EXPECT_FALSE(doc->LoadObjectData(PathOf("missing.xml"), FALSE));
    // No template holder at all.
    m_services.m_pTemplates = nullptr;
    EXPECT_FALSE(doc->LoadObjectData(WriteObjects("objects.xml", {"A"}), FALSE));
    EXPECT_EQ(doc->GetResultDoc(), nullptr);
    EXPECT_EQ(doc->m_nDrawMode, 0);
}

TEST_F(ResultDocTest, TheEndOfTheDocumentIsAnnouncedAndClosesAFormsResultTable)
{
    // A form's document: an embedded view, and its table goes with it.
    auto formDoc = std::make_unique<CDIBDoc>();
    auto* embedded = new kestrun::testing::CCountingView;
    ASSERT_TRUE(embedded->Create(nullptr, "Video", WS_CHILD | WS_VISIBLE, CRect(0, 0, 20, 20), m_main, 1));
    formDoc->SetEmbeddedView(embedded);
    ASSERT_TRUE(formDoc->LoadObjectData(WriteObjects("objects.xml", {"A"}), FALSE));
    const LPARAM announced = reinterpret_cast<LPARAM>(formDoc.get());
    formDoc.reset();
    EXPECT_EQ(CResultListDoc::s_destroyed, 1);
    EXPECT_EQ(m_main->m_deletedDocuments, std::vector<LPARAM>({announced}));
    embedded->DestroyWindow();

    // An image window's document leaves its table open.
    auto plainDoc = std::make_unique<CDIBDoc>();
    ASSERT_TRUE(plainDoc->LoadObjectData(PathOf("objects.xml"), FALSE));
    CDocument* table = plainDoc->GetResultDoc();
    plainDoc.reset();
    EXPECT_EQ(CResultListDoc::s_destroyed, 1);
    EXPECT_EQ(m_templates.GetTemplate(CSRC::kObjTemplate)->Documents().front(), table);
}

TEST_F(ResultDocTest, ADocumentThatGoesAwayIsForgotten)
{
    CDIBDoc* doc = NewImageDocument();
    ASSERT_TRUE(doc->LoadObjectData(WriteObjects("objects.xml", {"A"}), FALSE));
    CDocument* table = doc->GetResultDoc();
    doc->m_pProfileChart = table;
    doc->ReleaseDocument(table);
    EXPECT_EQ(doc->GetResultDoc(), nullptr);
    EXPECT_EQ(doc->m_pProfileChart, nullptr);
    table->OnCloseDocument();
    // A new load binds a new table.
    ASSERT_TRUE(doc->LoadObjectData(PathOf("objects.xml"), FALSE));
    EXPECT_NE(doc->GetResultDoc(), nullptr);
}

TEST(TemplateHolderTest, DeletesOnlyTheTemplatesItOwns)
{
    struct CCountedTemplate : CMultiDocTemplate
    {
        explicit CCountedTemplate(int& deleted) : CMultiDocTemplate(0, nullptr, nullptr, nullptr), m_deleted(deleted) {}
        ~CCountedTemplate() override { ++m_deleted; }
        int& m_deleted;
    };
    int deleted = 0;
    auto kept = std::make_unique<CCountedTemplate>(deleted);
    {
        CSRC holder;
        holder.SetTemplate(CSRC::kGridTemplate, new CCountedTemplate(deleted));
        holder.SetTemplate(CSRC::kObjTemplate, kept.get(), FALSE);
        holder.SetTemplate(CSRC::kTextTemplate, new CCountedTemplate(deleted));
        // Replacing an owned template deletes it.
        holder.SetTemplate(CSRC::kTextTemplate, new CCountedTemplate(deleted));
        EXPECT_EQ(deleted, 1);
        EXPECT_EQ(holder.GetTemplate(CSRC::kObjTemplate), kept.get());
        EXPECT_EQ(holder.GetTemplate(6), nullptr);
        EXPECT_EQ(holder.GetTemplate(0), nullptr);
        EXPECT_EQ(holder.GetTemplate(8), nullptr);
        EXPECT_THROW(holder.SetTemplate(8, nullptr), CInvalidArgException);
    }
    EXPECT_EQ(deleted, 3);
}

} // namespace
