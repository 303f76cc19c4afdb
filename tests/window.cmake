# The main window: loading of every stored value, the first-run defaults, navigation and closing.
foreach(name tst_window_loading tst_window_firstrun tst_window_navigation)
    calvex_add_test(${name} SOURCES ${name}.cpp LIBS calvex_app)
    target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support)
endforeach()
