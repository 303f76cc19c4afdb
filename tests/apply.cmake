# The directories and modules pages, their save stages, and Apply with its progress.
foreach(name tst_directories tst_apply tst_apply_window)
    calvex_add_test(${name} SOURCES ${name}.cpp LIBS calvex_app)
    target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support)
endforeach()
