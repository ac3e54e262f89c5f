# The OpenGL ES renderer's suites: headless EGL (Mesa surfaceless) and llvmpipe.
cobble_test(render_gl_tests
  SOURCES GlesTestContext.cpp GlesGlobalsTest.cpp TextureDataTest.cpp WinDibBitmapOGLESTest.cpp
          DrawingHelpersTest.cpp
  DEPS cobble_render ${EGL_LIBRARY} ${GLESV1_LIBRARY})
# The image loaders over fixtures written by libpng and libjpeg.
cobble_test(image_load_tests
  SOURCES ImageFixtures.cpp ImageDecodeTest.cpp ImageLoadersTest.cpp
  DEPS cobble_render PNG::PNG JPEG::JPEG)
# The stream decoder on a worker thread (also run under ThreadSanitizer).
cobble_test(image_load_thread_tests
  SOURCES ImageFixtures.cpp ImageLoadThreadTest.cpp
  DEPS cobble_render PNG::PNG JPEG::JPEG THREADED)
