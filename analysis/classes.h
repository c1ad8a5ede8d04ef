#pragma once
// CClasses: the learned classes of an analysis profile, in list order. They
// live in the class file of the profile (profile name + ".classes"), in the
// class library's byte archive form by default:
//   CClasses class record (schema 4), class count (32-bit), then per class
//   the CVectorNormal record (CVectorNormal::SerializeBinary).
// Through an XML archive the list serialises in its XML form instead.

#include "analysis/baseclasses.h"
#include "analysis/vectornormal.h"

class CClasses : public CBaseClasses<CVectorNormal>
{
    DECLARE_SERIAL(CClasses)

public:
    // Class file formats of SaveFile.
    enum Format
    {
        formatBinary = 0,
        formatXML = 1,
    };
    // The feature type that classifies a colour by its three channels.
    static constexpr int colorFeatureType = 224;

    CClasses() = default;
    CClasses(const CClasses& other) = default;
    CClasses& operator=(const CClasses& other) = default;
    ~CClasses() override = default;

    // Byte archive: the class file form (loading replaces the list only
    // when the whole list was read). XML archive: the XML form.
    void Serialize(CArchive& ar) override;

    virtual int GetCount() const { return static_cast<int>(GetSize()); }
    virtual int GetState() const { return 0; }
    virtual int GetLastIndex() const { return GetCount() - 1; }
    // False when a class of that name exists; else appends a class with the
    // default colour, no features and the id max(count + 1, largest id + 1).
    virtual bool AddClass(const CString& name);
    virtual void SerializeElement(CArchive& ar, CVectorNormal& element);
    // Writes the class file through a temporary file renamed over the path:
    // the old file stays when writing fails, and the failure is raised
    // (CFileException, CArchiveException).
    virtual void SaveFile(const CString& path, int format = formatBinary);
    // Reads the class file (binary or XML, by its content) in place of the
    // list; a missing file empties the list. Returns true. An empty or
    // damaged file, or an XML file of another kind, raises the archive's
    // exception and one that cannot be opened the file's; the list then
    // stays as it was.
    virtual bool LoadFile(const CString& path);

    // The id of the nearest class for a single feature value, 0 when no
    // class lies within distance 1.0. Type colorFeatureType reads the value
    // as a colour word and averages the distances of the class's colour
    // channel features (types 32, 64, 128). The later class wins a tie.
    int ClassifyValue(double value, int type) const;

    // The class chosen in the learn dialogs; -1: none.
    int m_nSelected = -1;

private:
    void ReadBinary(CArchive& ar);
};
