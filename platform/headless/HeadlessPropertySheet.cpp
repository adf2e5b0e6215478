// The modeless property sheet of the headless backend: one window that is both the frame
// and its single page, so the harness reaches the page by the page template's name while
// the caption is the sheet's, as the user sees it in the title bar.
#include "platform/headless/HeadlessWindows.h"

#include "platform/Dialog.h"

namespace sim {

plat::WindowHandle HeadlessWindows::CreateModelessSheet(const std::string& caption, int pageTemplateId,
                                                        plat::Dialog& page, plat::WindowHandle parent) {
    const plat::WindowHandle handle = Make(pageTemplateId, page, parent, false);
    if (WindowState* w = Get(handle)) {
        w->caption = caption;
        w->visible = true;  // the sheet shows itself and its current page
    }
    return handle;
}

}  // namespace sim
