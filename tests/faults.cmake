# The shared files under real faults (full disks, size limits, special files, other writers)
# and in the company of other programs.
calvex_add_test(tst_sharedfiles SOURCES tst_sharedfiles.cpp LIBS calvex_settings TIMEOUT 120)
target_include_directories(tst_sharedfiles PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support)
calvex_add_test(tst_faults_window SOURCES tst_faults_window.cpp LIBS calvex_app TIMEOUT 180)
target_include_directories(tst_faults_window PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support)
calvex_add_test(tst_archive_reset SOURCES tst_archive_reset.cpp LIBS calvex_app)
target_include_directories(tst_archive_reset PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support)
