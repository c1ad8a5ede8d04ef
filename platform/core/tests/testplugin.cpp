// A library for the loader tests, opened by the name "TestPlugin.dll".
extern "C" int Answer() { return 42; }
