// MP3 data decoded whole into PCM in memory through a DirectShow graph: the
// data served from memory, decoded by whatever decoder the graph builder
// finds, every decoded buffer gathered by the sample grabber's callback,
// and the audio renderer exchanged for the Null Renderer so that nothing is
// heard. Internal to framework/sound (and its tests).
#pragma once

#include "framework/sound/sound_converter.h"
#include "platform/dshow/dshow.h"

// Reads the converter's whole stream and decodes it. 0 with the PCM in the
// converter's decoded block (kind 3); -1 with a log line naming the step
// that failed (none when the data cannot be read into memory).
int ConvertMp3ToPcm(SoundConverter* converter);

// The grabber's callback: appends the sample's data to the decoded block of
// the converter `user`, growing it as needed. When the block cannot grow it
// is freed and left null, and every later sample is dropped.
HRESULT AppendGrabbedPcm(IMediaSample* sample, REFERENCE_TIME start, REFERENCE_TIME stop, BOOL typeChanged,
                         void* user);

// The first pin of `filter` with that direction, with a reference, or null.
IPin* FindFilterPin(IBaseFilter* filter, PIN_DIRECTION direction);
