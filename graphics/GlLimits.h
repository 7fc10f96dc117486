#pragma once

namespace Adapter {

// The sizes the GL driver can hold, checked before anything of that size is
// made: an oversized texture or surface fails without a word (the picture
// is simply missing), so these throw std::runtime_error instead, naming
// `what` ("A window", say), the size asked for and the driver's limit.
// They need the window's GL context.

// A texture of width x height pixels (GL_MAX_TEXTURE_SIZE a side).
void CheckTextureSize(int width, int height, const char* what);
// An off-screen colour or depth buffer (GL_MAX_RENDERBUFFER_SIZE a side).
void CheckRenderbufferSize(int width, int height, const char* what);
// A drawing surface the viewport must cover whole (GL_MAX_VIEWPORT_DIMS).
void CheckViewportSize(int width, int height, const char* what);

// Whether the driver's extension string names `extension` as a whole word.
bool HasGlExtension(const char* extension);

} // namespace Adapter
