// The one pattern of the main dialog's modeless windows (debug, information, options):
// one pointer each, a live window is raised, a closed one is replaced, all go at exit.
#pragma once

// Shows and raises the window of *pointer if it still exists; otherwise replaces the object with a
// new one from make() and gives it a window with makeWindow(object). The pointer is
// stored before the window is created, because a window's start-up may already ask the
// main dialog to fill it.
template <typename Window, typename Make, typename MakeWindow>
void OpenModeless(Window*& pointer, Make make, MakeWindow makeWindow) {
    if (pointer && pointer->IsWindow()) {
        // Shown too: raising a window that something hid would leave it out of sight.
        pointer->ShowWindow(true);
        pointer->SetForegroundWindow();
        return;
    }
    delete pointer;
    pointer = make();
    makeWindow(*pointer);
    pointer->SetForegroundWindow();
}

// Destroys the window if it still exists and deletes the object.
template <typename Window>
void CloseModeless(Window*& pointer) {
    if (!pointer) return;
    if (pointer->IsWindow()) pointer->DestroyWindow();
    delete pointer;
    pointer = nullptr;
}
