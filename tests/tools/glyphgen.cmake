# The glyph generator's pieces and the program's icon pictures, tested without running the tool.
kestrilon_add_test(test_glyphgen
  SOURCES glyphgen_test.cpp
          ${PROJECT_SOURCE_DIR}/tools/glyphgen/bmp_writer.cpp
          ${PROJECT_SOURCE_DIR}/tools/glyphgen/font_table.cpp
          ${PROJECT_SOURCE_DIR}/tools/glyphgen/lcd_painter.cpp
          ${PROJECT_SOURCE_DIR}/src/app/icon_resources.cpp
  LIBS kestrilon_platform)
target_include_directories(test_glyphgen PRIVATE ${PROJECT_SOURCE_DIR}/tools/glyphgen)
