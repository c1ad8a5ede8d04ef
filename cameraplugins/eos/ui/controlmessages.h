#pragma once
// The messages the camera control dialog and its controls post to
// themselves, so that the model's notices are handled on the dialog's
// thread.

#include "platform/core/types.h"

inline constexpr UINT kMsgPropertyChanged = 0x8001;
inline constexpr UINT kMsgPropertyDescChanged = 0x8002;
// The dialog's own: the download ended, its progress, the firmware text.
inline constexpr UINT kMsgDownloadComplete = 0x8001;
inline constexpr UINT kMsgProgressReport = 0x8002;
inline constexpr UINT kMsgFirmware = 0x8003;
