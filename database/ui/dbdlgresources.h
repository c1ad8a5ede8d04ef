#pragma once
// Dialog templates of the database forms, registered on first use.
#include "platform/core/types.h"

namespace kestrun::dbui {

inline constexpr UINT IDD_CORRECTION = 206;
inline constexpr UINT IDD_DBSEARCHOPT = 237;
// The seven factor edits, 60 ml to 120 ml.
inline constexpr UINT IDC_FACTOR60 = 2124;
inline constexpr UINT IDC_BARCODE = 2336;

void RegisterDatabaseDialogs();

} // namespace kestrun::dbui
