# Register.ini's bytes: each private-profile rule, the text SettingsFile reads and writes, the
# INI document's editing and, through the whole window, the code page.
calvex_add_test(tst_profilerules SOURCES tst_profilerules.cpp LIBS calvex_platform TIMEOUT 60)
calvex_add_test(tst_settingstext SOURCES tst_settingstext.cpp LIBS calvex_settings TIMEOUT 60)
calvex_add_test(tst_inidocument_edit SOURCES tst_inidocument_edit.cpp LIBS calvex_platform
                TIMEOUT 60)
calvex_add_test(tst_window_encoding SOURCES tst_window_encoding.cpp LIBS calvex_app)
foreach(name tst_profilerules tst_settingstext tst_window_encoding)
    target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support)
endforeach()
