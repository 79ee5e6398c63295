// Starting and ending the graphics system: the screen on the hardware or the
// software path, the draw settings, the software renderer's tables and the
// font system.
#pragma once

#include "framework/softrender/memimg.h"

// 1 when only the software path may be used; start-up reads it too (a
// 320 by 240 full-screen request stays full screen only while it is clear).
extern int SoftwareRenderOnlyFlag;
// 1 while the graphics system is up.
extern int GraphicsSystemUp;
// The software path's screen: the primary screen image that is shown, and
// two work images of its size (the second with alpha).
extern MEMIMG PrimaryScreenMemImg;
extern MEMIMG ScreenWorkMemImg;
extern MEMIMG ScreenWorkAlphaMemImg;

// Stores the flag's inverse as the software-only flag; -1 without effect once
// the framework has started, else 0.
int SetUseHardwareAcceleration(int flag);
// 1 when the hardware path is allowed.
int GetUseHardwareAcceleration();
// 0 when up (also when it already was); -1 when the screen cannot be set up,
// with everything done on the way undone.
int InitGraphicsSystem();
// Ends the font system and, when up, deletes every graphic, shader, mask and
// light, takes the device down and frees the screen. Returns 0.
int TermGraphicsSystem();
// The software path's screen images, the primary one filled with the
// background colour and made the software target; ends the process when
// they cannot be made. Returns 0.
int CreatePrimaryScreenMemImg();
// The states a new device starts from: the vertex buffers' presets, the
// address modes of every sampler and the filter, sent whatever the cache
// holds from an earlier device.
void SetUpNewDeviceStates();
// Zero-fills the 380-byte information block; returns it.
void* ClearInfoBlock(void* block);
