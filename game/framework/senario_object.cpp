// The scenario player's loading from its XML file, its drawing and release, and
// CreateSenarioObject with the default font, text speed and buttons.
#include "game/framework/senario_object.h"

#include <tinyxml.h>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "framework/files/file_access_table.h"
#include "framework/files/file_read_interface.h"
#include "game/framework/file_numbers.h"
#include "game/framework/resource_managers.h"
#include "platform/kernel/kernel.h"

namespace Object {

namespace {

// Thrown by the loading steps with the text for the debugger output; Load
// catches it.
struct LoadError {
    const char* message;
};

Manager::CPrimitive2DObjectManager* Objects() { return Manager::CPrimitive2DObjectManager::GetInstance(); }

// An absent attribute reads as an empty text, so that it counts as 0.
const char* Text(const TiXmlElement* element, const char* name) {
    const char* value = element->Attribute(name);
    return value != nullptr ? value : "";
}

// A number outside its field's range refuses the whole file.
int Integer(const TiXmlElement* element, const char* name, File::NumberRange range = File::kAnyInt) {
    int value = 0;
    if (!File::ReadInt(Text(element, name), range, &value)) throw LoadError{"Number out of range in senario file."};
    return value;
}

// A message window or a portrait: a cut-out of its texture, hidden until a
// command shows it. `created` names the object while it is not yet kept, so
// that a failure can give it back.
int CreatePictureObject(const TiXmlElement* element, int* created) {
    const int id = Objects()->CreateScreenObject();
    *created = id;
    auto* screen = dynamic_cast<C2DScreenObject*>(Objects()->Get(id));
    if (screen == nullptr) throw LoadError{"Failed to create new 2d screen object."};
    char key[Manager::kResourceKeyTextSize] = {};
    if (!Manager::CTextureManager::GetInstance()->Load(element->Attribute("file"), key, element->Attribute("dir")))
        throw LoadError{"Failed to load texture."};
    screen->textureKey = AddAtomA(key);
    screen->width = Integer(element, "size_x", File::kPixels);
    screen->height = Integer(element, "size_y", File::kPixels);
    screen->sourceX = Integer(element, "lefttop_x", File::kPixels);
    screen->sourceY = Integer(element, "lefttop_y", File::kPixels);
    screen->r = screen->g = screen->b = 255;
    screen->alpha = 0;
    return id;
}

// Keeps `objectId` under `key`; an object declared earlier under the same
// key is given back rather than lost.
void Keep(std::map<int, int>& map, int key, int objectId) {
    auto found = map.find(key);
    if (found != map.end()) Objects()->Release(found->second);
    map[key] = objectId;
}

ATOM LoadSound(const TiXmlElement* element) {
    char key[Manager::kResourceKeyTextSize] = {};
    if (!Manager::CSoundManager::GetInstance()->Load(element->Attribute("file"), key, element->Attribute("dir")))
        throw LoadError{"Failed to load senario sound"};
    return AddAtomA(key);
}

}  // namespace

CSenarioObject::CSenarioObject() = default;

CSenarioObject::~CSenarioObject() { Release(); }

// Everything freed is forgotten at once, so a second run finds nothing to
// give back twice.
void CSenarioObject::Release() {
    delete[] scriptText;
    scriptText = nullptr;
    scriptLength = 0;
    readPosition = 0;
    Manager::CPrimitive2DObjectManager* objects = Objects();
    for (const auto& [window, object] : windows) objects->Release(object);
    windows.clear();
    objects->Release(fontObjectId);
    fontObjectId = -1;
    for (const auto& [picture, object] : pictures) objects->Release(object);
    pictures.clear();
    fades.clear();
    Manager::CSoundManager* sounds = Manager::CSoundManager::GetInstance();
    for (const auto& [effect, key] : effects) sounds->ReleaseByAtom(key);
    effects.clear();
    if (musicKey != 0) {
        sounds->Stop(musicKey);
        sounds->ReleaseByAtom(musicKey);
        musicKey = 0;
    }
}

// Translucent portraits go under the opaque ones, the windows over every
// portrait and the text over everything.
void CSenarioObject::Draw() {
    Manager::CPrimitive2DObjectManager* objects = Objects();
    for (int translucent = 1; translucent >= 0; --translucent) {
        for (const auto& [picture, id] : pictures) {
            auto* screen = dynamic_cast<C2DScreenObject*>(objects->Get(id));
            if (screen != nullptr && screen->IsTranslucent() == (translucent == 1)) screen->Draw();
        }
    }
    for (const auto& [window, id] : windows)
        if (auto* object = dynamic_cast<IDrawObject*>(objects->Get(id))) object->Draw();
    if (auto* font = dynamic_cast<IDrawObject*>(objects->Get(fontObjectId))) font->Draw();
}

void CSenarioObject::UpdateFrame() {
    Manager::CPrimitive2DObjectManager* objects = Objects();
    for (const auto& [picture, id] : pictures)
        if (auto* object = dynamic_cast<IDrawObject*>(objects->Get(id))) object->UpdateFrame();
    for (const auto& [window, id] : windows)
        if (auto* object = dynamic_cast<IDrawObject*>(objects->Get(id))) object->UpdateFrame();
    if (auto* font = dynamic_cast<IDrawObject*>(objects->Get(fontObjectId))) font->UpdateFrame();
}

IClonableObject* CSenarioObject::Clone() { return new CSenarioObject; }

bool CSenarioObject::Load(const char* file, const char*) {
    char* xmlText = nullptr;
    TiXmlDocument* document = nullptr;
    if (!LoadXmlDocumentFromFile(file, &xmlText, &document)) return false;
    Manager::CPrimitive2DObjectManager* objects = Objects();
    int created = -1;
    try {
        for (const TiXmlElement* element = document->FirstChildElement(); element != nullptr;
             element = element->NextSiblingElement()) {
            const std::string name = element->Value();
            if (name == "config") {
                for (const TiXmlElement* item = element->FirstChildElement(); item != nullptr;
                     item = item->NextSiblingElement()) {
                    const std::string kind = item->Value();
                    if (kind == "font") {
                        const int id = objects->CreateFontObject();
                        created = id;
                        auto* font = dynamic_cast<C2DFontObject*>(objects->Get(id));
                        if (font == nullptr) throw LoadError{"Failed to create new font object."};
                        // What the element leaves out stays as the caller set it
                        // in the font manager's pending font.
                        Manager::C2DFontManager* fonts = Manager::C2DFontManager::GetInstance();
                        char face[sizeof(fonts->faceName)];
                        std::snprintf(face, sizeof(face), "%s",
                                      item->Attribute("name") != nullptr ? item->Attribute("name") : fonts->faceName);
                        const int size =
                            item->Attribute("size") != nullptr ? Integer(item, "size", File::kFontSize) : fonts->size;
                        const int thickness = item->Attribute("thinck") != nullptr
                                                  ? Integer(item, "thinck", File::kFontThickness)
                                                  : fonts->thickness;
                        if (!font->CreateFont(face, size, thickness)) throw LoadError{"Failed to load Font."};
                        objects->Release(fontObjectId);
                        fontObjectId = id;
                        created = -1;
                    } else if (kind == "speed") {
                        charSpeed = Integer(item, "char_frame_speed");
                    } else if (kind == "window") {
                        const int id = CreatePictureObject(item, &created);
                        Keep(windows, Integer(item, "id"), id);
                        created = -1;
                    } else if (kind == "stand_picture") {
                        const int id = CreatePictureObject(item, &created);
                        Keep(pictures, Integer(item, "id"), id);
                        created = -1;
                    } else if (kind == "BGM") {
                        const ATOM key = LoadSound(item);
                        if (musicKey != 0) Manager::CSoundManager::GetInstance()->ReleaseByAtom(musicKey);
                        musicKey = key;
                    } else if (kind == "SE") {
                        const int id = Integer(item, "id");
                        const ATOM key = LoadSound(item);
                        auto found = effects.find(id);
                        if (found != effects.end()) Manager::CSoundManager::GetInstance()->ReleaseByAtom(found->second);
                        effects[id] = key;
                    }
                }
            } else if (name == "senario") {
                const char* scriptFile = Text(element, "file");
                const int size = GetFileSizeByName(scriptFile);
                if (size < 0) throw LoadError{"Failed to load senario file."};
                const uintptr_t handle = OpenFileForRead(scriptFile, 0);
                if (handle == 0) throw LoadError{"Failed to load senario file."};
                char* text = new (std::nothrow) char[static_cast<size_t>(size) + 1]();
                if (text == nullptr || (size > 0 && ReadFileBytes(text, size, handle) == 0)) {
                    delete[] text;
                    FileStreamClose(handle);
                    throw LoadError{"Failed to load senario file."};
                }
                FileStreamClose(handle);
                delete[] scriptText;
                scriptText = text;
                scriptLength = static_cast<unsigned>(size);
                readPosition = 0;
                std::snprintf(senarioName, sizeof(senarioName), "%s", Text(element, "name"));
                senarioAtom = AddAtomA(senarioName);
            }
        }
        // The player shows all its text in this font; without one there is
        // nothing to play the script in.
        if (fontObjectId == -1) throw LoadError{"Failed to load Font."};
    } catch (const LoadError& error) {
        OutputDebugStringA(error.message);
        if (created != -1) objects->Release(created);
        delete document;
        delete[] xmlText;
        Release();
        return false;
    }
    delete document;
    delete[] xmlText;
    return true;
}

}  // namespace Object

Object::CSenarioObject* CreateSenarioObject(const char* file) {
    auto* senario = new Object::CSenarioObject;
    Manager::C2DFontManager* fonts = Manager::C2DFontManager::GetInstance();
    std::snprintf(fonts->faceName, sizeof(fonts->faceName), "%s", "ＭＳ 明朝");
    fonts->size = 42;
    fonts->thickness = 6;
    fonts->fontType = 3;
    if (!senario->Load(file, nullptr)) {
        delete senario;
        return nullptr;
    }
    senario->fastForwardMask = 4;
    senario->fastForwardSteps = 4;
    senario->advanceMask = 1;
    senario->textSkipMask = 1;
    senario->charCounter = senario->charSpeed;
    senario->previousButtons = 0;
    senario->pageEnd = false;
    senario->waitForInput = false;
    senario->readPosition = 0;
    senario->waitCounter = 0;
    return senario;
}
