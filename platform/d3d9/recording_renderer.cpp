// The recording renderer: the calls kept, their text, and the presents that
// keep to the vertical blank.
#include "platform/d3d9/recording_renderer.h"

#include <cstdio>

#include "platform/d3d9/device.h"
#include "platform/d3d9/vertical_blank.h"

namespace platform::d3d9 {
namespace {

std::string ArgumentText(const CallArgument& argument) {
    char text[64];
    switch (argument.kind) {
        case CallArgument::Kind::Integer:
            std::snprintf(text, sizeof(text), "%lld", static_cast<long long>(argument.integer));
            break;
        case CallArgument::Kind::Hex:
            std::snprintf(text, sizeof(text), "0x%llX", static_cast<unsigned long long>(argument.integer));
            break;
        case CallArgument::Kind::Real:
            std::snprintf(text, sizeof(text), "%g", argument.real);
            break;
        case CallArgument::Kind::Object:
            return argument.object != nullptr ? "object" : "null";
    }
    return text;
}

size_t BytesOf(const RecordedCall& call) {
    return sizeof(call) + call.name.size() + call.arguments.size() * sizeof(CallArgument) + call.vertices.size() +
           call.indices.size();
}

}  // namespace

std::string RecordedCall::Text() const {
    std::string text = name + "(";
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (i != 0) text += ", ";
        text += ArgumentText(arguments[i]);
    }
    text += ")";
    if (result != D3D_OK) {
        char code[24];
        std::snprintf(code, sizeof(code), " = 0x%08X", static_cast<unsigned>(result));
        text += code;
    }
    return text;
}

void RecordingRenderer::Called(const DeviceCall& call) {
    calls_.push_back(RecordedCall{call.name,
                                  {call.arguments.begin(), call.arguments.end()},
                                  {call.vertices.begin(), call.vertices.end()},
                                  {call.indices.begin(), call.indices.end()},
                                  call.result});
    bytes_ += BytesOf(calls_.back());
    if (bytes_ > kMostBytes) DropOldest();
}

void RecordingRenderer::DropOldest() {
    bytes_ = 0;
    for (const RecordedCall& kept : calls_) bytes_ += BytesOf(kept);
    if (bytes_ <= kMostBytes) return;
    size_t dropped = 0;
    while (bytes_ > kMostBytes / 2) bytes_ -= BytesOf(calls_[dropped++]);
    calls_.erase(calls_.begin(), calls_.begin() + static_cast<std::ptrdiff_t>(dropped));
}

HRESULT RecordingRenderer::Present(const PresentCall& present) {
    if (present.interval != D3DPRESENT_INTERVAL_IMMEDIATE) WaitForVerticalBlankBegin();
    return D3D_OK;
}

std::vector<RecordedCall>* RecordedCallsOf(IDirect3DDevice9* device) {
    Device* own = device != nullptr ? Device::From(device) : nullptr;
    if (own == nullptr) return nullptr;
    auto* recording = dynamic_cast<RecordingRenderer*>(own->Core()->renderer.get());
    return recording != nullptr && recording->KeepsCalls() ? &recording->Calls() : nullptr;
}

std::vector<std::string> CallTexts(const std::vector<RecordedCall>& calls) {
    std::vector<std::string> texts;
    texts.reserve(calls.size());
    for (const RecordedCall& call : calls) texts.push_back(call.Text());
    return texts;
}

}  // namespace platform::d3d9
