# "Test GDB" against real Firebird: databases made with the embedded engine in a temporary
# folder, a private server on 127.0.0.1, and a peer that never answers.
calvex_add_test(tst_databasetest SOURCES tst_databasetest.cpp firebird/FirebirdFixture.h
                LIBS calvex_app TIMEOUT 240)
target_include_directories(tst_databasetest PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/firebird
                           ${FIREBIRD_INCLUDE_DIR})
