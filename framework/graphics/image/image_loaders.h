// The image decoders and the table that offers a stream to each of them in
// turn. A decoder reads only through the stream source it is handed, from
// offset 0, and either fills the zeroed image record or declines, freeing
// whatever it allocated; the extension of a file plays no part.
#pragma once

#include "framework/files/stream_functions.h"
#include "framework/graphics/image/pixel_format.h"

// 0 when the decoder recognised the stream and decoded it into the image;
// anything else otherwise.
typedef int (*ImageLoader)(const StreamSource* source, PixelImage* image);

// Decoders tried before the built-in ones; no operation adds to the table, so
// it stays empty unless a further format is plugged in.
constexpr int kUserImageLoaderLimit = 10;
extern ImageLoader UserImageLoaders[kUserImageLoaderLimit];
extern int UserImageLoaderCount;

// The built-in decoders in the order they are tried, ending with null.
extern const ImageLoader BuiltinImageLoaders[];

// Windows bitmaps: run-length 4 and 8 bits, 4, 8 and 24 bits as palette or
// 24-bit images, and 1, 16 and 32 bits (also with bit fields) converted to
// 24 bits.
int DecodeBmp(const StreamSource* source, PixelImage* image);
// Baseline and progressive JPEG with one or three components.
int DecodeJpeg(const StreamSource* source, PixelImage* image);
int DecodePng(const StreamSource* source, PixelImage* image);
// The framework's raw "BGRA" images of 8 or 16 bits per channel.
int DecodeBgraRaw(const StreamSource* source, PixelImage* image);
// TGA types 1, 2, 9 and 10 of 16, 24 or 32 bits per pixel.
int DecodeTga(const StreamSource* source, PixelImage* image);
// DDS surfaces: plain pixels by masks or by format number, or DXT1 to DXT5
// blocks kept as they are, with their mip levels.
int DecodeDds(const StreamSource* source, PixelImage* image);

// Clears the image and offers the stream, rewound to offset 0, to each user
// decoder and then each built-in one until one accepts it. 0 with the
// decoded image, -1 when none does.
int DecodeImageStream(const StreamSource* source, PixelImage* image);
