# The OpenGL ES renderer's suites: headless EGL (Mesa surfaceless) and llvmpipe.
cobble_test(render_gl_tests
  SOURCES GlesGlobalsTest.cpp TextureDataTest.cpp WinDibBitmapOGLESTest.cpp DrawingHelpersTest.cpp
  DEPS cobble_render cobble_test_render)
# The image loaders over fixtures written by libpng and libjpeg.
cobble_test(image_load_tests
  SOURCES ImageDecodeTest.cpp ImageDecode_JpegTest.cpp ImageLoadersTest.cpp
  DEPS cobble_render cobble_test_render)
# The stream decoder on a worker thread (also run under ThreadSanitizer).
cobble_test(image_load_thread_tests
  SOURCES ImageLoadThreadTest.cpp
  DEPS cobble_render cobble_test_render THREADED)
