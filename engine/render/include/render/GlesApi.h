#pragma once
// The OpenGL ES 1.1 entry points the renderer calls, gathered in one table.
//
// Every GL call of engine/render goes through g_Gl, never through the gl* symbols directly, so a
// test can swap single entries for counting or recording wrappers (keeping the real function to
// forward to) and see exactly which calls a draw produced. The table starts filled with the real
// Mesa/driver functions; nothing else ever changes it. Main thread only, like the GL context.

#include <GLES/gl.h>
#include <GLES/glext.h>

struct TGlesApi {
    void (*Enable)(GLenum cap);
    void (*Disable)(GLenum cap);
    void (*BlendFunc)(GLenum sfactor, GLenum dfactor);
    void (*TexEnvx)(GLenum target, GLenum pname, GLfixed param);
    void (*TexEnvxv)(GLenum target, GLenum pname, const GLfixed* params);
    void (*BindTexture)(GLenum target, GLuint texture);
    void (*GenTextures)(GLsizei n, GLuint* textures);
    void (*DeleteTextures)(GLsizei n, const GLuint* textures);
    void (*TexParameterx)(GLenum target, GLenum pname, GLfixed param);
    void (*PixelStorei)(GLenum pname, GLint param);
    void (*TexImage2D)(GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height, GLint border,
                       GLenum format, GLenum type, const void* pixels);
    void (*CompressedTexImage2D)(GLenum target, GLint level, GLenum internalformat, GLsizei width, GLsizei height,
                                 GLint border, GLsizei imageSize, const void* data);
    void (*DrawElements)(GLenum mode, GLsizei count, GLenum type, const void* indices);
    void (*VertexPointer)(GLint size, GLenum type, GLsizei stride, const void* pointer);
    void (*TexCoordPointer)(GLint size, GLenum type, GLsizei stride, const void* pointer);
    void (*ColorPointer)(GLint size, GLenum type, GLsizei stride, const void* pointer);
    void (*EnableClientState)(GLenum array);
    void (*DisableClientState)(GLenum array);
    void (*ClientActiveTexture)(GLenum texture);
    void (*ActiveTexture)(GLenum texture);
    void (*ShadeModel)(GLenum mode);
    void (*Hint)(GLenum target, GLenum mode);
    void (*FrontFace)(GLenum mode);
    void (*CullFace)(GLenum mode);
    void (*Viewport)(GLint x, GLint y, GLsizei width, GLsizei height);
    void (*Scissor)(GLint x, GLint y, GLsizei width, GLsizei height);
    void (*MatrixMode)(GLenum mode);
    void (*LoadIdentity)();
    void (*Rotatex)(GLfixed angle, GLfixed x, GLfixed y, GLfixed z);
    void (*Translatex)(GLfixed x, GLfixed y, GLfixed z);
    void (*Orthox)(GLfixed l, GLfixed r, GLfixed b, GLfixed t, GLfixed n, GLfixed f);
    void (*Frustumx)(GLfixed l, GLfixed r, GLfixed b, GLfixed t, GLfixed n, GLfixed f);
    void (*ClearColorx)(GLfixed r, GLfixed g, GLfixed b, GLfixed a);
    void (*Clear)(GLbitfield mask);
    void (*DepthMask)(GLboolean flag);
    void (*StencilMask)(GLuint mask);
};

// The one table; filled with the real entry points at start-up (static initialisation).
extern TGlesApi g_Gl;

// The real entry points, for a test that wants to put the table back as it found it.
[[nodiscard]] TGlesApi GlesRealApi();
