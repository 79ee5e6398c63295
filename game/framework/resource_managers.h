// The game asks three managers for its images, sounds and fonts by name, and
// loads whole lists of them while a small loading animation runs.
#pragma once

#include <cstddef>
#include <map>

#include "game/framework/singleton.h"
#include "platform/kernel/kernel.h"
#include "platform/user/user.h"

class TiXmlDocument;
namespace Object {
class CSenarioObject;
}

namespace Manager {

// The size of the buffer a manager's Load copies its key text into: a name
// or key text of this many bytes or more is refused, never overflowed.
constexpr size_t kResourceKeyTextSize = 256;
// Copies `text` into keyOut (which may be null); false when it does not fit.
bool CopyResourceKeyText(const char* text, char* keyOut);

template <typename Handle>
class IObjectManager {
public:
    // keyOut (may be null, else kResourceKeyTextSize bytes) receives the
    // text whose atom is the key; dir is accepted and not used.
    virtual bool Load(const char* name, char* keyOut, const char* dir) = 0;
    virtual void ReleaseAll() = 0;
    virtual Handle GetHandleByAtom(ATOM key) = 0;
    virtual Handle GetHandle(const char* name);
    virtual void ReleaseByAtom(ATOM key) = 0;
    virtual void Release(const char* name);
    virtual ~IObjectManager() = default;
};

class CTextureManager : public IObjectManager<int>, public CommonClass::CSingleTon {
public:
    struct Entry {
        int handle;
        int referenceCount;
    };
    static CTextureManager* GetInstance();
    bool Load(const char* name, char* keyOut, const char* dir = nullptr) override;
    void ReleaseAll() override;
    int GetHandleByAtom(ATOM key) override;
    void ReleaseByAtom(ATOM key) override;
    ~CTextureManager() override;

    std::map<ATOM, Entry> entries;

protected:
    CTextureManager();
};

class CSoundManager : public IObjectManager<int>, public CommonClass::CSingleTon {
public:
    struct Entry {
        int handle;
        int referenceCount;
    };
    static CSoundManager* GetInstance();
    bool Load(const char* name, char* keyOut, const char* dir = nullptr) override;
    void ReleaseAll() override;
    int GetHandleByAtom(ATOM key) override;
    void ReleaseByAtom(ATOM key) override;
    ~CSoundManager() override;

    // Playback for the scenario player; each does nothing for an unknown key.
    void Play(ATOM key, int mode);
    void Stop(ATOM key);
    void TogglePause(ATOM key);

    std::map<ATOM, Entry> entries;

protected:
    CSoundManager();
};

class C2DFontManager : public IObjectManager<int>, public CommonClass::CSingleTon {
public:
    static C2DFontManager* GetInstance();
    bool Load(const char* name, char* keyOut, const char* dir = nullptr) override;
    void ReleaseAll() override;
    int GetHandleByAtom(ATOM key) override;
    void ReleaseByAtom(ATOM key) override;
    ~C2DFontManager() override;

    std::map<ATOM, int> handles;
    // The next font to create: callers fill these, then call Load.
    char faceName[64] = {};
    int size = 0;
    int thickness = 0;
    int fontType = 3;

protected:
    C2DFontManager();
};

class ILoadingDrawer {
public:
    virtual void Begin(unsigned now, int count) = 0;
    virtual void Update(unsigned now, int index) = 0;
    virtual void Draw(int) = 0;
    virtual void End() = 0;
    virtual int GetRedrawInterval() = 0;
    virtual ~ILoadingDrawer() = default;
};

}  // namespace Manager

class CNowLoadingDrawer : public Manager::ILoadingDrawer, public CommonClass::CSingleTon {
public:
    static CNowLoadingDrawer* GetInstance();
    void Begin(unsigned now, int count) override;
    void Update(unsigned now, int index) override;
    void Draw(int) override;
    void End() override;
    int GetRedrawInterval() override;
    ~CNowLoadingDrawer() override;

    int graphic = -1;
    unsigned startTime = 0;
    unsigned baseCell = 0;
    double frameTime = 1000.0 / 60.0;
    unsigned period = 1000;
    unsigned row = 0;
    unsigned column = 0;
    bool visible = true;

protected:
    CNowLoadingDrawer();
};

// One entry of a sound list: kind 0 music (music volume), 1 effect (effect
// volume), anything else keeps the volume it was loaded with.
struct SoundListEntry {
    const char* name;
    int kind;
};

// Null names are skipped; a null drawer means the now-loading animation.
bool LoadTexturesWithProgress(const char** names, Manager::ILoadingDrawer* drawer, int* handlesOut, int count);
bool LoadSoundsWithProgress(const SoundListEntry* list, int* handlesOut, int count);
void ReleaseTextures(const char** names, int count);
void ReleaseSounds(const SoundListEntry* list, int count);

namespace File {

class Manager : public CommonClass::CSingleTon {
public:
    static Manager* GetInstance();
    virtual ~Manager();

protected:
    Manager();
};

}  // namespace File

// The one way to make a scenario player (default font, text speed and
// buttons); null when the scenario does not load.
Object::CSenarioObject* CreateSenarioObject(const char* file);

// The caller frees *bufferOut (delete[]) and deletes *docOut.
bool LoadXmlDocumentFromFile(const char* file, char** bufferOut, TiXmlDocument** docOut);
