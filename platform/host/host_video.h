// The host adapter's video part: the display that shows the program's
// windows (their title, frame, icon, size, position, placement and pixels),
// the OpenGL context the Direct3D 9 stand-in draws through, the events the
// display reports for its windows, the clipboard and the input method's
// text.
//
// Stands in for the display server behind the window manager, and for the
// display adapter's list of modes and its mode switch. Left out: menu bars,
// window regions and cursor confinement.
// Like a video driver under a portable layer, one adapter is in force at a
// time, chosen at its first use: SDL2's when the profile allows the display
// and SDL2's video starts on a real display, else the null one, with which
// windows stay records and nothing reaches SDL2. The window system's own
// logic (records, queues, timers, the mirroring of windows onto the display)
// reaches the display only through this interface.
//
// Only platform code includes this header; it includes no SDL2 header. Text
// crosses it as UTF-8 with line feeds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/profile/machine_profile.h"
#include "platform/win_types.h"

namespace platform {

// A window the display shows; 0 is none.
using HostWindowId = uint32_t;
// An OpenGL context; null is none.
using GlContext = void*;

namespace detail {
// How a window stands on the display: the window system keeps it in each
// window's record, the display reports and applies it.
enum class Placement { Normal, Minimized, Maximized };
}  // namespace detail

// What the display reports about one of its windows.
struct HostEvent {
    enum class Kind {
        Exposed,         // part of the window must be drawn again
        Moved,           // the user moved the client area's origin to (x, y)
        Resized,         // the user resized the client area to x by y
        Placed,          // the window was minimised, maximised or restored: `placement`
        FocusGained,
        FocusLost,
        CloseRequested,  // the close button
        Key,             // `key`
        Text,            // committed or typed text
        Composition,     // the input method's composition in progress (empty: none)
        Mouse,           // `mouseMessage` at the client point (x, y)
        FilesDropped,    // `files`, by their host paths
        Gone,            // the window was destroyed from outside the program
    };
    struct KeyReport {
        UINT virtualKey = 0;
        UINT scanCode = 0;  // set 1
        bool extended = false;
        bool down = false;
        bool repeat = false;
        bool altHeld = false;
        bool controlHeld = false;
    };

    Kind kind = Kind::Exposed;
    HostWindowId window = 0;
    LONG x = 0;
    LONG y = 0;
    detail::Placement placement = detail::Placement::Normal;
    KeyReport key;
    std::string text;  // Text and Composition, UTF-8
    int cursor = 0;    // Composition: the cursor, counted in characters
    // Text: the left Alt is held without Ctrl, so that a letter is a system
    // key rather than typing (unless it ends a composition).
    bool systemKeyHeld = false;
    UINT mouseMessage = 0;
    WPARAM mouseKeys = 0;  // MK_ flags
    std::vector<std::string> files;
};

// Where a window's picture shows in the window's own pixels: all of them,
// one for one, but for a window shown full screen in a mode the display
// lacks, whose picture is scaled to fit the display (see FitPicture).
struct PictureArea {
    LONG pixelWidth = 0;  // the window's own pixels
    LONG pixelHeight = 0;
    RECT picture{};       // where the picture goes, the rest black
    bool scaled = false;
};

// The largest rectangle of a width:height picture that fits the area,
// its aspect kept and centred; the bars beside or above and below it are
// what is left over.
RECT FitPicture(LONG width, LONG height, LONG areaWidth, LONG areaHeight);

// What a message box asks of the display.
enum class MessageBoxIcon { Plain, Error, Warning, Information, Question };
struct MessageBoxButton {
    std::string label;  // UTF-8
    int answer = 0;
    bool onReturn = false;  // the default button
    bool onEscape = false;
};

class VideoAdapter {
public:
    virtual ~VideoAdapter() = default;

    // False for the null adapter: windows stay records.
    virtual bool ShowsWindows() const = 0;
    virtual bool DesktopSize(LONG& width, LONG& height) = 0;
    // The display's own modes as the host reports them (the desktop's among
    // them), a refresh rate the host does not know given as 60; false, with
    // none, when the adapter knows no display.
    virtual bool DisplayModes(std::vector<DisplayMode>& modes) = 0;
    // Host thread only. Switches the display to `mode` (a full-screen window
    // is then shown in it), or back to the desktop's own mode for null. A
    // size the display does not run is shown on the desktop's mode, the
    // full-screen window's picture scaled to fit. False when the display
    // refuses.
    virtual bool SwitchDisplayMode(const DisplayMode* mode) = 0;
    // Where the picture of a window whose client area is width by height
    // shows in the window's own pixels.
    virtual PictureArea PictureAreaOf(HostWindowId window, LONG width, LONG height) = 0;

    // A new window is hidden, with its client area at `client` (screen
    // coordinates; at least 1 by 1). 0 when none can be made.
    virtual HostWindowId OpenWindow(const std::string& title, const RECT& client, bool bordered,
                                    bool resizable) = 0;
    virtual void CloseWindow(HostWindowId window) = 0;
    virtual void SetTitle(HostWindowId window, const std::string& title) = 0;
    virtual void SetStyle(HostWindowId window, bool bordered, bool resizable, bool topmost) = 0;
    // 0xAARRGGBB, rows top down.
    virtual void SetIcon(HostWindowId window, int32_t width, int32_t height, const uint32_t* pixels) = 0;
    virtual void Show(HostWindowId window, bool visible) = 0;
    virtual void Place(HostWindowId window, detail::Placement placement) = 0;
    virtual void Move(HostWindowId window, LONG x, LONG y) = 0;
    virtual void Resize(HostWindowId window, LONG width, LONG height) = 0;
    virtual void Raise(HostWindowId window) = 0;
    // The client area's pixels, 0x00RRGGBB, `width` to a row, rows top down;
    // what exceeds the window is cut off.
    virtual void Present(HostWindowId window, LONG width, LONG height, const uint32_t* pixels) = 0;
    virtual void ShowCursor(bool shown) = 0;
    virtual void AllowScreenSaver(bool allowed) = 0;

    // A context that draws into the window, or null when the window cannot
    // take one. Making a context current binds it to the calling thread.
    virtual GlContext CreateGlContext(HostWindowId window) = 0;
    virtual bool MakeGlContextCurrent(HostWindowId window, GlContext context) = 0;
    virtual void SwapGlWindow(HostWindowId window) = 0;
    virtual void DestroyGlContext(GlContext context) = 0;

    // The next waiting event about one of the adapter's windows; false when
    // none waits.
    virtual bool PollEvent(HostEvent& event) = 0;

    // False without a display (or, for reading, when the host's clipboard
    // holds no text).
    virtual bool SetClipboardText(const std::string& text) = 0;
    virtual bool ClipboardText(std::string& text) = 0;

    // Shows a dialog with the text, title and buttons (UTF-8) over `owner`
    // (0: none) and waits for a button; false, at once, when the display is
    // not one that a user sees. The dialog is seen whatever the program
    // shows: a window shown full screen covers the owner, and the dialog
    // goes over it instead; one without an owner seen goes over a window
    // kept on top; and no window is kept above it while it is up.
    virtual bool ShowMessageBox(HostWindowId owner, const std::string& title, const std::string& text,
                                MessageBoxIcon icon, const std::vector<MessageBoxButton>& buttons,
                                int& answer) = 0;
};

// The adapter in force. The first call after a stop chooses it and makes the
// calling thread the host thread; with the profile's display use off, the
// null adapter serves without a choice being made.
VideoAdapter& HostVideo();
// True on the host thread while an adapter that shows windows is in force:
// only that thread's windows are shown and only its message pump reads the
// display's events. Makes no choice.
bool OnHostVideoThread();
// Ends the adapter in force (closing every window it shows), so that the
// next use chooses afresh.
void StopHostVideo();
// Counts the adapters chosen: what an adapter made (a window, an OpenGL
// context) ends with it, so a holder that sees the count move on has
// nothing left to release. Makes no choice.
uint64_t HostVideoSession();

}  // namespace platform
