// The application services as the lower layers reach them.

#include "platform/ui/appservices.h"
#include "platform/ui/testing/fake_app_services.h"

#include <gtest/gtest.h>

namespace {

// What a lower layer does: ask for the services and use them blind.
CString imageFolderOfTheApplication()
{
    CAppServices* services = kestrun::AppServices();
    return services ? services->GetImageDir() : CString();
}

TEST(AppServicesTest, FixtureInstallsItselfForItsLifetime)
{
    EXPECT_EQ(kestrun::AppServices(), nullptr);
    {
        kestrun::testing::CFakeAppServices outer;
        outer.m_strImageDir = "/lab/images/";
        EXPECT_EQ(imageFolderOfTheApplication(), "/lab/images/");
        {
            kestrun::testing::CFakeAppServices inner;
            EXPECT_EQ(kestrun::AppServices(), &inner);
            // The folders default to the test's own data root.
            EXPECT_EQ(inner.GetImageDir(), inner.GetDataRoot() + "images/");
            inner.SetTrayvoState(3);
            inner.SetTrayvoMessage("Message");
            EXPECT_EQ(inner.m_trayvoStates, std::vector<int>{3});
            EXPECT_EQ(inner.m_trayvoMessages.front(), "Message");
        }
        EXPECT_EQ(kestrun::AppServices(), &outer);
    }
    EXPECT_EQ(kestrun::AppServices(), nullptr);
}

} // namespace
