# The picture decoders and file access of the picture loader: the parts that need libraries of
# the system. Included by this directory's CMakeLists.txt.
if(WIN32)
  # The system's own decoders (WIC): nothing to ship beside the program.
  add_library(kestrilon_decoders STATIC wic_decoder.cpp file_read.cpp file_read_win32.cpp)
  target_link_libraries(kestrilon_decoders PUBLIC kestrilon_platform
                                           PRIVATE windowscodecs ole32 propsys uuid)
else()
  find_package(JPEG REQUIRED)
  find_package(GIF 5 REQUIRED)
  add_library(kestrilon_decoders STATIC jpeg_decoder.cpp gif_decoder.cpp file_read.cpp file_read_posix.cpp)
  target_link_libraries(kestrilon_decoders PUBLIC kestrilon_platform PRIVATE JPEG::JPEG GIF::GIF)
endif()
