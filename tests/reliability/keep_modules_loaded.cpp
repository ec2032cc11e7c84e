// Preloaded into the whole-program tests of the sanitizer build: makes dlclose()
// a no-op, so that the plugins the media and graphics libraries load and unload
// again (GL drivers, audio back ends) stay mapped until LeakSanitizer looks at
// the heap at exit. Memory those plugins still point to then counts as reachable,
// and what really leaks is reported with the library's name, where a suppression
// can name it; otherwise it shows as "<unknown module>".
extern "C" int dlclose(void*)
{
    return 0;
}
