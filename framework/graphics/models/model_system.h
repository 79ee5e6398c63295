// The model system of the Direct3D path: its start and end, the device
// buffers of model base data around a lost device, the textures' refill,
// and the removal of models and base data.
#pragma once

struct PixelImage;

// When not started and Direct3D is in use: empty tables, started. Returns 0.
int StartModelSystem();
// When started: every model and base data goes, the tables are freed and
// the system stops. Returns 0.
int RemoveAllModels();
// 0, or -1 for an invalid handle or a check value that does not match.
int RemoveModel(int handle);
// Lowers the base data's reference count; at 0 it goes with everything it
// holds. 0, or -1 for an invalid handle.
int RemoveModelBaseData(int handle);
// The device buffers of one base data (0, or -1 for an invalid handle or a
// failed buffer, which leaves none), or of every one (returns 0).
int BuildModelBuffers(int baseData);
int BuildAllModelBuffers();
// Releases the device buffers of one or every base data and of the models
// that use it. 0, or -1 for an invalid handle.
int DropModelBuffers(int baseData);
int DropAllModelBuffers();
// Refills the default textures and every texture of every base data and
// model from its files. Returns 0.
int ReloadModelTextures();
// Loads a texture's colour and alpha images (each from a file, or from
// memory when its size is not 0; either may be absent), turns the colour
// image into a normal map when `bump` is set, and brings both to power-of-two
// sizes. 0, or -1 with nothing left allocated.
int MakeModelTextureImages(const char* colorFile, const void* colorData, int colorSize, const char* alphaFile,
                           const void* alphaData, int alphaSize, int bump, float bumpScale, PixelImage* colorImage,
                           PixelImage* alphaImage);
// Turns a height map (its red channel) into a normal map in place.
void ConvertHeightMapToNormalMap(PixelImage* image, float bumpScale);
