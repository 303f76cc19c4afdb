# The alias configuration engine; the test also runs itself as the competing second program.
calvex_add_test(tst_aliasengine SOURCES tst_aliasengine.cpp LIBS calvex_platform)
