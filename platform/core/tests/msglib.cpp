// A module of its own that registers message names, built twice, so that a
// test sees what separately loaded modules get from the one table.

#include "platform/core/messages.h"

extern "C" __attribute__((visibility("default"))) UINT kestrun_test_register_message(const char* name)
{
    try {
        return RegisterWindowMessage(name);
    } catch (...) {
        return 0;
    }
}
