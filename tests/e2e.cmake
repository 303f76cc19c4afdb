# Journeys of the installed program on a private X server, driven as a person would.
calvex_add_e2e(e2e_fresh_install fresh_install.sh)
calvex_add_e2e(e2e_standalone_setup standalone_setup.sh)
calvex_add_e2e(e2e_missing_subfolder missing_subfolder.sh)
calvex_add_e2e(e2e_client_linux client_linux.sh)
calvex_add_e2e(e2e_archive archive.sh)
calvex_add_e2e(e2e_test_gdb test_gdb.sh)
calvex_add_e2e(e2e_validation validation.sh)
calvex_add_e2e(e2e_window_search window_search.sh)
