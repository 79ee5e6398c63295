// The model system of the Direct3D path.
#pragma once

// Starts it when Direct3D is in use and it is not started. Returns 0.
int StartModelSystem();
// When started, deletes every model and stops it. Returns 0.
int RemoveAllModels();
// Releases the device buffers of every model, as the device goes. Returns 0.
int DropAllModelBuffers();
// Makes the device buffers of every model again on a new device. Returns 0.
int BuildAllModelBuffers();
// Loads every model's textures again after the device lost them. Returns 0.
int ReloadModelTextures();
