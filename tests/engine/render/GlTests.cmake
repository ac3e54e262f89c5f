# The OpenGL ES renderer's suites: headless EGL (Mesa surfaceless) and llvmpipe.
cobble_test(render_gl_tests
  SOURCES GlesTestContext.cpp GlesGlobalsTest.cpp TextureDataTest.cpp WinDibBitmapOGLESTest.cpp
  DEPS cobble_render ${EGL_LIBRARY} ${GLESV1_LIBRARY})
