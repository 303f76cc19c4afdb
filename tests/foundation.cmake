calvex_add_test(tst_inidocument SOURCES tst_inidocument.cpp LIBS calvex_platform TIMEOUT 60)
calvex_add_test(tst_settingsfile SOURCES tst_settingsfile.cpp LIBS calvex_settings TIMEOUT 60)
calvex_add_test(tst_errorreporting SOURCES tst_errorreporting.cpp LIBS calvex_app TIMEOUT 60)
calvex_add_e2e(e2e_instance_guard instance_guard.sh)
