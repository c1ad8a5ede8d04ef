#include "cameraplugins/powershot/modesetting.h"

namespace kestrun::pavick {

namespace {

constexpr char kInvalid[] = "Invalid or the setting is not changed";

constexpr CModeText kExposureModes[] = {{1, "P"}, {4, "Mv"}};

constexpr CModeText kWhiteBalances[] = {
    {1, "Daylight"},
    {2, "Cloudy"},
    {3, "Tungsten"},
    {4, "Fluorescent"},
    {6, "Preset"},
    {7, "Fluorescent H"},
    {9, "Color Temperature"},
    {10, "Custom White Balance PC-1"},
    {11, "Custom White Balance PC-2"},
    {12, "Custom White Balance PC-3"},
    {13, "Missing number"},
    {14, "Fluorescent H"},
    {255, "Invalid or the setting is not changed."},
};

constexpr CModeText kIsos[] = {
    {0x00, "Auto"}, {0x28, "6"},   {0x30, "12"},  {0x38, "25"},   {0x40, "50"},   {0x43, "64"},  {0x48, "100"},
    {0x50, "200"},  {0x58, "400"}, {0x60, "800"}, {0x68, "1600"}, {0x70, "3200"}, {0x78, "6400"},
};

constexpr CModeText kCompensations[] = {
    {0x00, "+3"},       {0x03, "+2 (2/3)"}, {0x04, "+2 (1/2)"}, {0x05, "+2 (1/3)"}, {0x08, "+2"},
    {0x0B, "+1 (2/3)"}, {0x0C, "+1 (1/2)"}, {0x0D, "+1 (1/3)"}, {0x10, "+1"},       {0x13, "+2/3"},
    {0x14, "+1/2"},     {0x15, "+1/3"},     {0x1B, "-1/3"},     {0x1C, "-1/2"},     {0x1D, "-2/3"},
    {0x20, "-1"},       {0x23, "-1 (1/3)"}, {0x24, "-1 (1/2)"}, {0x25, "-1 (2/3)"}, {0x28, "-2"},
    {0x2B, "-2 (1/3)"}, {0x2C, "-2 (1/2)"}, {0x2D, "-2 (2/3)"}, {0x30, "-3"},
};

constexpr CModeText kMeterings[] = {
    {0, "Center-weighted Metering"},
    {1, "Spot Metering"},
    {2, "Average Metering"},
    {3, "Evaluative Metering"},
    {4, "Partial Metering"},
    {5, "Center-weighted Average Metering"},
    {6, "Spot Metering Interlocked with AF Frame"},
    {7, "Multi-Spot Metering"},
};

constexpr CModeText kAFFields[] = {
    {0x1000, "Focusing Point on Center Only, Manual"},
    {0x1001, "Focusing Point on Center Only, Auto"},
    {0x3000, "Multiple Focusing Points (No Specification), Manual"},
    {0x3001, "Multiple Focusing Points, Auto"},
    {0x3002, "Multiple Focusing Points (Right)"},
    {0x3003, "Multiple Focusing Points (Center)"},
    {0x3004, "Multiple Focusing Points (Left)"},
};

constexpr CModeText kStrobes[] = {
    {1, "Auto"},
    {2, "On"},
    {3, "Red Eye Suppression"},
    {4, "Low-speed Synchronization"},
    {5, "Auto + Red Eye Suppression"},
    {6, "On + Red Eye Suppression"},
};

} // namespace

const CModeProperty kExposureModeProperty{0xD00C, 1, kExposureModes, nullptr};
const CModeProperty kWhiteBalanceProperty{0xD013, 1, kWhiteBalances, "Auto"};
const CModeProperty kIsoProperty{0xD01C, 2, kIsos, kInvalid};
const CModeProperty kExposureCompensationProperty{0xD01F, 1, kCompensations, "0"};
const CModeProperty kMeteringProperty{0xD010, 1, kMeterings, kInvalid};
const CModeProperty kAFFieldProperty{0xD012, 2, kAFFields, kInvalid};
const CModeProperty kStrobeProperty{0xD00A, 1, kStrobes, "Off"};

const char* ModeText(const CModeProperty& property, std::uint32_t nCode)
{
    for (const CModeText& text : property.texts) {
        if (text.nCode == nCode)
            return text.lpszText;
    }
    return property.lpszOther;
}

} // namespace kestrun::pavick
