#pragma once
// Names and texts of tray-scan records: the sample barcode inside image and
// data names, the date at the start of a data name, and the search for a
// record by its data name.
#include "platform/core/cstring.h"
#include "platform/core/variant.h"
#include "platform/database/ado.h"

#include <vector>

namespace kestrun::tray {

// From character 16 up to the first dot; a name whose length less 4 is
// below 16 from its start; without a dot up to one before its end.
CString GetBarCodeFromName(const CString& name);

// The "Barcode:" field: characters 16 to length-4 of a data name longer
// than 20 characters, else empty.
CString BarcodeField(const CString& dataName);

// "YYYYMMDD?hhmmss..." as a date number; 0 for a name of 8 characters or
// fewer and for parts that make no valid date and time.
DATE ImportDateFromName(const CString& dataName);

// Tray and batch a record's areas of interest belong to: tray "72" and
// batch 1 for a Messtag below 72; a GlasNr outside 1..4 is batch 1.
struct CTrayBatch
{
    CString strTray;
    int nBatch = 1;
};
CTrayBatch TrayBatchOfRecord(int nMesstag, int nGlasNr);
// "<tray>_<batch>.AOI".
CString AoiFileName(const CString& strTray, int nBatch);

// The position letter of a record's area index and batch: "L" for area 0,
// "R" for area 2 and for area 1 with batch 2, "M" for area 1 with batch 3;
// empty for any other pair.
CString PositionLetter(int nFuellstand, int nGlasNr);

// The files of an import folder to take, in list order: those ending
// exactly in ".xml", or when there are none those ending in ".jpg".
std::vector<CString> ImportCandidates(const std::vector<CString>& names);

// Moves to the first record whose DataName holds the text as it stands
// (no wildcards); an empty text looks for a blank. Not found: the first
// record. Returns whether one was found.
bool FindDataName(const _RecordsetPtr& rs, const CString& text);

} // namespace kestrun::tray
