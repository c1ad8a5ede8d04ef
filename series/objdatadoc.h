#pragma once
// CObjDataDoc: the object table bound to an image document. Its records
// are the objects the engine measured; it is stored as an XML file, keeps
// what the image views draw of the objects and in which colours, finds the
// object under a point, and edits objects: split along a line, join two
// parts again, move a contour.
//
// Edits work on the contour (the record's polygon, else its chain code);
// objects read from a file have none and are left alone. After an edit the
// parts are measured again from their contours (area, form factor,
// centroid, rectangles, hull); the colour measures stay those of the
// traced object.

#include "objectmodel/rpointarray.h"
#include "series/griddoc2.h"

#include <vector>

class CBV;
class CObjData;
class CRPolygon;

class CObjDataDoc : public CGridDoc2
{
    DECLARE_DYNCREATE(CObjDataDoc)

public:
    static constexpr int kDrawColorCount = 5;

    // Reads the draw flags from "GridConfig.ini" ("SegObj", "ObjDraw").
    CObjDataDoc();
    ~CObjDataDoc() override;

    // ---- files ---------------------------------------------------------------
    // XML object tables. A file that cannot be read changes nothing; one
    // that is no object table leaves the table empty. Both are reported.
    BOOL OnOpenDocument(LPCTSTR lpszPathName) override;
    // Written through a temporary file; a failed save keeps the old file.
    BOOL OnSaveDocument(LPCTSTR lpszPathName) override;
    // Element "CObjDataDoc": "WhatToDraw", then the CGridDoc2 element.
    void Serialize(CArchive& ar) override;
    // The selection goes with the records.
    void DeleteContents() override;

    // Writes the draw flags back to "GridConfig.ini".
    void SaveDrawFlags();
    // The image document that owns the table hands over the chart template
    // (the histogram), the table template and the engine (whose settings
    // smooth the curvature profile). None is owned.
    void AttachSources(CMultiDocTemplate* pChartTemplate, CMultiDocTemplate* pTableTemplate, CBV* pEngine) override;

    // ---- objects under a point -------------------------------------------------
    // Among the objects whose rectangle holds the point the one with the
    // nearest centroid; else the first area object or contour segment whose
    // rectangle holds it; -1 for none. Selected records count too, so that
    // they can be shown again.
    int HitTestObject(CPoint point) const;
    // The selection becomes record nIndex when its contour holds the point,
    // else -1; a change is sent as "GridSelected" (wParam the selection,
    // lParam the document) to every window below the main window. Returns
    // the selection.
    int SetSelectedObject(CPoint point, int nIndex);
    int GetSelectedObject() const { return m_nSelected; }

    // ---- edits (objdatadocedit.cpp) --------------------------------------------------
    // Splits the current object where the line (its points joined by
    // straight pixel lines) first runs through it: the straight line
    // between the two contour points where it enters and leaves closes both
    // parts. The current record keeps the larger part; the other becomes a
    // new CObjDataII of the same class, appended. 1 when split; 0, and
    // nothing changed, when the table holds no objects or the line does not
    // cut the current object in two.
    int SplitObjectAt(const CRPointArray& cutLine);
    // Joins two objects that share a cut (the parts of a split, objects cut
    // by an area border) into the first; the second is deleted and the
    // first becomes the current record. 1 when joined, 0 and nothing
    // changed otherwise.
    int JoinObjects(int nFirst, int nSecond);
    // The current record with the selected one.
    int JoinObjects();
    // Moves the current object's contour point nearest to the point onto
    // it, joined to its neighbours by straight pixel lines. 1 when edited.
    int EditContour(CPoint point);

    // The area distribution of the objects as a histogram, or the current
    // object's curvature profile as a curve (tablecharts.cpp).
    void OnShowHistogram();
    // The current object in the watershed dialog.
    void OnShowWatershed();

    int m_nWhatToDraw = 71; // bits 0, 1, 2 and 6
    CArray<COLORREF, COLORREF> m_arrDrawColors;
    CRPointArray m_arrPoints;
    CPoint m_ptContourEnds[2]; // the ends of the contour tests
    int m_nSelected = -1;
    int m_nFlag = 0;
    CMultiDocTemplate* m_pTableTemplate = nullptr;     // not owned
    CBV* m_pEngine = nullptr;                          // not owned

protected:
    // The current record when it is an object; null otherwise.
    CObjData* GetCurrentObject() const;
    // The record's contour: its polygon, else the polygon of its chain
    // code; false when it has neither.
    static bool GetContour(const CObjData& object, CRPolygon& contour);
    // Measures the record again from the closed outline, which becomes its
    // polygon (with the cuts recorded on it).
    static void Remeasure(CObjData& object, const CRPolygon& outline);
    // Tells the views and the windows that the records changed.
    void RecordsChanged();

    // The curvature profile of the object's first hole, else of its
    // contour; false without a contour of three points.
    bool CurvatureOfObject(const CObjData& object, std::vector<float>& values);
    // A curvature profile as the curve "Curvature" over one turn.
    void ShowCurvatureChart(const std::vector<float>& values);

    void OnUpdateShowHistogram(CCmdUI* pCmdUI);

    DECLARE_MESSAGE_MAP()
};
