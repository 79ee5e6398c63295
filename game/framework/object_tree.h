// The game's drawable things share one small class tree; the primitive 2D
// objects (texture cut-outs and text blocks) are owned by a manager that
// hands out integer ids for them.
#pragma once

#include <string>
#include <vector>

#include "game/framework/singleton.h"
#include "platform/user/user.h"

namespace Object {

class IObject {
public:
    virtual ~IObject() = default;
    // Gives back the resources the object holds.
    virtual void Release() = 0;
};

class IDrawObject : public IObject {
public:
    virtual void Draw() = 0;
    virtual void UpdateFrame() = 0;
};

class C2DObject : public IDrawObject {
public:
    virtual bool IsValid() = 0;
    virtual bool IsTranslucent() = 0;
    // Each narrowed to float, then truncated toward zero; held within int's
    // range, and 0 for a value that is not a number.
    void SetPosition(double x, double y);

    int x = 0;
    int y = 0;
    double unused = 0.0;
};

class C2DScreenObject : public C2DObject {
public:
    ~C2DScreenObject() override;
    void Release() override;
    void Draw() override;
    void UpdateFrame() override;
    bool IsValid() override;
    bool IsTranslucent() override;

    ATOM textureKey = 0;
    int handleOverride = -1;
    bool additive = false;
    int width = 0;
    int height = 0;
    unsigned char r = 255;
    unsigned char g = 255;
    unsigned char b = 255;
    unsigned char alpha = 255;
    int sourceX = 0;
    int sourceY = 0;
};

class C2DFontObject : public C2DObject {
public:
    C2DFontObject();
    ~C2DFontObject() override;
    void Release() override;
    void Draw() override;
    void UpdateFrame() override;
    bool IsValid() override;
    bool IsTranslucent() override;

    bool CreateFont(const char* face, int size, int thickness);
    void SetText(const char* text);
    const char* GetText();

    ATOM fontKey = 0;
    std::vector<std::string> lines;
    int lineHeight = 0;
    std::string text;
    unsigned colour = 0;
};

class IClonableObject : public IDrawObject {
public:
    virtual IClonableObject* Clone() = 0;
};

class ILoadableObject : public IClonableObject {
public:
    virtual bool Load(const char* file, const char* dir) = 0;
};

}  // namespace Object

namespace Manager {

class CPrimitive2DObjectManager : public CommonClass::CSingleTon {
public:
    static CPrimitive2DObjectManager* GetInstance();
    virtual ~CPrimitive2DObjectManager();

    int CreateScreenObject();
    int CreateFontObject();
    // Null for a released slot or an id the manager never gave out.
    Object::IObject* Get(int id);
    void Release(int id);
    // Reports and releases every object still held, then empties the list.
    void CheckUnreleased();

    std::vector<Object::IObject*> objects;

protected:
    CPrimitive2DObjectManager();
};

}  // namespace Manager
