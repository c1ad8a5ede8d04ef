#include "cameraplugins/eos/propertytables.h"

namespace {

constexpr EdsUInt32 kUnknown = 0xFFFFFFFF;
// Seconds, as the camera shows them.
#define SEC "\u2033"

CPropertyTable WithUnknown(CPropertyTable table)
{
    table.emplace(kUnknown, "unknown");
    return table;
}

} // namespace

const CPropertyTable& AEModeTable()
{
    static const CPropertyTable table = WithUnknown({
        {0, "P"}, {1, "Tv"}, {2, "Av"}, {3, "M"}, {4, "Bulb"}, {5, "A-DEP"}, {6, "DEP"}, {7, "C"}, {8, "Lock"},
        {9, "GreenMode"}, {10, "Night Portrait"}, {11, "Sports"}, {12, "Portrait"}, {13, "LandScape"},
        {14, "Close Up"}, {15, "No Strobo"}, {19, "Creative Auto"},
    });
    return table;
}

const CPropertyTable& IsoTable()
{
    static const CPropertyTable table = WithUnknown({
        {0x00, "Auto"}, {0x28, "6"},    {0x30, "12"},   {0x38, "25"},    {0x40, "50"},    {0x48, "100"},
        {0x4B, "125"},  {0x4D, "160"},  {0x50, "200"},  {0x53, "250"},   {0x55, "320"},   {0x58, "400"},
        {0x5B, "500"},  {0x5D, "640"},  {0x60, "800"},  {0x63, "1000"},  {0x65, "1250"},  {0x68, "1600"},
        {0x70, "3200"}, {0x78, "6400"}, {0x80, "12800"}, {0x88, "25600"},
    });
    return table;
}

const CPropertyTable& MeteringModeTable()
{
    static const CPropertyTable table =
        WithUnknown({{1, "Spot"}, {3, "Evaluative"}, {4, "Partial"}, {5, "Center-Weighted Average"}});
    return table;
}

const CPropertyTable& ExposureCompTable()
{
    static const CPropertyTable table = WithUnknown({
        {0x18, "+3"},     {0x15, "+2 2/3"}, {0x14, "+2 1/2"}, {0x13, "+2 1/3"}, {0x10, "+2"},
        {0x0D, "+1 2/3"}, {0x0C, "+1 1/2"}, {0x0B, "+1 1/3"}, {0x08, "+1"},     {0x05, "+2/3"},
        {0x04, "+1/2"},   {0x03, "+1/3"},   {0x00, "0"},      {0xFD, "-1/3"},   {0xFC, "-1/2"},
        {0xFB, "-2/3"},   {0xF8, "-1"},     {0xF5, "-1 1/3"}, {0xF4, "-1 1/2"}, {0xF3, "-1 2/3"},
        {0xF0, "-2"},     {0xED, "-2 1/3"}, {0xEC, "-2 1/2"}, {0xEB, "-2 2/3"}, {0xE8, "-3"},
    });
    return table;
}

const CPropertyTable& EvfAFModeTable()
{
    static const CPropertyTable table =
        WithUnknown({{0, "Quick mode"}, {1, "Live mode"}, {2, "Live face detection mode"}});
    return table;
}

const CPropertyTable& AvTable()
{
    static const CPropertyTable table = WithUnknown({
        {0x00, "00"}, {0x08, "1"},   {0x0B, "1.1"}, {0x0C, "1.2"}, {0x0D, "1.2"}, {0x10, "1.4"}, {0x13, "1.6"},
        {0x14, "1.8"}, {0x15, "1.8"}, {0x18, "2"},  {0x1B, "2.2"}, {0x1C, "2.5"}, {0x1D, "2.5"}, {0x20, "2.8"},
        {0x23, "3.2"}, {0x24, "3.5"}, {0x25, "3.5"}, {0x28, "4"},  {0x2B, "4.5"}, {0x2C, "4.5"}, {0x2D, "5.0"},
        {0x30, "5.6"}, {0x33, "6.3"}, {0x34, "6.7"}, {0x35, "7.1"}, {0x38, "8"},  {0x3B, "9"},   {0x3C, "9.5"},
        {0x3D, "10"}, {0x40, "11"},  {0x43, "13"},  {0x44, "13"},  {0x45, "14"},  {0x48, "16"},  {0x4B, "18"},
        {0x4C, "19"}, {0x4D, "20"},  {0x50, "22"},  {0x53, "25"},  {0x54, "27"},  {0x55, "29"},  {0x58, "32"},
        {0x5B, "36"}, {0x5C, "38"},  {0x5D, "40"},  {0x60, "45"},  {0x63, "51"},  {0x64, "54"},  {0x65, "57"},
        {0x68, "64"}, {0x6B, "72"},  {0x6C, "76"},  {0x6D, "80"},  {0x70, "91"},
    });
    return table;
}

const CPropertyTable& TvTable()
{
    static const CPropertyTable table = WithUnknown({
        {0x0C, "Bulb"},     {0x10, "30" SEC},   {0x13, "25" SEC},   {0x14, "20" SEC},   {0x15, "20" SEC},
        {0x18, "15" SEC},   {0x1B, "13" SEC},   {0x1C, "10" SEC},   {0x1D, "10" SEC},   {0x20, "8" SEC},
        {0x23, "6" SEC},    {0x24, "6" SEC},    {0x25, "5" SEC},    {0x28, "4" SEC},    {0x2B, "3" SEC "2"},
        {0x2C, "3" SEC},    {0x2D, "2" SEC "5"}, {0x30, "2" SEC},   {0x33, "1" SEC "6"}, {0x34, "1" SEC "5"},
        {0x35, "1" SEC "3"}, {0x38, "1" SEC},   {0x3B, "0" SEC "8"}, {0x3C, "0" SEC "7"}, {0x3D, "0" SEC "6"},
        {0x40, "0" SEC "5"}, {0x43, "0" SEC "4"}, {0x44, "0" SEC "3"}, {0x45, "0" SEC "3"}, {0x48, "4"},
        {0x4B, "5"},        {0x4C, "6"},        {0x4D, "6"},        {0x50, "8"},        {0x53, "10"},
        {0x54, "10"},       {0x55, "13"},       {0x58, "15"},       {0x5B, "20"},       {0x5C, "20"},
        {0x5D, "25"},       {0x60, "30"},       {0x63, "40"},       {0x64, "45"},       {0x65, "50"},
        {0x68, "60"},       {0x6B, "80"},       {0x6C, "90"},       {0x6D, "100"},      {0x70, "125"},
        {0x73, "160"},      {0x74, "180"},      {0x75, "200"},      {0x78, "250"},      {0x7B, "320"},
        {0x7C, "350"},      {0x7D, "400"},      {0x80, "500"},      {0x83, "640"},      {0x84, "750"},
        {0x85, "800"},      {0x88, "1000"},     {0x8B, "1250"},     {0x8C, "1500"},     {0x8D, "1600"},
        {0x90, "2000"},     {0x93, "2500"},     {0x94, "3000"},     {0x95, "3200"},     {0x98, "4000"},
        {0x9B, "5000"},     {0x9C, "6000"},     {0x9D, "6400"},     {0xA0, "8000"},
    });
    return table;
}

const CPropertyTable& ImageQualityTable()
{
    static const CPropertyTable table = [] {
        CPropertyTable t = {
            {0x640F0F, "RAW"},
            {0x2640F0F, "Small RAW"},
            {0x1640F0F, "Small RAW1"},
            {0x240000, "RAW"},
            {0x2F000F, "RAW"},
            {0x130F0F, "Large Fine Jpeg"},
            {0x130000, "Large Fine Jpeg"},
            {0x1130F0F, "Middle Fine Jpeg"},
            {0x1130000, "Middle Fine Jpeg"},
            {0x2130F0F, "Small Fine Jpeg"},
            {0x2130000, "Small Fine Jpeg"},
            {0x120F0F, "Large Normal Jpeg"},
            {0x120000, "Large Normal Jpeg"},
            {0x1120F0F, "Middle Normal Jpeg"},
            {0x1120000, "Middle Normal Jpeg"},
            {0x2120F0F, "Small Normal Jpeg"},
            {0x2120000, "Small Normal Jpeg"},
            {0x100F0F, "Large Jpeg"},
            {0x1F000F, "Large Jpeg"},
            {0x5100F0F, "Middle1 Jpeg"},
            {0x51F000F, "Middle1 Jpeg"},
            {0x6100F0F, "Middle2 Jpeg"},
            {0x61F000F, "Middle2 Jpeg"},
            {0x2100F0F, "Small Jpeg"},
            {0x21F000F, "Small Jpeg"},
            {0x640010, "RAW + Large Jpeg"},
            {0x640510, "RAW + Middle1 Jpeg"},
            {0x640610, "RAW + Middle2 Jpeg"},
            {0x640210, "RAW + Small Jpeg"},
            {0x2F001F, "RAW + Large Jpeg"},
            {0x2F051F, "RAW + Middle1 Jpeg"},
            {0x2F061F, "RAW + Middle2 Jpeg"},
            {0x2F021F, "RAW + Small Jpeg"},
            {0x2640010, "Small RAW + Large Jpeg"},
            {0x2640510, "Small RAW + Middle1 Jpeg"},
            {0x2640610, "Small RAW + Middle2 Jpeg"},
            {0x2640210, "Small RAW + Small Jpeg"},
        };
        // RAW plus a fine or normal JPEG of three sizes: the prefix's base
        // code with the size in bits 8..11 and the quality in the low byte.
        const struct
        {
            EdsUInt32 base;
            const char* prefix;
        } raws[] = {{0x640000, "RAW + "}, {0x240000, "RAW + "}, {0x2640000, "Small RAW + "},
                    {0x1640000, "Small RAW1 + "}};
        const struct
        {
            EdsUInt32 code;
            const char* text;
        } jpegs[] = {{0x0013, "Large Fine Jpeg"},   {0x0113, "Middle Fine Jpeg"},   {0x0213, "Small Fine Jpeg"},
                     {0x0012, "Large Normal Jpeg"}, {0x0112, "Middle Normal Jpeg"}, {0x0212, "Small Normal Jpeg"}};
        for (const auto& raw : raws) {
            for (const auto& jpeg : jpegs)
                t.emplace(raw.base | jpeg.code, std::string(raw.prefix) + jpeg.text);
        }
        return WithUnknown(std::move(t));
    }();
    return table;
}
