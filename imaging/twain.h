#pragma once
// CTwain: image acquisition through a source manager library opened by
// name ("TWAIN_32.DLL", ours over SANE). It keeps the protocol's states -
// library loaded, manager open, source open, source enabled - and runs the
// transfer loop when the source says images are ready. Whoever derives
// from it receives each image through OnImage and hands every window
// message to ProcessMessage while a source is enabled.
//
// Every request goes through CallDSM: without the library or its entry the
// last result is 1 (failure) and nothing is called.

#include "outside/scansource/twainprotocol.h"

#include "platform/core/cstring.h"

struct MSG;

class CTwain
{
public:
    static constexpr const char* kLibraryName = "TWAIN_32.DLL";
    // What ShouldTransfer answers.
    enum : int
    {
        transferImage = 0,
        skipImage = 1,
        stopTransfers = 2,
    };

    // With a window the source manager is opened at once. The library name
    // is for tests.
    explicit CTwain(HWND hWnd = nullptr, const char* lpszLibrary = kLibraryName);
    virtual ~CTwain();
    CTwain(const CTwain&) = delete;
    CTwain& operator=(const CTwain&) = delete;

    virtual void FillAppIdentity();
    // The user's choice of source; TRUE when a source was chosen.
    virtual BOOL SelectSource();
    // The given source, or the known or default one; TRUE when open.
    virtual BOOL OpenSource(const TW_IDENTITY* pSource = nullptr);
    virtual int ShouldTransfer(const TW_IMAGEINFO& info);
    virtual BOOL DisableSource();
    virtual BOOL OnCloseRequest();
    // A transferred image; the handle is freed after the call.
    virtual void OnImage(TW_HANDLE hBitmap, const TW_IMAGEINFO& info) = 0;

    // TRUE once the library is loaded (at once when it was already).
    BOOL LoadSourceManager(HWND hWnd);
    void UnloadSourceManager();
    BOOL CloseSourceManager();
    BOOL CloseSource();
    BOOL GetDefaultSource();
    // Opens the source when needed, sets the number of images (-1: any) and
    // enables the source with its user interface.
    BOOL Acquire(int nImages);
    BOOL EnableSource(BOOL bShowUI = TRUE);
    // TRUE when the source claimed the message. Nothing is asked while no
    // source is enabled.
    BOOL ProcessMessage(const MSG& msg);

    // One request; TRUE on success. A failure fetches the condition code.
    BOOL CallDSM(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF pData);
    // A capability's single value (the 32-bit item after the item type).
    BOOL GetCapability(TW_UINT16 nCapability, TW_UINT32& value);
    BOOL SetCapability(TW_CAPABILITY& capability);
    // A one-value container of a 16-bit signed or unsigned item.
    BOOL SetOneValue(TW_UINT16 nCapability, TW_UINT32 value, BOOL bSigned);
    // Signed first; a source that answers "check status" gets its current
    // value back as unsigned.
    BOOL SetImageCount(TW_INT16 nCount);

    BOOL IsLoaded() const { return m_hModule != nullptr && m_pEntry != nullptr; }
    BOOL IsManagerOpen() const { return m_bManagerOpen; }
    BOOL IsSourceOpen() const { return m_bSourceOpen; }
    BOOL IsSourceEnabled() const { return m_bSourceEnabled; }
    BOOL HasSource() const { return m_bHaveSource; }
    TW_UINT16 GetLastResult() const { return m_nLastResult; }
    TW_UINT16 GetConditionCode() const { return m_Status.ConditionCode; }
    const TW_IDENTITY& GetAppIdentity() const { return m_AppId; }
    const TW_IDENTITY& GetSourceIdentity() const { return m_Source; }
    int GetModalAnswer() const { return m_nModalUI; }
    TW_INT16 GetImageCount() const { return m_nImageCount; }

protected:
    void HandleSourceEvent(TW_UINT16 msg);
    // Runs until no image is pending, the source fails or ShouldTransfer
    // stops it.
    void TransferImages();
    BOOL GetImageInfo(TW_IMAGEINFO& info);
    // TRUE when more images are pending.
    BOOL NativeTransfer(const TW_IMAGEINFO& info);
    BOOL EndTransfer();
    void ResetTransfers();

    TW_IDENTITY m_AppId{};
    TW_IDENTITY m_Source{};
    TW_STATUS m_Status{};

private:
    // The request without the status fetch (event processing).
    TW_UINT16 Call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF pData);
    // Requests to the manager itself go without a destination.
    TW_IDENTITY* Destination(TW_UINT16 dat);
    BOOL OpenSourceManager();

    CString m_strLibrary;
    HMODULE m_hModule = nullptr;
    DSMENTRYPROC m_pEntry = nullptr;
    TW_UINT16 m_nLastResult = TWRC_FAILURE;
    HWND m_hWnd = nullptr;
    BOOL m_bHaveSource = FALSE;
    BOOL m_bManagerOpen = FALSE;
    BOOL m_bSourceOpen = FALSE;
    BOOL m_bSourceEnabled = FALSE;
    int m_nModalUI = 1;
    TW_INT16 m_nImageCount = -1;
};
