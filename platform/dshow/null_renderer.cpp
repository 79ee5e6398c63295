// The Null Renderer: one input pin that takes any type (or only streams of
// one major type) and any allocator, discards each sample at once and
// reports the end of the stream to the graph while running (or when it next
// runs).
#include "platform/dshow/null_renderer.h"

#include "platform/dshow/base_filter.h"
#include "platform/dshow/base_pin.h"

namespace platform::dshow {
namespace {

class NullRenderer;

class NullRendererPin final : public RendererInputPin {
public:
    NullRendererPin(NullRenderer& filter, REFGUID majorType);

protected:
    bool Takes(const AM_MEDIA_TYPE& mediaType) const override {
        return IsEqualGUID(majorType_, GUID_NULL) || IsEqualGUID(majorType_, mediaType.majortype);
    }
    HRESULT Render(IMediaSample* sample) override { return S_OK; }

private:
    const GUID majorType_;
};

class NullRenderer final : public FilterObject<NullRenderer> {
public:
    // A renderer of class `clsid` that takes streams of `majorType`
    // (GUID_NULL: any).
    NullRenderer(REFCLSID clsid, REFGUID majorType) : pin_(*this, majorType), clsid_(clsid) {}

protected:
    CLSID ClassId() const override { return clsid_; }
    std::vector<BasePin*> Pins() override { return {&pin_}; }

private:
    NullRendererPin pin_;
    const CLSID clsid_;
};

NullRendererPin::NullRendererPin(NullRenderer& filter, REFGUID majorType)
    : RendererInputPin(filter, L"In"), majorType_(majorType) {}

}  // namespace

HRESULT CreateNullRenderer(REFIID iid, void** object) {
    return NullRenderer::Create(iid, object, CLSID_NullRenderer, GUID_NULL);
}

HRESULT CreateDiscardingRenderer(REFCLSID clsid, REFGUID majorType, REFIID iid, void** object) {
    return NullRenderer::Create(iid, object, clsid, majorType);
}

}  // namespace platform::dshow
