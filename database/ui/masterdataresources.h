#pragma once
// Templates and control ids of the master-data dialogs: the series, the
// one-field entry and the new series.
#include "platform/core/types.h"

namespace kestrun::dbui {

inline constexpr UINT IDD_DBPROBEN = 207;
inline constexpr UINT IDD_NEUEPROBE = 211;
inline constexpr UINT IDD_NEUEMESSREIHE = 212;
inline constexpr UINT IDD_DBVERD = 213;
inline constexpr UINT IDD_DBNEWENTRY = 214;
inline constexpr UINT IDD_NEUEVERDSTUFE = 215;
inline constexpr UINT IDD_DBMESSREIHEN = 221;
inline constexpr UINT IDD_DBMESSREIHEN1 = 222;

inline constexpr UINT IDC_SAMPLE_ADD = 2136;
inline constexpr UINT IDC_SAMPLE_INSERT = 2137;
inline constexpr UINT IDC_SAMPLE_DELETE = 2140;
inline constexpr UINT IDC_SERIES_COMBO = 2141;
inline constexpr UINT IDC_SERIES_GROUP = 2142;
inline constexpr UINT IDC_SAMPLE_LIST = 2154;
inline constexpr UINT IDC_NEW_SERIES_NAME = 2170;
inline constexpr UINT IDC_SAMPLE_SITE = 2190;
inline constexpr UINT IDC_SAMPLE_NUMBER = 2191;
inline constexpr UINT IDC_SAMPLE_DATE = 2192;
inline constexpr UINT IDC_SAMPLE_PH = 2193;
inline constexpr UINT IDC_SAMPLE_CONDUCTIVITY = 2194;
inline constexpr UINT IDC_SAMPLE_COLOUR = 2195;
inline constexpr UINT IDC_SAMPLE_EDIT = 2199;
inline constexpr UINT IDC_SAMPLE_COMMENT = 2200;
inline constexpr UINT IDC_DILUTION_TEXT = 2201;
inline constexpr UINT IDC_GLASSTYPE_TEXT = 2202;
inline constexpr UINT IDC_DILUTION_COMBO = 2204;
inline constexpr UINT IDC_GLASSTYPE_COMBO = 2205;
inline constexpr UINT IDC_DILUTION_LIST = 2208;
inline constexpr UINT IDC_STEP_LIST = 2209;
inline constexpr UINT IDC_DILUTION_ADD = 2210;
inline constexpr UINT IDC_DILUTION_DELETE = 2211;
inline constexpr UINT IDC_STEP_ADD = 2212;
inline constexpr UINT IDC_STEP_DELETE = 2213;
// The new-step dialog's fields reuse numbers of the dilution dialog.
inline constexpr UINT IDC_STEP_TEXT = 2209;
inline constexpr UINT IDC_STEP_GLASSNR = 2212;
inline constexpr UINT IDC_STEP_ORDER = 2213;
inline constexpr UINT IDC_SERIES_POSITION = 2215;
inline constexpr UINT IDC_NEW_SERIES = 2246;
inline constexpr UINT IDC_NEW_ENTRY_TEXT = 2318;
inline constexpr UINT IDC_SERIES_POSITION1 = 2332;
inline constexpr UINT IDC_SAMPLE_COMBO = 2338;
inline constexpr UINT IDC_SERIES_ADD = 2541;
inline constexpr UINT IDC_SERIES_DELETE = 2542;
inline constexpr UINT IDC_SERIES_MODIFY = 2674;

void RegisterMasterDataDialogs();

} // namespace kestrun::dbui
