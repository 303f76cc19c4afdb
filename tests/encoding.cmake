# Register.ini's bytes through the whole window: code page, byte-order marks, line ends.
calvex_add_test(tst_window_encoding SOURCES tst_window_encoding.cpp LIBS calvex_app)
target_include_directories(tst_window_encoding PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support)
