// The OpenGL declarations the OpenGL renderer's files use: the host's
// OpenGL headers with the entry points of OpenGL 3.2 and the extensions
// declared, called through the host's OpenGL library. Only the OpenGL
// renderer's own files include this header; nothing the framework includes
// does. Private to platform/d3d9.
#pragma once

#ifndef GL_GLEXT_PROTOTYPES
#define GL_GLEXT_PROTOTYPES 1
#endif
#include <GL/gl.h>
#include <GL/glext.h>
