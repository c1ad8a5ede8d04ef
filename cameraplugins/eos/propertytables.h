#pragma once
// The display texts of the camera's property codes, one table per property
// of the control dialog. Every table also maps 0xFFFFFFFF to "unknown".

#include "outside/edsdk/edsdk.h"

#include <map>
#include <string>

using CPropertyTable = std::map<EdsUInt32, std::string>;

const CPropertyTable& AEModeTable();
const CPropertyTable& TvTable();
const CPropertyTable& AvTable();
const CPropertyTable& IsoTable();
const CPropertyTable& MeteringModeTable();
const CPropertyTable& ExposureCompTable();
const CPropertyTable& ImageQualityTable();
const CPropertyTable& EvfAFModeTable();
