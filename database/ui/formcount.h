#pragma once
// What the counts of both database forms share: their messages, the object
// models a record's count takes, the result document a form writes into its
// record, and the storing of a new record.
#include "platform/core/types.h"
#include "platform/database/ado.h"

class CDataDoc;
class CDIBDocEx;

namespace kestrun::dbui {

inline constexpr const char* kNoDatasetText = "No dataset available!\nPlease create a new dataset first!";
inline constexpr const char* kNoImageText = "No image available - Load an image first!";
inline constexpr const char* kWrongModelText =
    "You have not activated the appropriate options for this measurement!\nPlease activate parameter \"Contour\" "
    "or \"Ellipse Fit\" in menu Options \\ Form Parameters \\ Parameter and Model.";

// The engine measures contours, ellipses or skeletons (true without an
// engine: the contour model is the default).
bool CountModelFits();
// The table of the form's own image when lParam names it, else null: other
// images' tables change too, and are no part of the record.
CDataDoc* OwnResultDocument(const CDIBDocEx* imageDoc, LPARAM lParam);
// Stores the record being added and names its image after the key the
// database gave it ("<ID>.jpg"), so the name belongs to this record whatever
// order the series comes back in; returns the key. Raises _com_error.
int StoreNewRecord(const _RecordsetPtr& rs);

} // namespace kestrun::dbui
