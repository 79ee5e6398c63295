#include "framework/graphics/draws/draw_observer.h"

namespace {

GraphicDrawObserver Observer = nullptr;
thread_local int Depth = 0;

}  // namespace

void SetGraphicDrawObserver(GraphicDrawObserver observer) { Observer = observer; }

ObservedDrawScope::ObservedDrawScope(const ObservedGraphicDraw& draw) {
    if (Depth++ == 0 && Observer != nullptr) Observer(draw);
}

ObservedDrawScope::~ObservedDrawScope() { --Depth; }
