# "Test GDB" against real Firebird: databases made with the embedded engine in a temporary
# folder, a private server on 127.0.0.1, a peer that never answers; and the button in the
# main window.
foreach(name tst_databasetest tst_databasetest_window)
    calvex_add_test(${name} SOURCES ${name}.cpp firebird/FirebirdFixture.h
                    firebird/DatabaseTestHelpers.h LIBS calvex_app TIMEOUT 240)
    target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/firebird
                               ${FIREBIRD_INCLUDE_DIR})
endforeach()
