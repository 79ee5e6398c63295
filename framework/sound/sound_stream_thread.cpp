// The stream thread: every 30 ms, under the sound lock, it refills each
// stream sound that is being served, until the sound system's end asks it
// to stop.
#include "framework/sound/sound_handles.h"
#include "framework/sound/sound_system_state.h"
#include "framework/sound/stream_sound.h"

DWORD WINAPI SoundStreamThreadProc(LPVOID) {
    while (SoundStreamThreadTerminate.load() != 1) {
        {
            SoundLockGuard lock;
            if (SoundSystemStarted()) {
                for (HandleListNode* node = StreamListHead.next; node != &StreamListTail; node = node->next) {
                    const SoundRecord* record = static_cast<const SoundRecord*>(node->data);
                    if (record->streamActive) ProcessStreamSound(node->ID);
                }
            }
        }
        Sleep(30);
    }
    SoundStreamThreadTerminate.store(2);
    return 0;
}
