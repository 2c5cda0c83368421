find_package(JPEG REQUIRED)
find_package(GIF 5 REQUIRED)

# The encoders make the test pictures, so the tests use the libraries directly too.
add_library(kestrilon_test_pictures STATIC encoded_pictures.cpp)
target_link_libraries(kestrilon_test_pictures PUBLIC kestrilon_options JPEG::JPEG GIF::GIF)
target_include_directories(kestrilon_test_pictures PUBLIC ${PROJECT_SOURCE_DIR}/tests)

kestrilon_add_test(test_decoders
  SOURCES jpeg_decoder_test.cpp gif_decoder_test.cpp file_read_test.cpp
  LIBS kestrilon_decoders kestrilon_test_pictures)
