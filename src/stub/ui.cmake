# The launcher's windows: main dialog, package contents, license, extraction progress and the
# folder browser for Extract....
target_sources(zor_stub_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/browse_folder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/contents_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/description_box.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dialog_commands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dos_time_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/license_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_buttons.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/progress_window.cpp
)
# Archive entry names and the license text arrive in the ANSI code page; the package locator
# converts its member name with the same helper.
target_link_libraries(zor_stub_core PUBLIC zor_ansi_text comctl32 ole32 shell32 user32)
