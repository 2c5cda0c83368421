# The encoders make the test pictures, so the tests use the libraries (on Windows the system's
# encoder) directly too.
if(WIN32)
  add_library(kestrilon_test_pictures STATIC encoded_pictures.cpp encoded_pictures_win32.cpp)
  target_link_libraries(kestrilon_test_pictures PUBLIC kestrilon_options
                                                PRIVATE windowscodecs ole32 oleaut32 uuid)
  set(KESTRILON_DECODER_TESTS gif_decoder_test.cpp wic_jpeg_test.cpp special_file_win32.cpp)
else()
  find_package(JPEG REQUIRED)
  find_package(GIF 5 REQUIRED)
  add_library(kestrilon_test_pictures STATIC encoded_pictures.cpp encoded_pictures_libs.cpp)
  target_link_libraries(kestrilon_test_pictures PUBLIC kestrilon_options JPEG::JPEG GIF::GIF)
  set(KESTRILON_DECODER_TESTS jpeg_decoder_test.cpp gif_decoder_test.cpp special_file_posix.cpp)
endif()
target_include_directories(kestrilon_test_pictures PUBLIC ${PROJECT_SOURCE_DIR}/tests)

kestrilon_add_test(test_decoders
  SOURCES ${KESTRILON_DECODER_TESTS} file_read_test.cpp
  LIBS kestrilon_decoders kestrilon_test_pictures)
