#include "render/GlesApi.h"

TGlesApi GlesRealApi() {
    TGlesApi api{};
    api.Enable = glEnable;
    api.Disable = glDisable;
    api.BlendFunc = glBlendFunc;
    api.TexEnvx = glTexEnvx;
    api.TexEnvxv = glTexEnvxv;
    api.BindTexture = glBindTexture;
    api.GenTextures = glGenTextures;
    api.DeleteTextures = glDeleteTextures;
    api.TexParameterx = glTexParameterx;
    api.PixelStorei = glPixelStorei;
    api.TexImage2D = glTexImage2D;
    api.CompressedTexImage2D = glCompressedTexImage2D;
    api.DrawElements = glDrawElements;
    api.VertexPointer = glVertexPointer;
    api.TexCoordPointer = glTexCoordPointer;
    api.ColorPointer = glColorPointer;
    api.EnableClientState = glEnableClientState;
    api.DisableClientState = glDisableClientState;
    api.ClientActiveTexture = glClientActiveTexture;
    api.ActiveTexture = glActiveTexture;
    api.ShadeModel = glShadeModel;
    api.Hint = glHint;
    api.FrontFace = glFrontFace;
    api.CullFace = glCullFace;
    api.Viewport = glViewport;
    api.Scissor = glScissor;
    api.MatrixMode = glMatrixMode;
    api.LoadIdentity = glLoadIdentity;
    api.Rotatex = glRotatex;
    api.Translatex = glTranslatex;
    api.Orthox = glOrthox;
    api.Frustumx = glFrustumx;
    api.ClearColorx = glClearColorx;
    api.Clear = glClear;
    api.DepthMask = glDepthMask;
    api.StencilMask = glStencilMask;
    return api;
}

TGlesApi g_Gl = GlesRealApi();
