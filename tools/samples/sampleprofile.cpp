#include "tools/samples/sampleprofile.h"

#include "app/profilelist.h"

#include "analysis/aoidoc.h"
#include "analysis/bv.h"
#include "analysis/bvprofilelist.h"
#include "analysis/objdata.h"
#include "analysis/objectfilter.h"
#include "analysis/resultdocument.h"
#include "objectmodel/toolfunctions.h"
#include "outside/pixmere/dib.h"
#include "platform/core/exceptions.h"

#include <memory>

namespace kestrun::samples {

namespace {


// Agar, wall, grid lines and unstained cells are green above 165; colonies
// and stained cells stay well below 150 even in their highlights. Red and
// blue only keep out the white of the marks.
constexpr COLORREF kThreshold = RGB(240, 150, 240);
// Specks of noise are no colonies.
constexpr float kSmallestArea = 40.0f;
// A record belongs to a colony whose centre lies this close to its centroid.
constexpr double kCentreTolerance = 3.0;

// What the classes learn, as the learn dialog offers it.
struct sLearnedFeature
{
    const char* name;
    int code;
};
constexpr sLearnedFeature kFeatures[] = {{"Area", 1}, {"Color Red", 32}, {"Color Blue", 128}};

double FeatureValue(const CObjData& record, int code)
{
    switch (code) {
    case 1:
        return record.GetArea();
    case 32:
        return GetRValue(record.GetMeanColor());
    default:
        return GetBValue(record.GetMeanColor());
    }
}

} // namespace

CSampleProfile::CSampleProfile(const CSamplePlate& plate, const cv::Mat& picture)
    : m_settings(MakeSettings()), m_area(MakeArea(plate))
{
    Learn(plate, picture);
}

CBVSettings CSampleProfile::MakeSettings()
{
    CBVSettings settings;
    settings.m_SegThres = CSegThres(kThreshold, RGB(255, 255, 255), CSegThres::modeDark);
    CFormThres& form = settings.m_FormThres;
    // The classes read the mean colour, so it is measured.
    form.m_Type |= featureColors;
    form.GetObjectFilterMin().SetFeatureFlag(featureArea, 1);
    form.GetObjectFilterMin().SetArea(kSmallestArea);
    // An object cut by the area's edge is not counted.
    form.m_ObjectFilter.SetFlagBit(featureBorderContact, 1);
    // Touching colonies are cut apart and counted one by one.
    settings.m_ObjectFilter.m_ConCutType = CObjectFilter::conCutConvexDefects;
    settings.m_ObjectFilter.m_ConCutThres = 2.0F;
    return settings;
}

CAOIEllipse CSampleProfile::MakeArea(const CSamplePlate& plate)
{
    CAOIEllipse area;
    const cv::Point centre = plate.GetDishCentre();
    const int radius = plate.GetSearchRadius();
    area.SetCenterAndRadii(centre.x, centre.y, radius, radius);
    return area;
}

void CSampleProfile::Learn(const CSamplePlate& plate, const cv::Mat& picture)
{
    for (const char* name : {"Red colony", "Blue colony"}) {
        m_classes.AddClass(name);
        CVectorNormal& added = m_classes[m_classes.GetCount() - 1];
        for (const sLearnedFeature& feature : kFeatures)
            added.AddFeature(feature.name, feature.code, 0.0, 1.0);
        added.ResetFeatures();
    }
    // Marks in colours the colonies do not have.
    m_classes[kRedClass - 1].m_Color = RGB(0, 220, 0);
    m_classes[kBlueClass - 1].m_Color = RGB(255, 255, 0);

    CBV engine;
    engine.GetSettings().AssignAll(m_settings);
    CDIB page;
    page.AssignMat(picture);
    CAOIEllipse area(m_area);
    CResultObjectList records;
    engine.Analyse(&page, &area, &records, 0);

    // Touching colonies are left out: their joined outline is no colony's.
    int learned[2] = {0, 0};
    for (int i = 0; i < records.GetObjectCount(); ++i) {
        const auto* record = dynamic_cast<const CObjData*>(records.GetObjectAt(i));
        if (record == nullptr || record->m_Link != 0)
            continue;
        const CPoint centroid = record->GetCentroid();
        const sColony* colony = plate.FindColonyAt(cv::Point2d(centroid.x, centroid.y), kCentreTolerance);
        if (colony == nullptr || colony->partner >= 0)
            continue;
        CVectorNormal& learning = m_classes[colony->kind - 1];
        for (int f = 0; f < learning.GetFeatureCount(); ++f)
            learning.AddSample(FeatureValue(*record, kFeatures[f].code), f);
        ++learned[colony->kind - 1];
    }
    if (learned[0] == 0 || learned[1] == 0)
        AfxThrowNotSupportedException();
}

void CSampleProfile::Write(const CString& root) const
{
    const CString folder = AddTrailingBackslash(root);
    WriteAnalysisProfile(folder);
    WriteArea(folder);
    CClasses classes(m_classes);
    classes.SaveFile(folder + kClassesFile);
    WriteProfileList(folder);
}

void CSampleProfile::WriteAnalysisProfile(const CString& root) const
{
    CBVProfileList profiles;
    profiles.InitProfileFile(root);
    profiles.AssignAll(m_settings);
    profiles.Store(kName);
    // The list has told the user why already.
    if (!profiles.SerializeFile(false))
        AfxThrowFileException(CFileException::genericException, -1, profiles.GetFilePath());
}

void CSampleProfile::WriteArea(const CString& root) const
{
    CAOIDoc areas;
    areas.SetImageSize(CSamplePlate::kWidth, CSamplePlate::kHeight, true);
    std::unique_ptr<CAOI> area = std::make_unique<CAOIEllipse>(m_area);
    if (areas.AddAOI(area) != 1)
        AfxThrowInvalidArgException();
    areas.SaveAOIFile(root + kAreaFile);
}

void CSampleProfile::WriteProfileList(const CString& root) const
{
    CProfileList list;
    list.SetLocation(root);
    list.m_strBVProfile = kName;
    list.m_strROIProfile = kAreaFile;
    list.m_strClassesProfile = kClassesFile;
    list.Store(kName);
    list.SerializeFile(false);
}

} // namespace kestrun::samples
