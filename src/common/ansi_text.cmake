# Conversion of ANSI code page text to UTF-16, for the launcher's archive names and license.
add_library(zor_ansi_text STATIC ${CMAKE_CURRENT_LIST_DIR}/ansi_text.cpp)
target_include_directories(zor_ansi_text PUBLIC ${CMAKE_CURRENT_LIST_DIR})
zor_strict(zor_ansi_text)
