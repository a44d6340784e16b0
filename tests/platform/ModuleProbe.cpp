// A library for module-name tests to copy and load from any folder.
extern "C" __attribute__((visibility("default"))) int koModuleProbe() { return 42; }
