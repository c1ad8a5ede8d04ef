#pragma once
// CWindowRunHost: the run host of the program. The Escape key's state
// comes from the keyboard events the application sees (down now, or
// pressed since the last look), the pump handles the window system's
// events too (so a key pressed during an untimed run arrives), and the
// set-up sheet is the "Configuration" sheet of the pages in series/ui.
// Clocks, status bar and the information window are the plain host's.

#include "series/runhost.h"

#include <memory>

class CWindowRunHost : public CRunHost
{
public:
    CWindowRunHost();
    ~CWindowRunHost() override;

    bool IsEscapeDown() override;
    void PumpMessages() override;
    bool EditSetup(CMeasurementSetup& setup) override;

private:
    class CKeyWatch;
    std::unique_ptr<CKeyWatch> m_pKeys;
};
