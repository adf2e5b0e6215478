// Built into the native programs only when they run with the sanitizers. The bridge never
// deletes its device thread object (it lives until the process ends), so the leak checker
// is told so here, and a program's exit status needs no LSAN_OPTIONS to mean what it says.
extern "C" {

const char* __lsan_default_suppressions() { return "leak:CBridgeDlg::StartDeviceThread\n"; }

// The intended leak is not news: no "Suppressions used" table on standard error.
const char* __lsan_default_options() { return "print_suppressions=0"; }

}
