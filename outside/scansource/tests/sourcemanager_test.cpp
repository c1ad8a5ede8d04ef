// The source manager over SANE's test backend, driven request by request as
// the program drives it, with the user's answers scripted.

#include "outside/scansource/sourcemanager.h"
#include "outside/scansource/testing/sanetestbackend.h"

#include "outside/pixmere/packeddib.h"
#include "platform/core/messages.h"
#include "platform/ui/wnd.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kestrun::testing {
namespace {

class CScriptedUi : public ISourceUi
{
public:
    int ChooseSource(const std::vector<CSaneDeviceInfo>& devices, int nCurrent) override
    {
        for (const CSaneDeviceInfo& device : devices)
            m_listed.push_back(device.name);
        m_nOffered = nCurrent;
        return m_nChoice;
    }
    bool ConfirmScan(const CSaneDeviceInfo& device) override
    {
        m_confirmed.push_back(device.name);
        return m_bScan;
    }
    void ShowError(const CString& strText) override { m_errors.push_back(strText); }

    int m_nChoice = -1;
    bool m_bScan = true;
    int m_nOffered = -2;
    std::vector<CString> m_listed;
    std::vector<CString> m_confirmed;
    std::vector<CString> m_errors;
};

// The parent window: the events the source posts to it.
class CParent : public CMessageTarget
{
public:
    CParent() : m_hWnd(CreateWindowHandle(this)) {}
    ~CParent() override { DestroyWindowHandle(m_hWnd); }
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        m_messages.push_back(MSG{m_hWnd, message, wParam, lParam, 0, {}});
        return 0;
    }

    HWND m_hWnd;
    std::vector<MSG> m_messages;
};

class SourceManagerTest : public ::testing::Test
{
protected:
    void SetUp() override { Start(""); }
    // A manager over a backend with these further options.
    void Start(const std::string& options)
    {
        m_manager.reset();
        m_backend.reset();
        m_backend.emplace("number_of_devices 2\nresolution 254\ntl_x 0\ntl_y 0\nbr_x 10\nbr_y 20\nmode Color\n" +
                              options);
        auto ui = std::make_unique<CScriptedUi>();
        m_ui = ui.get();
        m_manager = std::make_unique<CSourceManager>(std::move(ui));
    }

    TW_UINT16 Call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data)
    {
        return m_manager->Entry(&m_app, &m_source, dg, dat, msg, data);
    }
    TW_UINT16 Condition()
    {
        TW_STATUS status{};
        Call(DG_CONTROL, DAT_STATUS, MSG_GET, &status);
        return status.ConditionCode;
    }
    void OpenManager()
    {
        HWND parent = m_parent.m_hWnd;
        ASSERT_EQ(Call(DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &parent), TWRC_SUCCESS);
    }
    // The events posted so far, as the source reads them back.
    std::vector<TW_UINT16> Events()
    {
        m_parent.m_messages.clear();
        PumpMessages();
        std::vector<TW_UINT16> events;
        for (MSG& msg : m_parent.m_messages) {
            TW_EVENT event{&msg, MSG_NULL};
            if (Call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event) == TWRC_DSEVENT)
                events.push_back(event.TWMessage);
        }
        return events;
    }

    std::optional<CScopedSaneTestBackend> m_backend;
    CParent m_parent;
    CScriptedUi* m_ui = nullptr;
    std::unique_ptr<CSourceManager> m_manager;
    TW_IDENTITY m_app{};
    TW_IDENTITY m_source{};
};

TEST_F(SourceManagerTest, TheUserChoosesAmongTheDevicesAndTheChoiceBecomesTheDefault)
{
    OpenManager();
    ASSERT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &m_source), TWRC_SUCCESS);
    EXPECT_STREQ(m_source.ProductName, "test:0");

    m_ui->m_nChoice = -1;
    EXPECT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT, &m_source), TWRC_CANCEL);
    EXPECT_EQ(m_ui->m_listed, (std::vector<CString>{"test:0", "test:1"}));
    EXPECT_EQ(m_ui->m_nOffered, 0);

    m_ui->m_nChoice = 1;
    ASSERT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT, &m_source), TWRC_SUCCESS);
    EXPECT_STREQ(m_source.ProductName, "test:1");
    TW_IDENTITY fresh{};
    ASSERT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &fresh), TWRC_SUCCESS);
    EXPECT_STREQ(fresh.ProductName, "test:1");
}

TEST_F(SourceManagerTest, AScanIsOneTransferOfThePageThenTheSourceAsksToClose)
{
    OpenManager();
    ASSERT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &m_source), TWRC_SUCCESS);
    EXPECT_STREQ(m_source.ProductName, "test:0");
    TW_USERINTERFACE ui{TRUE, FALSE, m_parent.m_hWnd};
    ASSERT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS);
    EXPECT_EQ(m_ui->m_confirmed, std::vector<CString>{"test:0"});
    EXPECT_EQ(Events(), std::vector<TW_UINT16>{MSG_XFERREADY});

    TW_IMAGEINFO info{};
    ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_SUCCESS);
    EXPECT_EQ(info.ImageWidth, 100);
    EXPECT_EQ(info.ImageLength, 200);
    EXPECT_EQ(info.BitsPerPixel, 24);
    TW_HANDLE bitmap = nullptr;
    ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &bitmap), TWRC_XFERDONE);
    CxImage page;
    CString error;
    ASSERT_TRUE(UnpackPage({static_cast<const BYTE*>(GlobalLock(bitmap)), GlobalSize(bitmap)}, page, error));
    GlobalUnlock(bitmap);
    GlobalFree(bitmap);
    EXPECT_EQ(page.GetWidth(), 100);
    EXPECT_EQ(page.GetHeight(), 200);

    TW_PENDINGXFERS pending{1, 0};
    ASSERT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
    EXPECT_EQ(pending.Count, 0);
    EXPECT_EQ(Events(), std::vector<TW_UINT16>{MSG_CLOSEDSREQ});
    // Nothing is left to transfer.
    EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_FAILURE);
    EXPECT_EQ(Condition(), TWCC_SEQERROR);
}

TEST_F(SourceManagerTest, ACancelledOrFailedScanOffersNoImage)
{
    struct Case
    {
        const char* name;
        bool scan;
        const char* device;
        const char* options;
        size_t errors;
    };
    const Case cases[] = {
        {"cancelled", false, "test:0", "", 0},
        {"device error", true, "test:1", "read-status-code \"SANE_STATUS_IO_ERROR\"", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Start(c.options);
        OpenManager();
        m_ui->m_bScan = c.scan;
        m_source = TW_IDENTITY{};
        std::strcpy(m_source.ProductName, c.device);
        ASSERT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &m_source), TWRC_SUCCESS);
        TW_USERINTERFACE ui{TRUE, FALSE, m_parent.m_hWnd};
        ASSERT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS);
        EXPECT_EQ(Events(), std::vector<TW_UINT16>{MSG_CLOSEDSREQ});
        EXPECT_EQ(m_ui->m_errors.size(), c.errors);
        TW_IMAGEINFO info{};
        EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_FAILURE);
        TW_HANDLE bitmap = nullptr;
        EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &bitmap), TWRC_FAILURE);
        EXPECT_EQ(bitmap, nullptr);
        ASSERT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui), TWRC_SUCCESS);
        ASSERT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &m_source), TWRC_SUCCESS);
        HWND parent = m_parent.m_hWnd;
        ASSERT_EQ(Call(DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &parent), TWRC_SUCCESS);
    }
}

TEST_F(SourceManagerTest, RequestsOutOfOrderOrWithBadValuesFailWithTheirCondition)
{
    HWND parent = m_parent.m_hWnd;
    TW_IDENTITY identity{};
    EXPECT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &identity), TWRC_FAILURE);
    EXPECT_EQ(Condition(), TWCC_SEQERROR);
    OpenManager();
    EXPECT_EQ(Call(DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &parent), TWRC_FAILURE);
    std::strcpy(identity.ProductName, "test:9");
    EXPECT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &identity), TWRC_FAILURE);
    EXPECT_EQ(Condition(), TWCC_NODS);

    ASSERT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &m_source), TWRC_SUCCESS);
    EXPECT_EQ(Call(DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &parent), TWRC_FAILURE);
    EXPECT_EQ(Condition(), TWCC_SEQERROR);

    // The transfer count: a one-value container, any count (-1) or a positive one.
    struct Case
    {
        TW_UINT16 conType;
        std::size_t size;
        TW_UINT16 itemType;
        TW_UINT32 item;
        TW_UINT16 result;
    };
    const Case cases[] = {
        {TWON_ONEVALUE, 6, TWTY_INT16, 0xFFFF, TWRC_SUCCESS},
        {TWON_ONEVALUE, 6, TWTY_UINT16, 3, TWRC_SUCCESS},
        {TWON_ONEVALUE, 6, TWTY_INT16, 0, TWRC_FAILURE},
        {TWON_ONEVALUE, 4, TWTY_INT16, 1, TWRC_FAILURE},
        {TWON_DONTCARE16, 6, TWTY_INT16, 1, TWRC_FAILURE},
        {TWON_ONEVALUE, 6, 7, 1, TWRC_FAILURE},
    };
    for (const Case& c : cases) {
        HGLOBAL container = GlobalAlloc(GHND, c.size);
        TW_ONEVALUE one{c.itemType, c.item};
        std::memcpy(GlobalLock(container), &one, c.size);
        GlobalUnlock(container);
        TW_CAPABILITY capability{CAP_XFERCOUNT, c.conType, container};
        EXPECT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &capability), c.result) << c.item;
        GlobalFree(container);
    }
    TW_CAPABILITY capability{CAP_XFERCOUNT, TWON_DONTCARE16, nullptr};
    ASSERT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &capability), TWRC_SUCCESS);
    TW_ONEVALUE one{};
    std::memcpy(&one, GlobalLock(capability.hContainer), sizeof(one));
    GlobalFree(capability.hContainer);
    const TW_UINT32 count = one.Item;
    EXPECT_EQ(count, 3u);
    capability.Cap = 0x1234;
    EXPECT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &capability), TWRC_FAILURE);
    EXPECT_EQ(Condition(), TWCC_BADCAP);

    // Not enabled: no events are the source's, nothing to transfer.
    MSG msg{parent, RegisterWindowMessage(kSourceEventMessage), MSG_XFERREADY, 0, 0, {}};
    TW_EVENT event{&msg, MSG_NULL};
    EXPECT_EQ(Call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_NOTDSEVENT);
    TW_PENDINGXFERS pending{};
    EXPECT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_FAILURE);
}

} // namespace
} // namespace kestrun::testing
