# The database server page, its folder pictures, and the database stage with alias registration.
# Every value the stage stores reaches the disk at once, so the stage tests take seconds.
calvex_add_test(tst_databasepage SOURCES tst_databasepage.cpp LIBS calvex_app TIMEOUT 60)
target_include_directories(tst_databasepage PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support)
calvex_add_test(tst_aliasregistration SOURCES tst_aliasregistration.cpp LIBS calvex_app TIMEOUT 120)
target_include_directories(tst_aliasregistration PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support)
