// The null adapters, for a machine without a display, pads or sound device:
// windows stay records, there is nothing to read and no device to open, and
// nothing reaches SDL2.
#include <algorithm>

#include "platform/host/adapters.h"

namespace platform::host {
namespace {

class NullVideoAdapter final : public VideoAdapter {
public:
    bool ShowsWindows() const override { return false; }
    bool DesktopSize(LONG&, LONG&) override { return false; }
    bool DisplayModes(std::vector<DisplayMode>& modes) override {
        modes.clear();
        return false;
    }
    bool SwitchDisplayMode(const DisplayMode*) override { return true; }
    PictureArea PictureAreaOf(HostWindowId, LONG width, LONG height) override {
        return PictureArea{width, height, RECT{0, 0, width, height}, false};
    }
    HostWindowId OpenWindow(const std::string&, const RECT&, bool, bool) override { return 0; }
    void CloseWindow(HostWindowId) override {}
    void SetTitle(HostWindowId, const std::string&) override {}
    void SetStyle(HostWindowId, bool, bool, bool) override {}
    void SetIcon(HostWindowId, int32_t, int32_t, const uint32_t*) override {}
    void Show(HostWindowId, bool) override {}
    void Place(HostWindowId, detail::Placement) override {}
    void Move(HostWindowId, LONG, LONG) override {}
    void Resize(HostWindowId, LONG, LONG) override {}
    void Raise(HostWindowId) override {}
    void Present(HostWindowId, LONG, LONG, const uint32_t*) override {}
    void ShowCursor(bool) override {}
    void AllowScreenSaver(bool) override {}
    GlContext CreateGlContext(HostWindowId) override { return nullptr; }
    bool MakeGlContextCurrent(HostWindowId, GlContext) override { return false; }
    void SwapGlWindow(HostWindowId) override {}
    void DestroyGlContext(GlContext) override {}
    bool PollEvent(HostEvent&) override { return false; }
    bool SetClipboardText(const std::string&) override { return false; }
    bool ClipboardText(std::string&) override { return false; }
    bool ShowMessageBox(HostWindowId, const std::string&, const std::string&, MessageBoxIcon,
                        const std::vector<MessageBoxButton>&, int&) override {
        return false;
    }
};

class NullInputAdapter final : public InputAdapter {
public:
    bool Start() override { return false; }
    void Stop() override {}
    std::vector<PadInfo> ListPads() override { return {}; }
    bool OpenPad(int32_t) override { return false; }
    void ClosePad(int32_t) override {}
    bool ReadPad(int32_t, PadReading&) override { return false; }
    bool RumblePad(int32_t, uint16_t, uint16_t, uint32_t) override { return false; }
    void ReadKeyboard(BYTE keys[256]) override { std::fill(keys, keys + 256, BYTE{0}); }
    void AddKeyboardChangeEvent(HANDLE) override {}
    void RemoveKeyboardChangeEvent(HANDLE) override {}
};

class NullAudioAdapter final : public AudioAdapter {
public:
    bool Open(const AudioFormat&, AudioCallback) override { return false; }
    void Close() override {}
};

}  // namespace

VideoAdapter& NullVideo() {
    static NullVideoAdapter* adapter = new NullVideoAdapter;  // outlives threads still running at exit
    return *adapter;
}

InputAdapter& NullInput() {
    static NullInputAdapter* adapter = new NullInputAdapter;  // outlives threads still running at exit
    return *adapter;
}

AudioAdapter& NullAudio() {
    static NullAudioAdapter* adapter = new NullAudioAdapter;  // outlives threads still running at exit
    return *adapter;
}

}  // namespace platform::host
