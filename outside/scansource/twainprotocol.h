#pragma once
// The acquisition protocol between the program and a source manager: the
// records, codes and entry that our image acquisition and our source manager
// share. Only what they use is here. Every request is a triplet (data group,
// data argument type, message) to the manager's one entry "DSM_Entry".

#include "platform/core/globalmem.h"
#include "platform/core/types.h"

#include <cstdint>
#include <cstring>

using TW_INT16 = std::int16_t;
using TW_UINT16 = std::uint16_t;
using TW_INT32 = std::int32_t;
using TW_UINT32 = std::uint32_t;
using TW_BOOL = std::uint16_t;
using TW_MEMREF = void*;
using TW_HANDLE = HGLOBAL;
using TW_STR32 = char[34];

// Data groups
inline constexpr TW_UINT32 DG_CONTROL = 0x0001;
inline constexpr TW_UINT32 DG_IMAGE = 0x0002;

// Data argument types
inline constexpr TW_UINT16 DAT_CAPABILITY = 0x0001;
inline constexpr TW_UINT16 DAT_EVENT = 0x0002;
inline constexpr TW_UINT16 DAT_IDENTITY = 0x0003;
inline constexpr TW_UINT16 DAT_PARENT = 0x0004;
inline constexpr TW_UINT16 DAT_PENDINGXFERS = 0x0005;
inline constexpr TW_UINT16 DAT_STATUS = 0x0008;
inline constexpr TW_UINT16 DAT_USERINTERFACE = 0x0009;
inline constexpr TW_UINT16 DAT_IMAGEINFO = 0x0101;
inline constexpr TW_UINT16 DAT_IMAGENATIVEXFER = 0x0104;

// Messages
inline constexpr TW_UINT16 MSG_NULL = 0x0000;
inline constexpr TW_UINT16 MSG_GET = 0x0001;
inline constexpr TW_UINT16 MSG_GETDEFAULT = 0x0003;
inline constexpr TW_UINT16 MSG_GETFIRST = 0x0004;
inline constexpr TW_UINT16 MSG_GETNEXT = 0x0005;
inline constexpr TW_UINT16 MSG_SET = 0x0006;
inline constexpr TW_UINT16 MSG_RESET = 0x0007;
inline constexpr TW_UINT16 MSG_XFERREADY = 0x0101;
inline constexpr TW_UINT16 MSG_CLOSEDSREQ = 0x0102;
inline constexpr TW_UINT16 MSG_OPENDSM = 0x0301;
inline constexpr TW_UINT16 MSG_CLOSEDSM = 0x0302;
inline constexpr TW_UINT16 MSG_OPENDS = 0x0401;
inline constexpr TW_UINT16 MSG_CLOSEDS = 0x0402;
inline constexpr TW_UINT16 MSG_USERSELECT = 0x0403;
inline constexpr TW_UINT16 MSG_DISABLEDS = 0x0501;
inline constexpr TW_UINT16 MSG_ENABLEDS = 0x0502;
inline constexpr TW_UINT16 MSG_PROCESSEVENT = 0x0601;
inline constexpr TW_UINT16 MSG_ENDXFER = 0x0701;

// Result codes
inline constexpr TW_UINT16 TWRC_SUCCESS = 0;
inline constexpr TW_UINT16 TWRC_FAILURE = 1;
inline constexpr TW_UINT16 TWRC_CHECKSTATUS = 2;
inline constexpr TW_UINT16 TWRC_CANCEL = 3;
inline constexpr TW_UINT16 TWRC_DSEVENT = 4;
inline constexpr TW_UINT16 TWRC_NOTDSEVENT = 5;
inline constexpr TW_UINT16 TWRC_XFERDONE = 6;
inline constexpr TW_UINT16 TWRC_ENDOFLIST = 7;

// Condition codes
inline constexpr TW_UINT16 TWCC_SUCCESS = 0;
inline constexpr TW_UINT16 TWCC_BUMMER = 1;
inline constexpr TW_UINT16 TWCC_LOWMEMORY = 2;
inline constexpr TW_UINT16 TWCC_NODS = 3;
inline constexpr TW_UINT16 TWCC_OPERATIONERROR = 5;
inline constexpr TW_UINT16 TWCC_BADCAP = 6;
inline constexpr TW_UINT16 TWCC_BADPROTOCOL = 9;
inline constexpr TW_UINT16 TWCC_BADVALUE = 10;
inline constexpr TW_UINT16 TWCC_SEQERROR = 11;
inline constexpr TW_UINT16 TWCC_BADDEST = 12;

// Capabilities, containers, item types
inline constexpr TW_UINT16 CAP_XFERCOUNT = 0x0001;
inline constexpr TW_UINT16 TWON_ONEVALUE = 5;
inline constexpr TW_UINT16 TWON_DONTCARE16 = 0xFFFF;
inline constexpr TW_UINT16 TWTY_INT16 = 0x0001;
inline constexpr TW_UINT16 TWTY_UINT16 = 0x0004;

// Pixel types
inline constexpr TW_INT16 TWPT_BW = 0;
inline constexpr TW_INT16 TWPT_GRAY = 1;
inline constexpr TW_INT16 TWPT_RGB = 2;

// Language and country of an identity
inline constexpr TW_UINT16 TWLG_USA = 13;
inline constexpr TW_UINT16 TWCY_USA = 1;

struct TW_VERSION
{
    TW_UINT16 MajorNum;
    TW_UINT16 MinorNum;
    TW_UINT16 Language;
    TW_UINT16 Country;
    TW_STR32 Info;
};

struct TW_IDENTITY
{
    TW_UINT32 Id;
    TW_VERSION Version;
    TW_UINT16 ProtocolMajor;
    TW_UINT16 ProtocolMinor;
    TW_UINT32 SupportedGroups;
    TW_STR32 Manufacturer;
    TW_STR32 ProductFamily;
    TW_STR32 ProductName;
};

// A text into a record's field, cut to fit and zero-filled.
inline void CopyTwainText(TW_STR32& target, const char* text)
{
    std::memset(target, 0, sizeof(target));
    std::strncpy(target, text != nullptr ? text : "", sizeof(target) - 1);
}

// An identity of protocol 1.8 for the control and image groups, in English
// (USA).
inline TW_IDENTITY MakeIdentity(TW_UINT32 id, TW_UINT16 major, TW_UINT16 minor, const char* info,
                                const char* manufacturer, const char* family, const char* product)
{
    TW_IDENTITY identity{};
    identity.Id = id;
    identity.Version.MajorNum = major;
    identity.Version.MinorNum = minor;
    identity.Version.Language = TWLG_USA;
    identity.Version.Country = TWCY_USA;
    CopyTwainText(identity.Version.Info, info);
    identity.ProtocolMajor = 1;
    identity.ProtocolMinor = 8;
    identity.SupportedGroups = DG_CONTROL | DG_IMAGE;
    CopyTwainText(identity.Manufacturer, manufacturer);
    CopyTwainText(identity.ProductFamily, family);
    CopyTwainText(identity.ProductName, product);
    return identity;
}

struct TW_STATUS
{
    TW_UINT16 ConditionCode;
    TW_UINT16 Reserved;
};

struct TW_USERINTERFACE
{
    TW_BOOL ShowUI;
    TW_BOOL ModalUI;
    HWND hParent;
};

struct TW_PENDINGXFERS
{
    TW_UINT16 Count;
    TW_UINT32 Reserved;
};

// A 16.16 fixed-point number.
struct TW_FIX32
{
    TW_INT16 Whole;
    TW_UINT16 Frac;
};

struct TW_IMAGEINFO
{
    TW_FIX32 XResolution;
    TW_FIX32 YResolution;
    TW_INT32 ImageWidth;
    TW_INT32 ImageLength; // -1 while unknown
    TW_INT16 SamplesPerPixel;
    TW_INT16 BitsPerSample[8];
    TW_INT16 BitsPerPixel;
    TW_BOOL Planar;
    TW_INT16 PixelType;
    TW_UINT16 Compression;
};

struct TW_CAPABILITY
{
    TW_UINT16 Cap;
    TW_UINT16 ConType;
    TW_HANDLE hContainer;
};

// The one-value container: the 32-bit item right after its 16-bit type, in
// a 6-byte block.
#pragma pack(push, 2)
struct TW_ONEVALUE
{
    TW_UINT16 ItemType;
    TW_UINT32 Item;
};
#pragma pack(pop)
static_assert(sizeof(TW_ONEVALUE) == 6);

// pEvent is the window message (a MSG of the window layer) the program got.
struct TW_EVENT
{
    TW_MEMREF pEvent;
    TW_UINT16 TWMessage;
};

// The source manager's entry, found in its library by this name.
inline constexpr const char* kDsmEntryName = "DSM_Entry";
using DSMENTRYPROC = TW_UINT16 (*)(TW_IDENTITY* pOrigin, TW_IDENTITY* pDest, TW_UINT32 DG, TW_UINT16 DAT,
                                   TW_UINT16 MSG, TW_MEMREF pData);

// The registered window message by which our sources post their events
// (wParam: the event's message) to the parent window.
inline constexpr const char* kSourceEventMessage = "TWAIN_SOURCE_EVENT";
