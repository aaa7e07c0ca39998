lumetra_add_test(TestSettingsStore SOURCES ${CMAKE_CURRENT_LIST_DIR}/TestSettingsStore.cpp TIMEOUT 60)
lumetra_add_test(TestWorkArea SOURCES ${CMAKE_CURRENT_LIST_DIR}/TestWorkArea.cpp GUI TIMEOUT 60)
