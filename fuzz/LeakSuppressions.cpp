// Leak reports that every fuzz target shares. The font libraries and Qt's font engines
// keep per-thread caches that nothing frees before the process ends; their stacks stop
// in the libraries (built without frame pointers), so allocations made by the project's
// own code are still reported. cairo keeps one block of its own for the process (the same
// 768 bytes whether one document or five were written).
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libQt6Gui.so\n"
           "leak:libfreetype.so\n"
           "leak:libharfbuzz.so\n"
           "leak:libfontconfig.so\n"
           "leak:libcairo.so\n";
}
