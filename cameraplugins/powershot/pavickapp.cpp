#include "cameraplugins/powershot/pavickapp.h"

CPavickApp& PavickApp()
{
    static CPavickApp app;
    return app;
}
