// The primitive 2D object manager: screen and text objects by integer id, and
// the report of those still held at shutdown.
#include "game/framework/object_tree.h"
#include "platform/kernel/kernel.h"

namespace Manager {

CPrimitive2DObjectManager* CPrimitive2DObjectManager::GetInstance() {
    static CPrimitive2DObjectManager instance;
    return &instance;
}

CPrimitive2DObjectManager::CPrimitive2DObjectManager() = default;

CPrimitive2DObjectManager::~CPrimitive2DObjectManager() { CheckUnreleased(); }

// Ids are indices and are never reused.
int CPrimitive2DObjectManager::CreateScreenObject() {
    objects.push_back(new Object::C2DScreenObject);
    return static_cast<int>(objects.size()) - 1;
}

int CPrimitive2DObjectManager::CreateFontObject() {
    objects.push_back(new Object::C2DFontObject);
    return static_cast<int>(objects.size()) - 1;
}

Object::IObject* CPrimitive2DObjectManager::Get(int id) {
    if (id < 0 || static_cast<size_t>(id) >= objects.size()) return nullptr;
    return objects[id];
}

void CPrimitive2DObjectManager::Release(int id) {
    if (id < 0 || static_cast<size_t>(id) >= objects.size() || objects[id] == nullptr) return;
    delete objects[id];
    objects[id] = nullptr;
}

// An object still held here at shutdown was forgotten by its owner: it is
// reported, gives back its resources and is freed.
void CPrimitive2DObjectManager::CheckUnreleased() {
    for (Object::IObject*& object : objects) {
        if (object == nullptr) continue;
        OutputDebugStringA("Unreleased a Unloadable Object");
        object->Release();
        delete object;
        object = nullptr;
    }
    objects.clear();
}

}  // namespace Manager
