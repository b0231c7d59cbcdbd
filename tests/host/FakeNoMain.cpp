// A library that exports something, but no main.
extern "C" __attribute__((visibility("default"))) int notMain() {
    return 42;
}
