#pragma once
// Template and control ids of the class, counting and information windows,
// and the call that registers their layouts (made by
// RegisterAnalysisDialogs).

#include "platform/ui/windefs.h"

namespace kestrun::analysisui {

enum : UINT
{
    IDD_INFO_LEARN_CLASS = 425,
    IDD_INFO_LEARN_THRES = 429,
    IDD_INFO_MANUAL_COUNT = 430,
    IDD_INFO = 464,
};

enum : UINT
{
    // classes
    IDC_CLASS_FEATURES = 2510,
    IDC_CLASS_ADD = 2541,
    IDC_CLASS_DELETE = 2542,
    IDC_CLASS_RESET = 2671,
    IDC_CLASS_MODIFY = 2674,
    IDC_CLASS_HELP = 2734,
    IDC_CLASS_NAME = 2741,
    IDC_CLASS_INDEX = 2753,
    IDC_CLASS_COLOR = 2761,
    IDC_CLASS_LEARN = 2971,
    IDC_CLASS_PROMPT = 2972,
    IDC_CLASS_INCLUDED = 33116,
    IDC_CLASS_AVAILABLE = 33117,
    IDC_CLASS_INCLUDE = 33118, // "---->"
    IDC_CLASS_EXCLUDE = 33119, // "<----"
    // manual count
    IDC_COUNT_VALUE = 2693,
    IDC_COUNT_REMOVE = 2694,
    // information window
    IDC_INFO_TEXT = 2918,
};

// The command the class window sends its owner when a class was added.
inline constexpr UINT ID_CLASS_ADDED = 33115;

void RegisterInfoDialogs();

} // namespace kestrun::analysisui
