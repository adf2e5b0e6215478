// window-probe: looks at Bridger.exe from outside, as a user or a test would, through
// ordinary window messages only.
//
//   window-probe msgbox  [--text T] [--title Bridger] [--process P] [--timeout MS]
//       waits for a message box, prints its text, presses OK; fails if the text differs
//   window-probe main    [--process P] [--hidden] [--timeout MS]
//       waits for the hidden main dialog (class #32770, no caption, empty title)
//   window-probe window  --title T [--process P] [--timeout MS]
//       waits for a visible top-level window titled exactly T and prints its class
//   window-probe click   --title T --id N [--process P] [--timeout MS]
//       waits until a visible window whose title begins with T (installers add to theirs
//       page by page) has its button N enabled, then clicks it
//   window-probe command --id N [--process P]
//       posts the command N to the main dialog, as its menu would
//   window-probe version --exe NAME --set WINE-VERSION
//       makes Wine report that Windows version (win2k, winxp, ...) to the program NAME
//   window-probe text --window CAPTION --id N [--process P] [--timeout MS]
//       prints the control's text as the window holds it (UTF-16, printed as UTF-8)
//   window-probe firstchar --window CAPTION --id N [--process P]
//       prints the index of the first character an edit box shows (0: from its start)
//   window-probe key --window CAPTION --key esc|enter [--process P]
//       presses the key in the window, as the user would
//   window-probe shown|gone --window CAPTION [--process P] [--timeout MS]
//       waits until a visible window with that caption exists / none does
//   window-probe click --window CAPTION --id N [--process P]
//       clicks button or radio N of the window or of its page, as the mouse would
//   window-probe syscommand --window CAPTION --id N [--process P]
//       chooses item N of the window's system menu
//   window-probe codepage
//       prints the session's ANSI code page and the user's UI language (hex)
//   window-probe layout [--process P]
//       checks every visible dialog of the process: each control inside its dialog's
//       client area, a property page inside its sheet's tab; prints what is not
//   window-probe templates --exe PATH [--relabel DIALOG:CONTROL=STRING[,STRING...]]...
//       makes every dialog template of PATH in each of its languages and checks its
//       controls lie inside it and the texts of its labels and boxes fit them (a relabel
//       first gives the control the widest of those string-table texts in the template's
//       language, as the program does at run time)
//
// Exit codes: 0 found (and matched), 1 timed out or not found, 2 bad arguments.
#include "Probe.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace probe {

void Say(const char* format, const std::string& a, const std::string& b) {
    std::printf(format, a.c_str(), b.c_str());
    std::fflush(stdout);
}

}  // namespace probe

int main(int argc, char** argv) {
    using namespace probe;
    _setmode(_fileno(stdout), _O_BINARY);  // plain line feeds, as the Unix side reads them
    Options o;
    if (!ParseOptions(argc, argv, {"hidden"}, Repeats::kGathered, o)) {
        std::fprintf(stderr, "usage: window-probe msgbox|main|window|command|version|text|firstchar|key|shown|gone|click|syscommand|codepage|layout|templates [--option value]...\n");
        return 2;
    }
    if (o.verb == "msgbox") return MessageBoxVerb(o);
    if (o.verb == "main") return MainVerb(o);
    if (o.verb == "window") return WindowVerb(o);
    // --title: a window whose title starts so (an installer's pages); --window: a caption, pages searched too.
    if (o.verb == "click") return o.Has("title") ? ClickByTitleVerb(o) : ClickVerb(o);
    if (o.verb == "command") return CommandVerb(o);
    if (o.verb == "version") return VersionVerb(o);
    if (o.verb == "text") return TextVerb(o);
    if (o.verb == "firstchar") return FirstCharVerb(o);
    if (o.verb == "key") return KeyVerb(o);
    if (o.verb == "shown") return ShownVerb(o, true);
    if (o.verb == "gone") return ShownVerb(o, false);
    if (o.verb == "layout") return LayoutVerb(o);
    if (o.verb == "codepage") return CodePageVerb();
    if (o.verb == "syscommand") return SysCommandVerb(o);
    if (o.verb == "templates") return TemplatesVerb(o);
    std::fprintf(stderr, "window-probe: unknown verb %s\n", o.verb.c_str());
    return 2;
}
