# The alias configuration engine; the test also runs itself as the competing second program.
calvex_add_test(tst_aliasengine SOURCES tst_aliasengine.cpp LIBS calvex_platform)
target_include_directories(tst_aliasengine PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support)
