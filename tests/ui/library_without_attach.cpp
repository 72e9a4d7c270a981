// A shared library that lacks SkinH_Attach, to stand in for a wrong theme library.
extern "C" __attribute__((visibility("default"))) int SkinH_Detach() { return 0; }
