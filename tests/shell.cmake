# The real platform services driving the real Qt objects, and the application shell around the
# pages: process-wide values, header, bottom bar, splash and a failed loading.
calvex_add_test(tst_qtservices SOURCES tst_qtservices.cpp LIBS calvex_platform TIMEOUT 60)
target_include_directories(tst_qtservices PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support)
calvex_add_test(tst_window_shell SOURCES tst_window_shell.cpp LIBS calvex_app TIMEOUT 60)
target_include_directories(tst_window_shell PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support)
