#pragma once
// CSampleProfile: the prepared profile "Samples" for the sample pictures -
// a colour threshold that takes the colonies (and the stained cells) and
// leaves agar, dish wall, chamber grid and unstained cells out; the dish's
// inside as the area of interest; and two classes, "Red colony" and "Blue
// colony", learned by counting the sample plate with the engine and
// teaching each class the area and mean colour of the colonies the plate
// says are of its kind.
//
// It writes the files the application selects a profile from: the
// engine's "bv.xml", "Samples.AOI", "Samples.classes" and the profile list
// "kestrun.xml" with "Samples" as its current profile.

#include "tools/samples/sampleplate.h"

#include "analysis/aoi.h"
#include "analysis/bvsettings.h"
#include "analysis/classes.h"

namespace kestrun::samples {

class CSampleProfile
{
public:
    static constexpr const char* kName = "Samples";
    static constexpr const char* kAreaFile = "Samples.AOI";
    static constexpr const char* kClassesFile = "Samples.classes";
    // The class ids are the plate's colony kinds.
    static constexpr int kRedClass = CSamplePlate::kKindRed;
    static constexpr int kBlueClass = CSamplePlate::kKindBlue;

    // Settings and area for the plate; the classes are learned from its
    // picture. CNotSupportedException when a kind has no colony to learn
    // from (a threshold that misses the colonies).
    CSampleProfile(const CSamplePlate& plate, const cv::Mat& picture);

    const CBVSettings& GetSettings() const { return m_settings; }
    const CAOIEllipse& GetArea() const { return m_area; }
    const CClasses& GetClasses() const { return m_classes; }

    // The four files into the data root (with or without a final '/').
    // Each is written through a temporary file; the profile list comes
    // last, so that it never names a part that is missing. A file that
    // cannot be written raises CFileException or CArchiveException.
    void Write(const CString& root) const;

private:
    static CBVSettings MakeSettings();
    static CAOIEllipse MakeArea(const CSamplePlate& plate);
    void Learn(const CSamplePlate& plate, const cv::Mat& picture);

    void WriteAnalysisProfile(const CString& root) const;
    void WriteArea(const CString& root) const;
    void WriteProfileList(const CString& root) const;

    CBVSettings m_settings;
    CAOIEllipse m_area;
    CClasses m_classes;
};

} // namespace kestrun::samples
