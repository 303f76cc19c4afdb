# The archive database dialog: its settings, list and registration, then the dialog itself and
# the main window's Archive GDB button.
calvex_add_test(tst_archive SOURCES tst_archive.cpp LIBS calvex_app TIMEOUT 60)
target_include_directories(tst_archive PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support)
calvex_add_test(tst_archive_dialog SOURCES tst_archive_dialog.cpp LIBS calvex_app TIMEOUT 120)
target_include_directories(tst_archive_dialog PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support)
