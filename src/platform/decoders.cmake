# The picture decoders and file access of the picture loader: the parts that need libraries of
# the system. Included by this directory's CMakeLists.txt.
find_package(JPEG REQUIRED)
find_package(GIF 5 REQUIRED)

add_library(kestrilon_decoders STATIC
  jpeg_decoder.cpp
  gif_decoder.cpp
  file_read.cpp
)
target_link_libraries(kestrilon_decoders PUBLIC kestrilon_platform PRIVATE JPEG::JPEG GIF::GIF)
