// Nothing in this build sets an inactive picture, so there is never one to
// draw; the drawing itself comes with the rest of the layered-window code.
#include "framework/core/inactive_picture.h"

#include "framework/core/main_window_state.h"

InactivePictureRecord InactivePicture = {};

int DrawInactivePicture() {
    if (MainWindow.closeState == 1) return 0;
    return -1;  // no picture is set
}
