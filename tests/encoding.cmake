# Register.ini's bytes: the INI document's editing and, through the whole window, the code page.
calvex_add_test(tst_inidocument_edit SOURCES tst_inidocument_edit.cpp LIBS calvex_platform
                TIMEOUT 60)
calvex_add_test(tst_window_encoding SOURCES tst_window_encoding.cpp LIBS calvex_app)
target_include_directories(tst_window_encoding PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support)
